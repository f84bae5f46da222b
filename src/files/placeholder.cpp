// Removed once the first file of this library is written.
