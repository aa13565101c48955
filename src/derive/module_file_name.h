// The new module's file name: made from the name the user typed, and refused when it could not
// name one file inside the folder "Printer Commands" on Windows as well as here.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillmere {

// The file name of a module named `name`: the name itself when it ends in ".ini" (any case),
// else the name followed by ".ini".
[[nodiscard]] std::string ModuleFileName(std::string_view name);

// False for a name that holds a path separator, any of < > : " | ? *, or a byte below 32; that
// is "." or ".."; that is a device name Windows reserves (CON, PRN, AUX, NUL, COM1-COM9,
// LPT1-LPT9, with or without an extension, any case); whose file name would be longer than 255
// bytes; or that would not read back whole as a Module_Name value (over 259 characters, blanks
// at either end, or wrapped in a pair of quotes).
[[nodiscard]] bool IsUsableModuleName(std::string_view name);

// Why a name with a blank at either end is refused, in words for the user; none for any other
// name. A read of Module_Name drops those blanks, so the module would show under another name
// than its file's and block that name.
[[nodiscard]] std::optional<std::string> BlankEndRefusal(std::string_view name);

}  // namespace quillmere
