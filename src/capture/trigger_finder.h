// Where a module's triggers occur in a capture: for every record that carries an event tag, each
// place its bytes occur and what the printer makes of the bytes there (text, a command, a
// parameter, image or barcode data), the near misses of a keyword (another case, split by a
// command or a line break, blanks made by positioning, another encoding), and whether the void
// and stop triggers occur where they would act: as printed text or as a whole command.
// This is a model for a front end to show; nothing here prints.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "capture/decoder.h"
#include "module/command_record.h"

namespace quillmere {
class PrinterCommandModule;
}

namespace quillmere::capture {

// A record of the module that carries an event tag.
struct TriggerRecord {
  std::string section;  // "Single-Command", the entry's section ("Text_Void"), "BARCODE"
  std::int32_t key = 0;
  TransactionEvent event = TransactionEvent::kNone;
  std::vector<std::uint8_t> bytes;
  std::optional<std::uint8_t> trigger;  // the multi-command entry's trigger byte
};

// The tagged records of a loaded module, in the order inspect lists them: single commands,
// then each multi-command entry's records, then the barcode command.
[[nodiscard]] std::vector<TriggerRecord> TaggedRecords(const PrinterCommandModule& module);

struct Hit {
  std::size_t offset = 0;
  std::optional<std::size_t> receipt;  // Receipt::index of the receipt that holds it
  ByteRole where = ByteRole::kText;    // what its first byte is
  // It starts where a text character or a command starts and ends where one ends, or inside
  // the parameters of a command it starts: a trigger the printer sees as what it is.
  bool whole = false;
  bool printed = true;  // false for text the printer dropped
};

// A hit that makes a verdict true: printed or dropped text, or a whole command.
[[nodiscard]] bool Counts(const Hit& hit);

enum class NearMissReason : std::uint8_t { kCase, kSplit, kBlank, kCodePage };

// "case", "split", "blank", "code page".
[[nodiscard]] std::string_view ReasonName(NearMissReason reason);

struct NearMiss {
  std::size_t offset = 0;  // the first byte of the near miss
  std::size_t end = 0;     // one past its last byte
  std::optional<std::size_t> receipt;
  std::vector<NearMissReason> why;  // each once, in the order of the enumeration
};

struct TriggerMatch {
  TriggerRecord record;
  std::vector<Hit> hits;
  std::vector<NearMiss> nearMisses;  // only for records whose bytes are text
};

// Void and stop: true when a trigger of the kind counts, false when none does, none when the
// module has no trigger of the kind.
struct Verdict {
  std::optional<bool> voidSeen;
  std::optional<bool> stopSeen;
};

struct ReceiptVerdict {
  std::size_t receipt = 0;  // Receipt::index
  Verdict verdict;
  std::vector<std::size_t> triggers;  // positions in MatchReport::triggers that count in it
};

struct MatchReport {
  std::vector<TriggerMatch> triggers;
  std::vector<ReceiptVerdict> receipts;  // one for each receipt, in order
  Verdict capture;
};

// The bytes a keyword's characters have in another encoding (say the shop's code page for a
// keyword typed in UTF-8); none when they have none there.
using Reencode = std::function<std::optional<std::string>(std::string_view)>;

[[nodiscard]] MatchReport MatchTriggers(const DecodedCapture& decoded,
                                        std::vector<TriggerRecord> records,
                                        const Reencode& reencode = {});

}  // namespace quillmere::capture
