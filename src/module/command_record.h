// The records a module file is made of, as the loader holds them in memory.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quillmere {

// What a record marks for the POS engine, read from its event tag.
enum class TransactionEvent : std::int32_t { kNone = -1, kStart = 0, kStop = 1, kVoid = 2 };

// A record's bytes. Most commands are a few bytes (ESC @, GS V 0, a keyword of four letters):
// up to seven stand in the record itself, in the room of a pointer; more stand in one heap block
// that holds their number and then the bytes. A module of a hundred thousand records holds a
// hundred thousand of them, so no capacity, no second length and mostly no allocation per
// record. A record owns them alone: it is moved, never copied.
class RecordBytes {
 public:
  RecordBytes() = default;
  explicit RecordBytes(std::span<const std::uint8_t> bytes);
  RecordBytes(const RecordBytes&) = delete;
  RecordBytes& operator=(const RecordBytes&) = delete;
  RecordBytes(RecordBytes&& other) noexcept;
  RecordBytes& operator=(RecordBytes&& other) noexcept;
  ~RecordBytes();

  [[nodiscard]] std::size_t size() const;
  [[nodiscard]] const std::uint8_t* data() const;
  [[nodiscard]] const std::uint8_t* begin() const { return data(); }
  [[nodiscard]] const std::uint8_t* end() const { return data() + size(); }
  [[nodiscard]] std::uint8_t operator[](std::size_t i) const { return data()[i]; }
  [[nodiscard]] std::span<const std::uint8_t> Span() const { return {data(), size()}; }
  [[nodiscard]] std::vector<std::uint8_t> ToVector() const { return {begin(), end()}; }

 private:
  static constexpr std::size_t kInline = sizeof(std::uint8_t*) - 1;
  static constexpr std::size_t kLengthSize = sizeof(std::uint32_t);
  // Inline, storage_[0] holds the number of bytes doubled plus one, an odd number that the
  // lowest byte of a block's address never is, and the bytes follow it. Otherwise storage_ holds
  // the block's address, or none when there are no bytes.
  [[nodiscard]] bool IsInline() const { return (storage_[0] & 1U) != 0; }
  [[nodiscard]] std::uint8_t* Block() const;
  void Free();
  alignas(std::uint8_t*) std::array<std::uint8_t, sizeof(std::uint8_t*)> storage_{};
};

// An owned zero-terminated text, or none: a record's text and the name of its bound function.
// One heap block holds the text's length, the text and its terminator; the record holds a
// pointer. The length is kept because a value handed to the parsers may hold a NUL byte, which
// a file's value never does (a read ends there).
class RecordText {
 public:
  RecordText() = default;
  // None when `text` is empty: a record's text and its function name are never empty.
  explicit RecordText(std::string_view text);
  RecordText(const RecordText&) = delete;
  RecordText& operator=(const RecordText&) = delete;
  RecordText(RecordText&&) noexcept = default;
  RecordText& operator=(RecordText&&) noexcept = default;
  ~RecordText() = default;

  [[nodiscard]] bool has_value() const { return block_ != nullptr; }
  explicit operator bool() const { return has_value(); }
  [[nodiscard]] std::string_view operator*() const;
  [[nodiscard]] std::string_view value_or(std::string_view none) const {
    return has_value() ? **this : none;
  }

 private:
  static constexpr std::size_t kLengthSize = sizeof(std::uint32_t);
  std::unique_ptr<char[]> block_;
};

// One parsed change-line record or command record.
struct CommandRecord {
  std::int32_t byteCount = 0;
  RecordBytes bytes;           // byteCount bytes, in file order
  std::int32_t parameter = 0;  // a kind-1 record's parameter; 0 for every other kind
  std::int32_t kind = 0;       // as read; 0 for change-line records
  // The export of the module library that a kind-3 record is bound to; none otherwise. Nothing
  // is ever called through it: it only says that the library exports this name.
  RecordText function;
  std::int32_t textLength = 0;  // length of `text` in bytes; 0 when there is none
  RecordText text;
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
