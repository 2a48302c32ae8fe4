// Placeholder for the string table; replaced by the real table.
