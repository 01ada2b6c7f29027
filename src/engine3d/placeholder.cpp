// The 3D engine lands here.
