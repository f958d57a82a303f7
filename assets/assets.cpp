// The fennimo_assets library carries no code of its own: its pictures come
// in the Qt resource that CMake adds to it (see CMakeLists.txt).
