// The one string table of the tool: every message box text, by its string-table ID. The dialog,
// the catalogue scan, the derivation and the command-line tool all take their texts from here.
#pragma once

#include <string_view>

namespace quillmere {

// The IDs of the string table; the texts are in MessageText below.
enum class MessageId : int {
  kFolderMissing = 1,
  kNoModuleFiles = 2,
  kSelectBase = 3,
  kTypeNewName = 5,
  kCopyFailed = 6,
  kNameInUse = 8,
  kSuccess = 9,
  kKeywordsEqual = 10,
  kOverwriteQuestion = 11,
  kKeywordTooLong = 12,
  kInvalidName = 13,
  kWriteFailed = 14,
  kNoStopSignal = 15,
  kKeywordNotInCodePage = 16,
  kUtf16Base = 17,
};

// The message's text, exactly as the string table holds it (blanks and spelling included).
[[nodiscard]] constexpr std::string_view MessageText(MessageId id) {
  switch (id) {
    case MessageId::kFolderMissing:
      return "Can't Find Printer Command Folder";
    case MessageId::kNoModuleFiles:
      return "Can't Find Command ini file in Printer Command Folder";
    case MessageId::kSelectBase:
      return "Please select a base printer command";
    case MessageId::kTypeNewName:
      return "Please type new printer command name";
    case MessageId::kCopyFailed:
      return "Copy file false!";
    case MessageId::kNameInUse:
      return "new printer command name in used";
    case MessageId::kSuccess:
      return "Success";
    case MessageId::kKeywordsEqual:
      return "Key word of Void and Stop are the same ";
    case MessageId::kOverwriteQuestion:
      return "the ini file you want to save is existed.\nDo you want to over write it?";
    case MessageId::kKeywordTooLong:
      return "Key word of Void or Stop is too long";
    case MessageId::kInvalidName:
      return "new printer command name is not a valid file name";
    case MessageId::kWriteFailed:
      return "Write file false!";
    case MessageId::kNoStopSignal:
      return "The new module has no transaction stop signal.\nSave it anyway?";
    case MessageId::kKeywordNotInCodePage:
      return "Key word of Void or Stop has a character the code page cannot hold";
    case MessageId::kUtf16Base:
      return "base printer command is Unicode text; printer command files are 8-bit text";
  }
  return {};
}

}  // namespace quillmere
