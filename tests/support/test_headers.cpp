// The library that compiles the headers the tests share; it holds no code
// of its own.
