// One module file parsed from its bytes: what the profile functions read from it, and the bytes
// the file holds after one key write. It keeps every byte it was given (each line's own ending,
// a last line without one, NUL bytes, lines no read can reach), so a write changes one line or
// adds one or two, and nothing else. It works from memory only; the stores bring the disk.
//
// Lookups go through an index built once, so a loader's thousands of reads of one file cost
// time linear in its size. The rules applied are those of profile_rules.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/profile_rules.h"
#include "platform/profile_store.h"

namespace quillmere {

// The bytes of a file after a write, when the write can be made.
struct DocumentEdit {
  WriteStatus status = WriteStatus::kOk;
  std::string bytes;  // the whole new file; empty unless status is kOk
};

class IniDocument {
 public:
  // An empty document stands for a missing file: every read gives its default.
  IniDocument() = default;
  explicit IniDocument(std::string bytes);

  [[nodiscard]] const std::string& Bytes() const { return bytes_; }

  // What GetPrivateProfileStringA would give with a 260-character buffer.
  [[nodiscard]] std::string ReadString(std::string_view section, std::string_view key,
                                       std::string_view defaultValue) const;

  // What GetPrivateProfileIntA would give.
  [[nodiscard]] std::int32_t ReadInt(std::string_view section, std::string_view key,
                                     std::int32_t defaultValue) const;

  // The key names of the first section of that name, in file order (see ProfileStore).
  [[nodiscard]] std::vector<std::string> ReadKeyNames(std::string_view section) const;

  // The file's bytes once (section, key) holds `value`: the key's line replaced, or a key line
  // added to its section, or the section and the key appended. kRefused for arguments that
  // profile_rules::IsWritable turns away, kFailed for a file this tool must not write (Unicode).
  [[nodiscard]] DocumentEdit WithValue(std::string_view section, std::string_view key,
                                       std::string_view value) const;

 private:
  struct Line {
    std::size_t begin = 0;         // offset of its first byte in the file
    std::size_t length = 0;        // bytes before its line ending
    std::size_t endingLength = 0;  // 0 for a last line without an ending
    profile_rules::LineKind kind = profile_rules::LineKind::kBlank;
    std::size_t nameBegin = 0;  // offsets of the name and the readable value in the file
    std::size_t nameLength = 0;
    std::size_t valueBegin = 0;
    std::size_t valueLength = 0;
  };

  // The first section of one name: its lines, where a new key goes, and its keys' first lines.
  struct Section {
    std::size_t header = 0;                             // line index of the header
    std::size_t end = 0;                                // line index after its last line
    std::size_t insertAfter = 0;                        // line index a new key follows
    std::unordered_map<std::string, std::size_t> keys;  // match key -> line index
  };

  [[nodiscard]] std::string_view LineText(const Line& line) const;
  [[nodiscard]] std::string_view NameOf(const Line& line) const;
  [[nodiscard]] std::string_view ValueOf(const Line& line) const;
  [[nodiscard]] const Section* FindSection(std::string_view section) const;
  [[nodiscard]] const Line* FindEntry(std::string_view section, std::string_view key) const;
  // Classifies one line and files it under `current`, the section being read (updated at a
  // header; none before the first header and in a later section of a name already seen).
  void AddLine(std::size_t begin, std::size_t length, std::size_t endingLength,
               std::size_t& current);

  std::string bytes_;
  bool unicode_ = false;
  std::vector<Line> lines_;
  std::vector<Section> sections_;
  std::unordered_map<std::string, std::size_t> sectionIndex_;  // match key -> sections_ index
};

}  // namespace quillmere
