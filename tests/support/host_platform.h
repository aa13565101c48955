// What the platform the tests run on does its own way, for the few tests whose expected results
// depend on it: Windows file names ignore case, and there the profile functions write module
// files themselves rather than through the file services; Wine, standing in for Windows, saves
// a profile file whole in its own layout.
#pragma once

#include <string>
#include <string_view>

namespace quillmere::testing {

#ifdef _WIN32
inline constexpr bool kFileNamesIgnoreCase = true;
inline constexpr bool kProfileWritesGoThroughFileServices = false;
#else
inline constexpr bool kFileNamesIgnoreCase = false;
inline constexpr bool kProfileWritesGoThroughFileServices = true;
#endif

// True when the tests run under Wine rather than on Windows.
[[nodiscard]] bool RunningUnderWine();

// The bytes a module file of `text` holds once the profile functions wrote a key into it. Windows
// keeps every other line as it was; Wine writes the file anew without its blank lines.
[[nodiscard]] std::string AsSavedByProfileWrites(std::string_view text);

}  // namespace quillmere::testing
