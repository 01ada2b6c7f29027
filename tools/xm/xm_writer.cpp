// The XM writer lands here.
