// What the platform the tests run on does its own way, for the few tests whose expected results
// depend on it: Windows file names ignore case and are in the ANSI code page; Wine, standing in
// for Windows, saves a profile file whole in its own layout.
#pragma once

#include <string>

namespace quillmere::testing {

#ifdef _WIN32
inline constexpr bool kFileNamesIgnoreCase = true;
inline constexpr bool kFileNamesAreUtf8 = false;  // the ANSI code page's bytes
#else
inline constexpr bool kFileNamesIgnoreCase = false;
inline constexpr bool kFileNamesAreUtf8 = true;
#endif

// True when the tests run under Wine rather than on Windows.
[[nodiscard]] bool RunningUnderWine();

// Every key of a profile file as the platform's profile functions read it back, one
// "[section] key=value" a line, whatever the file's layout (empty where there are none).
[[nodiscard]] std::string KeysAsRead(const std::string& path);

}  // namespace quillmere::testing
