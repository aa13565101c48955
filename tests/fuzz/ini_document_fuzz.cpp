// The profile document parser fed any file, then a write: "file\0section\0key\0value" (a plain
// module file writes its Module_Name). Every key of every section reads within the buffer, as a
// number as its text reads, in a list walk as key by key, and from the file's first half as from
// the whole. A write made in place after reads leaves a document that reads as its bytes parsed
// anew: every other key as before, the key written as its value would. It changes the key's line or
// ends an unended last line, and adds at most a header and a key line; every other line stays,
// byte for byte. Writing the value a key holds changes no byte.
#include <map>
#include <utility>

#include "fuzz/fuzz_target.h"
#include "platform/ini_document.h"

namespace quillmere {
namespace {

using fuzzing::Require;
namespace rules = profile_rules;

using Reads = std::map<std::pair<std::string, std::string>, std::string>;

// The keys a list read of `count` gives, with their values, after how many it said there are:
// in one walk, or key by key as a view without a walk reads them.
std::string ListAnswer(const IniDocument& document, const std::string& section, std::int32_t count,
                       bool walk) {
  std::string answer;
  const auto present = [&](std::size_t keys) { answer = std::to_string(keys) + ":"; };
  const auto value = [&](std::int32_t key, std::string_view text) {
    answer += " " + std::to_string(key) + "=" + std::string(text);
  };
  walk ? document.ReadList(section, count, present, value)
       : document.ProfileView::ReadList(section, count, present, value);
  return answer;
}

// Every listed key of the sections named, by match keys, with the value it reads as.
Reads EveryRead(const IniDocument& document, const std::vector<std::string>& sections) {
  Reads reads;
  const std::string_view start =
      std::string_view(document.Bytes()).substr(0, document.Bytes().size() / 2);
  for (const std::string& section : sections) {
    for (const std::string& key : document.ReadKeyNames(section)) {
      const std::string value = document.ReadString(section, key, "\n");
      Require(value != "\n" && value.size() <= kProfileValueMax &&
                  value.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos,
              "a listed key reads within the buffer, on one line, up to a NUL");
      Require(document.ReadInt(section, key, -7) == rules::ReadableInteger(value, -7),
              "an integer read is the number of the text read");
      const auto fromStart = IniDocument::ReadStringFromStart(start, section, key, "\n");
      Require(!fromStart || *fromStart == value, "a file's start reads as the whole file");
      reads.try_emplace({rules::MatchKey(rules::TrimNameParameter(section)), rules::MatchKey(key)},
                        value);
    }
    for (const std::int32_t count : {-1, 1, 4, 1000}) {
      Require(
          ListAnswer(document, section, count, true) == ListAnswer(document, section, count, false),
          "a list walk answers as reading key by key");
    }
  }
  return reads;
}

}  // namespace
}  // namespace quillmere

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quillmere;
  std::vector<std::string> call = {"Main", "Module_Name", "Quillmere"};
  const std::string_view file = fuzzing::SplitArguments(fuzzing::Text(data, size), call);
  const auto& [section, key, value] = std::tie(call[0], call[1], call[2]);
  const std::vector<std::string_view> lines = fuzzing::Lines(file);
  std::vector<std::string> sections = {section};
  for (const std::string_view line : lines) {
    if (const rules::LineMeaning meaning = rules::ClassifyLine(fuzzing::Content(line));
        meaning.kind == rules::LineKind::kHeader) {
      sections.emplace_back(meaning.name);
    }
  }
  const IniDocument document{std::string(file)};
  Require(document.Bytes() == file, "the document keeps every byte");
  const Reads before = EveryRead(document, sections);

  IniDocument written(document);  // with what the reads found
  if (written.WriteValue(section, key, value) != WriteStatus::kOk) {
    Require(written.Bytes() == file, "a write not made changes no byte");
    return 0;
  }
  const Reads after = EveryRead(written, sections);
  Require(after == EveryRead(IniDocument(written.Bytes()), sections),
          "a document written in place reads as its bytes parsed anew");
  const std::string readBack = written.ReadString(section, key, "\n");
  Require(readBack == IniDocument("[s]\nk=" + value).ReadString("s", "k", "\n"),
          "the key written reads as its value would");
  const std::pair writtenKey{rules::MatchKey(rules::TrimNameParameter(section)),
                             rules::MatchKey(rules::TrimNameParameter(key))};
  for (const auto& [name, read] : before) {
    const auto found = after.find(name);
    Require(found != after.end() && found->second == (name == writtenKey ? readBack : read),
            "every other key reads as before");
  }

  const std::vector<std::string_view> now = fuzzing::Lines(written.Bytes());
  std::size_t same = 0;
  std::size_t sameEnd = 0;
  while (same < lines.size() && same < now.size() && lines[same] == now[same]) {
    ++same;
  }
  while (same + sameEnd < lines.size() && same + sameEnd < now.size() &&
         lines[lines.size() - 1 - sameEnd] == now[now.size() - 1 - sameEnd]) {
    ++sameEnd;
  }
  const std::size_t changed = lines.size() - same - sameEnd;
  const std::size_t added = now.size() - same - sameEnd;
  const rules::LineMeaning old =
      rules::ClassifyLine(changed == 1 ? fuzzing::Content(lines[same]) : "");
  Require(added <= 3 &&
              (changed == 0 ||
               (changed == 1 && added >= 1 &&
                ((rules::HoldsKey(old.kind) && rules::MatchKey(old.name) == writtenKey.second) ||
                 (same + 1 == lines.size() && fuzzing::Content(lines[same]) == lines[same] &&
                  now[same].starts_with(lines[same]))))),
          "a write changes the key's line or ends the last, adding a header and a key at most");
  const DocumentEdit again = written.WithValue(section, key, value);
  Require(again.status == WriteStatus::kOk && again.bytes == written.Bytes(),
          "writing the value a key holds changes no byte");
  return 0;
}
