#include "derive/module_file_name.h"

#include <array>
#include <cstdio>
#include <variant>

#include "module/catalogue.h"
#include "platform/code_page.h"
#include "platform/profile_rules.h"
#include "platform/profile_store.h"
#include "platform/text.h"

namespace quillmere {
namespace {

constexpr std::size_t kMaxFileNameBytes = 255;
constexpr std::string_view kForbiddenCharacters = "/\\<>:\"|?*";
constexpr std::array<std::string_view, 4> kPlainDevices = {"CON", "PRN", "AUX", "NUL"};
constexpr std::array<std::string_view, 2> kNumberedDevices = {"COM", "LPT"};

bool IsReservedDeviceName(std::string_view stem) {
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

std::string ControlCharacter(char c) {
  std::array<char, 8> number{};
  std::snprintf(number.data(), number.size(), "U+%04X", static_cast<unsigned>(c));
  return number.data();
}

}  // namespace

std::optional<std::string> ModuleFileName(std::string_view name) {
  codepage::Converted converted = codepage::TextToFileName(name);
  auto* fileName = std::get_if<std::string>(&converted);
  if (fileName == nullptr) {
    return std::nullopt;
  }
  if (!text::EndsWithIgnoreCase(name, kModuleExtension)) {
    *fileName += kModuleExtension;
  }
  return std::move(*fileName);
}

std::optional<std::string> BlankEndRefusal(std::string_view name) {
  const std::string_view read = profile_rules::TrimFileBlanks(name);
  if (read == name) {
    return std::nullopt;
  }
  return "a blank at either end of a name is lost when the module is read: it would show as \"" +
         std::string(read) + "\"";
}

std::optional<std::string> ModuleNameRefusal(std::string_view name) {
  if (name == "." || name == "..") {
    return "'" + std::string(name) + "' names a folder, not a file";
  }
  if (std::optional<std::string> blank = BlankEndRefusal(name)) {
    return blank;
  }
  for (const char c : name) {
    if (static_cast<unsigned char>(c) < 32) {
      return ControlCharacter(c) + " cannot stand in a file name";
    }
  }
  // Searched by character: a trail byte of a double-byte character may equal '\\' or '|'.
  for (const char c : kForbiddenCharacters) {
    if (text::FindChar(name, c) != std::string_view::npos) {
      return "'" + std::string(1, c) + "' cannot stand in a file name";
    }
  }
  // Module_Name must read back as typed: a read also drops a pair of quotes around a value.
  if (const std::string_view read = profile_rules::ReadableValue(name); read != name) {
    return "a pair of quotes around a name is lost when the module is read: it would show as \"" +
           std::string(read) + "\"";
  }
  if (name.size() > kProfileValueMax) {
    return "a module name holds at most " + std::to_string(kProfileValueMax) +
           " characters; this one has " + std::to_string(name.size());
  }
  const codepage::Converted converted = codepage::TextToFileName(name);
  if (const auto* error = std::get_if<codepage::ConversionError>(&converted)) {
    return error->description;
  }
  const std::string fileName = *ModuleFileName(name);
  if (fileName.size() > kMaxFileNameBytes) {
    return "the file name would be " + std::to_string(fileName.size()) +
           " bytes long; a file name holds at most " + std::to_string(kMaxFileNameBytes);
  }
  // "CON", "con.ini" and "Con.tar.gz" all open the console on Windows.
  const std::string_view stem = std::string_view(fileName).substr(0, fileName.find('.'));
  if (IsReservedDeviceName(stem)) {
    return "'" + std::string(stem) + "' names a device on Windows";
  }
  return std::nullopt;
}

}  // namespace quillmere
