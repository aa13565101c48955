// The keyword trigger writer: the void and stop keywords the user typed become multi-commands of
// the new module file ("Text_Void", "Text_Stop"), each keyword one record tagged TRAN_VOID or
// TRAN_STOP, triggered by the keyword's first byte. The triggers an earlier derivation appended
// at the end of the list are replaced; no other entry of the base module is ever overwritten.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/profile_store.h"

namespace quillmere {

class PrinterCommandModule;

// Why a record that the keywords would give (an empty keyword gives none) would not read back
// whole, naming the keyword, its record's length and the 259 characters a read returns; none
// when both fit. A record is "%d,%s1,0,0,TRAN_VOID" (or TRAN_STOP): the keyword's length, each
// byte as a token and a comma, kind 1, parameter 0, text flag 0 and the tag. A byte below 32,
// above 126, or the comma (which would split the value) is the three-digit decimal token ("009",
// "044", "200"); any other byte is itself.
[[nodiscard]] std::optional<std::string> KeywordRecordOverflow(std::string_view voidKeyword,
                                                               std::string_view stopKeyword);

// The multi-commands that hold old triggers, by key, and whether each will be replaced.
struct TriggerHolders {
  std::optional<std::int32_t> voidHolder;
  std::optional<std::int32_t> stopHolder;
  bool voidAtEnd = false;  // at the end of the list, so the new triggers take its place
  bool stopAtEnd = false;
  std::int32_t keptCount = 0;  // the file's M-Num less the holders at its end
};

// Finds the last multi-command holding a void record and the last holding a stop record other
// than the cut-paper command, and counts how many of them stand at the end of a list of
// `multiCount` entries (the file's M-Num): a holder is dropped only when its key is the last, or
// the one before the last with the other holder last.
[[nodiscard]] TriggerHolders FindTriggerHolders(const PrinterCommandModule& module,
                                                std::int32_t multiCount);

// Writes the new trigger entries and records after the kept entries of the target file's
// M-Num, then the new M-Num (also when neither keyword is given). The first failed write is
// reported.
[[nodiscard]] WriteStatus WriteKeywordTriggers(const PrinterCommandModule& module,
                                               ProfileStore& store, const std::string& targetPath,
                                               std::string_view voidKeyword,
                                               std::string_view stopKeyword);

}  // namespace quillmere
