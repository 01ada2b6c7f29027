// The 2D kit lands here.
