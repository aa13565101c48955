#include "derive/module_file_name.h"

#include <array>

#include "module/catalogue.h"
#include "platform/profile_rules.h"
#include "platform/profile_store.h"
#include "platform/text.h"

namespace quillmere {
namespace {

constexpr std::size_t kMaxFileNameBytes = 255;
constexpr std::string_view kForbiddenCharacters = "/\\<>:\"|?*";
constexpr std::array<std::string_view, 4> kPlainDevices = {"CON", "PRN", "AUX", "NUL"};
constexpr std::array<std::string_view, 2> kNumberedDevices = {"COM", "LPT"};

bool IsReservedDeviceName(std::string_view fileName) {
  // "CON", "con.ini" and "Con.tar.gz" all open the console on Windows.
  const std::string_view stem = fileName.substr(0, fileName.find('.'));
  for (const std::string_view device : kPlainDevices) {
    if (text::EqualsIgnoreCase(stem, device)) {
      return true;
    }
  }
  for (const std::string_view device : kNumberedDevices) {
    if (stem.size() == 4 && text::EqualsIgnoreCase(stem.substr(0, 3), device) && stem[3] >= '1' &&
        stem[3] <= '9') {
      return true;
    }
  }
  return false;
}

}  // namespace

std::string ModuleFileName(std::string_view name) {
  std::string fileName(name);
  if (!text::EndsWithIgnoreCase(name, kModuleExtension)) {
    fileName += kModuleExtension;
  }
  return fileName;
}

std::optional<std::string> BlankEndRefusal(std::string_view name) {
  const std::string_view read = profile_rules::TrimFileBlanks(name);
  if (read == name) {
    return std::nullopt;
  }
  return "a blank at either end of a name is lost when the module is read: it would show as \"" +
         std::string(read) + "\"";
}

bool IsUsableModuleName(std::string_view name) {
  if (name == "." || name == ".." || BlankEndRefusal(name)) {
    return false;
  }
  for (const char c : name) {
    if (static_cast<unsigned char>(c) < 32) {
      return false;
    }
  }
  // Searched by character: a trail byte of a double-byte character may equal '\\' or '|'.
  for (const char c : kForbiddenCharacters) {
    if (text::FindChar(name, c) != std::string_view::npos) {
      return false;
    }
  }
  // Module_Name must read back as typed: a read drops the blanks around a value and a pair of
  // quotes around it, so " Epson" or "'Epson'" would show as the name of another file.
  if (profile_rules::ReadableValue(name) != name) {
    return false;
  }
  const std::string fileName = ModuleFileName(name);
  return name.size() <= kProfileValueMax && fileName.size() <= kMaxFileNameBytes &&
         !IsReservedDeviceName(fileName);
}

}  // namespace quillmere
