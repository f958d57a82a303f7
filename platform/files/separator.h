#pragma once

namespace platform {

// The one place that knows how this platform separates folders in a path.
#ifdef _WIN32
inline constexpr char path_separator = '\\';
#else
inline constexpr char path_separator = '/';
#endif

} // namespace platform
