// One module file parsed from its bytes: what the profile functions read from it, and its bytes
// after key writes. It keeps every byte it was given (each line's own ending, a last line without
// one, NUL bytes, lines no read can reach), so a write changes one line or adds one or two, and
// nothing else. It works from memory only; the stores bring the disk.
//
// It looks at no more of the file than its reads need, and at no line more often than it must:
// sections are found front to back only as far as a read asks (Module_Name at the top of a file
// of megabytes costs its first lines), a list is read in one walk over its section, and a
// section read key by key gets a key index once it proves long, so a loader's thousands of reads
// cost time linear in the file's size. What a read finds depends only on the lines before it
// (the first section of a name, the first entry of a key), so every answer is the one a parse of
// the whole file gives. What it found is kept in it, so a document, and a view that is one, is
// read from one thread at a time, as everything in this tool is. The rules applied are those of
// profile_rules.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/name_table.h"
#include "platform/profile_rules.h"
#include "platform/profile_store.h"
#include "platform/profile_view.h"

namespace quillmere {

// The bytes of a file after a write, when the write can be made.
struct DocumentEdit {
  WriteStatus status = WriteStatus::kOk;
  std::string bytes;  // the whole new file; empty unless status is kOk
};

class IniDocument final : public ProfileView {
 public:
  // An empty document stands for a missing file: every read gives its default.
  IniDocument() = default;
  explicit IniDocument(std::string bytes);
  // A copy is made to be written: it has room for a few new lines, so that the writes of a
  // derivation never move the whole file to a larger buffer.
  IniDocument(const IniDocument& other);
  IniDocument& operator=(const IniDocument& other) = default;
  IniDocument(IniDocument&& other) = default;
  IniDocument& operator=(IniDocument&& other) = default;
  ~IniDocument() override = default;

  [[nodiscard]] const std::string& Bytes() const { return bytes_; }

  // What GetPrivateProfileStringA would give with a 260-character buffer.
  [[nodiscard]] std::string ReadString(std::string_view section, std::string_view key,
                                       std::string_view defaultValue) const override;

  // What GetPrivateProfileIntA would give.
  [[nodiscard]] std::int32_t ReadInt(std::string_view section, std::string_view key,
                                     std::int32_t defaultValue) const override;

  // The key names of the first section of that name, in file order (see ProfileStore).
  [[nodiscard]] std::vector<std::string> ReadKeyNames(std::string_view section) const override;

  // A list in one walk over its section (see ProfileView).
  void ReadList(std::string_view section, std::int32_t count, const KeysPresent& onKeysPresent,
                const ListValue& onValue) const override;

  // What ReadString gives on a whole file that begins with `start`, when `start` decides it:
  // the key's first line lies whole in it, or the section (the first of its name) ends in it
  // without the key. None when the answer may lie further on. A lone read of a large file tries
  // its first bytes so.
  [[nodiscard]] static std::optional<std::string> ReadStringFromStart(
      std::string_view start, std::string_view section, std::string_view key,
      std::string_view defaultValue);

  // Makes (section, key) hold `value` in this document: the key's line replaced, or a key line
  // added to its section, or the section and the key appended. kRefused for arguments that
  // profile_rules::IsWritable turns away, kFailed for a file this tool must not write (Unicode);
  // the document is left as it was then.
  [[nodiscard]] WriteStatus WriteValue(std::string_view section, std::string_view key,
                                       std::string_view value);

  // The file's bytes once (section, key) holds `value`, as WriteValue would make them; this
  // document is left as it is.
  [[nodiscard]] DocumentEdit WithValue(std::string_view section, std::string_view key,
                                       std::string_view value) const;

 private:
  // One line: where it starts, its text without the ending, and the ending's length (0 for a
  // last line without one).
  struct Line {
    std::size_t begin = 0;
    std::string_view text;
    std::size_t endingLength = 0;
    [[nodiscard]] std::size_t Next() const { return begin + text.size() + endingLength; }
  };

  // The first section of a name, found so far.
  struct Section {
    std::size_t header = 0;  // offset of its header line
    std::size_t body = 0;    // offset of the line after it
    std::size_t nameBegin = 0;
    std::size_t nameLength = 0;
    bool keysIndexed = false;
    NameTable keys;  // the offsets of its keys' first lines, once it proved long
  };

  [[nodiscard]] Line LineAt(std::size_t begin) const;
  [[nodiscard]] std::string_view SectionName(const Section& section) const;
  // The index of the first section of that name, finding further headers as far as it must.
  [[nodiscard]] std::optional<std::size_t> FindSection(std::string_view name) const;
  // The first entry line of `key` in a section.
  [[nodiscard]] std::optional<Line> FindEntry(std::size_t section, std::string_view key) const;
  void IndexKeys(std::size_t section) const;
  // Calls `visit(line, meaning)` for each line of the section that starts at `body`, until the
  // next header, the end of the file, or `visit` giving false.
  template <typename Visit>
  void WalkSection(std::size_t body, Visit visit) const;
  void AppendSection(std::string_view section, std::string_view key, std::string_view value,
                     std::string_view ending);
  // Replaces `length` bytes at `position` with `text`, moving what the sections found so far
  // know of the bytes after it.
  void Splice(std::size_t position, std::size_t length, std::string_view text);

  std::string bytes_;
  bool unicode_ = false;
  // What the reads have found so far; a read finds more, so these change under const.
  mutable std::vector<Section> sections_;
  mutable NameTable sectionNames_;     // section name -> index into sections_
  mutable std::size_t scannedTo_ = 0;  // every header before this offset is in sections_
};

}  // namespace quillmere
