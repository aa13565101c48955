// What `inspect` shows of one module file, gathered once for its text and its JSON form: the
// model as a derivation loads it, the counts the file itself gives, and the records a derivation
// would rewrite or replace.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "derive/keyword_triggers.h"
#include "derive/stop_patchers.h"
#include "module/printer_command_module.h"

namespace quillmere::cli {

inline constexpr std::string_view kByteOrderMarkWarning =
    "the file starts with a UTF-8 byte-order mark: its first line is no section header to the "
    "profile functions, and the keys of the first section cannot be read";

inline constexpr std::string_view kUtf16Warning =
    "the file starts with a UTF-16 byte-order mark: module files are 8-bit text, so it reads as "
    "empty, and a derivation refuses it as a base";

struct Inspection {
  const PrinterCommandModule& module;
  // C-Num, S-Num and M-Num as the file gives them, whatever loaded.
  std::int32_t changeLineCount = 0;
  std::int32_t singleCount = 0;
  std::int32_t multiCount = 0;
  const CommandRecord* formFeed = nullptr;  // the command the Form Feed option would rewrite
  std::optional<CutPaperCommand> cutPaper;  // the command the CutPaper option would rewrite
  TriggerHolders holders;                   // the old triggers new keywords would replace
  bool byteOrderMark = false;
  bool utf16 = false;

  // True when a record or a key the counts name did not make it into the model.
  [[nodiscard]] bool SomethingLeftOut() const {
    return !module.leftOut.empty() || !module.missingKeys.empty();
  }
};

// The inspection of `module`, loaded from `path` whose bytes are `fileBytes`.
[[nodiscard]] Inspection Inspect(const PrinterCommandModule& module, const std::string& path,
                                 std::string_view fileBytes, ProfileStore& store);

// "Start", "Stop", "Void" or "None".
[[nodiscard]] std::string_view EventName(TransactionEvent event);

}  // namespace quillmere::cli
