// The one string table of the tool: every message box text, by its string-table ID. The dialog,
// the catalogue scan, the derivation and the command-line tool all take their texts from here.
#pragma once

#include <array>
#include <string_view>

namespace quillmere {

enum class MessageId : int {
  kFolderMissing = 1,       // "Can't Find Printer Command Folder"
  kNoModuleFiles = 2,       // "Can't Find Command ini file in Printer Command Folder"
  kSelectBase = 3,          // "Please select a base printer command"
  kTypeNewName = 5,         // "Please type new printer command name"
  kCopyFailed = 6,          // "Copy file false!"
  kNameInUse = 8,           // "new printer command name in used"
  kSuccess = 9,             // "Success"
  kKeywordsEqual = 10,      // "Key word of Void and Stop are the same "
  kOverwriteQuestion = 11,  // "the ini file you want to save is existed.\nDo you want to over write it?"
  kKeywordTooLong = 12,     // "Key word of Void or Stop is too long"
  kInvalidName = 13,        // "new printer command name is not a valid file name"
  kWriteFailed = 14,        // "Write file false!"
};

inline constexpr std::array kAllMessageIds = {
    MessageId::kFolderMissing,     MessageId::kNoModuleFiles,  MessageId::kSelectBase,
    MessageId::kTypeNewName,       MessageId::kCopyFailed,     MessageId::kNameInUse,
    MessageId::kSuccess,           MessageId::kKeywordsEqual,  MessageId::kOverwriteQuestion,
    MessageId::kKeywordTooLong,    MessageId::kInvalidName,    MessageId::kWriteFailed,
};

// The message's text, exactly as the string table holds it (blanks and spelling included).
[[nodiscard]] constexpr std::string_view MessageText(MessageId id) {
  switch (id) {
    case MessageId::kFolderMissing: return "Can't Find Printer Command Folder";
    case MessageId::kNoModuleFiles: return "Can't Find Command ini file in Printer Command Folder";
    case MessageId::kSelectBase: return "Please select a base printer command";
    case MessageId::kTypeNewName: return "Please type new printer command name";
    case MessageId::kCopyFailed: return "Copy file false!";
    case MessageId::kNameInUse: return "new printer command name in used";
    case MessageId::kSuccess: return "Success";
    case MessageId::kKeywordsEqual: return "Key word of Void and Stop are the same ";
    case MessageId::kOverwriteQuestion:
      return "the ini file you want to save is existed.\nDo you want to over write it?";
    case MessageId::kKeywordTooLong: return "Key word of Void or Stop is too long";
    case MessageId::kInvalidName: return "new printer command name is not a valid file name";
    case MessageId::kWriteFailed: return "Write file false!";
  }
  return {};
}

}  // namespace quillmere
