// Server entry points of this library.
