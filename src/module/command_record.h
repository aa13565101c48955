// The records a module file is made of, as the loader holds them in memory.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillmere {

// What a record marks for the POS engine, read from its event tag.
enum class TransactionEvent : std::int32_t { kNone = -1, kStart = 0, kStop = 1, kVoid = 2 };

// One parsed change-line record or command record.
struct CommandRecord {
  std::int32_t byteCount = 0;
  std::vector<std::uint8_t> bytes;  // byteCount bytes, in file order
  std::int32_t parameter = 0;       // a kind-1 record's parameter; 0 for every other kind
  std::int32_t kind = 0;            // as read; 0 for change-line records
  // The export of the module library that a kind-3 record is bound to; none otherwise. Nothing
  // is ever called through it: it only says that the library exports this name.
  std::optional<std::string> function;
  std::int32_t textLength = 0;  // length of `text` in bytes; 0 when there is none
  std::optional<std::string> text;
  TransactionEvent event = TransactionEvent::kNone;
  // The INI key the record was loaded from. Positions in a list are not keys once a record
  // failed to load, so the writers address records by this.
  std::int32_t key = 0;
};

// One multi-command entry with the records of its section that parsed, in key order.
struct MultiCommand {
  std::uint8_t trigger = 0;
  std::vector<CommandRecord> records;
  std::int32_t key = 0;  // its key in section "Mutli-Command"
  std::string section;   // the section that holds its records
};

}  // namespace quillmere
