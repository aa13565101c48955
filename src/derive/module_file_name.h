// The new module's file name: made from the name the user typed (text of the shop's code page)
// in the file system's own encoding, and refused when it could not name one file inside the
// folder "Printer Commands" on Windows as well as here.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillmere {

// The file name of a module named `name`: the name in the file system's own encoding (UTF-8
// here; the ANSI functions convert on Windows), followed by ".ini" unless it ends so (any case).
// None when the name holds a byte that starts no character of the code page.
[[nodiscard]] std::optional<std::string> ModuleFileName(std::string_view name);

// Why `name` cannot name a module file, in words for the user ("'?' cannot stand in a file
// name"); none when it can. Refused: a path separator, any of < > : " | ? *, or a control byte;
// "." or ".."; a device name Windows reserves (CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9, with or
// without an extension, any case); a byte the code page does not define; a file name longer than
// 255 bytes; a name that would not read back whole as a Module_Name value (over 259 characters,
// blanks at either end, or wrapped in a pair of quotes).
[[nodiscard]] std::optional<std::string> ModuleNameRefusal(std::string_view name);

// Why a name with a blank at either end is refused, in words for the user; none for any other
// name. A read of Module_Name drops those blanks, so the module would show under another name
// than its file's and block that name.
[[nodiscard]] std::optional<std::string> BlankEndRefusal(std::string_view name);

}  // namespace quillmere
