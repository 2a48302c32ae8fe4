// Placeholder for the window layer; replaced by the real implementation.
