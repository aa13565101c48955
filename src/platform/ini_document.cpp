#include "platform/ini_document.h"

#include <algorithm>
#include <utility>

#include "platform/text.h"

namespace quillmere {

namespace rules = profile_rules;

namespace {

// A section read key by key is walked line by line up to this many lines; a longer one is
// indexed once, so reading every key of a long list costs time linear in its length.
constexpr std::size_t kLinesBeforeAKeyIndex = 64;

// Room a copy leaves for new lines: a derivation adds a handful of short ones.
constexpr std::size_t kRoomForWrites = 4096;

bool EndsWithLineEnding(std::string_view bytes) {
  return !bytes.empty() && (bytes.back() == '\r' || bytes.back() == '\n');
}

std::size_t OffsetIn(std::string_view whole, std::string_view part) {
  return static_cast<std::size_t>(part.data() - whole.data());
}

}  // namespace

IniDocument::IniDocument(std::string bytes)
    : bytes_(std::move(bytes)), unicode_(rules::IsUnicodeFile(bytes_)) {
  if (unicode_) {
    scannedTo_ = bytes_.size();  // read as defaults and never written, so no section is found
  }
}

IniDocument::IniDocument(const IniDocument& other)
    : ProfileView(other),
      unicode_(other.unicode_),
      sections_(other.sections_),
      sectionNames_(other.sectionNames_),
      scannedTo_(other.scannedTo_) {
  bytes_.reserve(other.bytes_.size() + kRoomForWrites);
  bytes_ = other.bytes_;
}

IniDocument::Line IniDocument::LineAt(std::size_t begin) const {
  const std::string_view all = bytes_;
  const std::size_t end = rules::LineContentEnd(all, begin);
  return {begin, all.substr(begin, end - begin), rules::LineEndingLengthAt(all, end)};
}

std::string_view IniDocument::SectionName(const Section& section) const {
  return std::string_view(bytes_).substr(section.nameBegin, section.nameLength);
}

std::optional<std::size_t> IniDocument::FindSection(std::string_view name) const {
  const std::uint32_t hash = NameTable::HashOf(name);
  const auto named = [&](std::string_view wanted) {
    return [this, wanted](std::size_t index) {
      return text::EqualsIgnoreCase(SectionName(sections_[index]), wanted);
    };
  };
  if (const std::optional<std::size_t> found = sectionNames_.Find(hash, named(name))) {
    return found;
  }
  const std::string_view all = bytes_;
  while (scannedTo_ < all.size()) {
    // Only a line whose first byte after blanks is "[" is a header: the search jumps from one
    // "[" to the next and looks back to the start of its line.
    std::size_t lineBegin = all.find('[', scannedTo_);
    if (lineBegin == std::string_view::npos) {
      scannedTo_ = all.size();
      break;
    }
    while (lineBegin > scannedTo_ && rules::IsFileBlank(all[lineBegin - 1])) {
      --lineBegin;
    }
    if (lineBegin > scannedTo_ && all[lineBegin - 1] != '\r' && all[lineBegin - 1] != '\n') {
      // Inside a line: the search goes on after the end of that line.
      scannedTo_ = LineAt(lineBegin).Next();
      continue;
    }
    const Line line = LineAt(lineBegin);
    scannedTo_ = line.Next();
    const std::string_view headerName = rules::ClassifyLine(line.text).name;
    const std::size_t index = sections_.size();
    if (!sectionNames_.AddFirst(NameTable::HashOf(headerName), index, named(headerName))) {
      continue;  // a later section of a name already found: no read reaches it
    }
    Section& section = sections_.emplace_back();
    section.header = line.begin;
    section.body = line.Next();
    section.nameBegin = headerName.empty() ? line.begin : OffsetIn(bytes_, headerName);
    section.nameLength = headerName.size();
    if (text::EqualsIgnoreCase(headerName, name)) {
      return index;
    }
  }
  return std::nullopt;
}

template <typename Visit>
void IniDocument::WalkSection(std::size_t body, Visit visit) const {
  for (std::size_t at = body; at < bytes_.size();) {
    const Line line = LineAt(at);
    const rules::LineMeaning meaning = rules::ClassifyLine(line.text);
    if (meaning.kind == rules::LineKind::kHeader || !visit(line, meaning)) {
      return;
    }
    at = line.Next();
  }
}

void IniDocument::IndexKeys(std::size_t section) const {
  NameTable& keys = sections_[section].keys;
  WalkSection(sections_[section].body, [&](const Line& line, const rules::LineMeaning& meaning) {
    if (rules::HoldsKey(meaning.kind)) {
      const std::string_view name = meaning.name;
      keys.AddFirst(NameTable::HashOf(name), line.begin, [&](std::size_t other) {
        return text::EqualsIgnoreCase(rules::ClassifyLine(LineAt(other).text).name, name);
      });
    }
    return true;
  });
  sections_[section].keysIndexed = true;
}

std::optional<IniDocument::Line> IniDocument::FindEntry(std::size_t section,
                                                        std::string_view key) const {
  if (!sections_[section].keysIndexed) {
    std::optional<Line> found;
    std::size_t walked = 0;
    WalkSection(sections_[section].body, [&](const Line& line, const rules::LineMeaning& meaning) {
      if (rules::HoldsKey(meaning.kind) && text::EqualsIgnoreCase(meaning.name, key)) {
        found = line;
        return false;
      }
      return ++walked < kLinesBeforeAKeyIndex;
    });
    if (found || walked < kLinesBeforeAKeyIndex) {
      return found;
    }
    IndexKeys(section);
  }
  const std::optional<std::size_t> at =
      sections_[section].keys.Find(NameTable::HashOf(key), [&](std::size_t begin) {
        return text::EqualsIgnoreCase(rules::ClassifyLine(LineAt(begin).text).name, key);
      });
  return at ? std::optional<Line>(LineAt(*at)) : std::nullopt;
}

std::string IniDocument::ReadString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue) const {
  if (const std::optional<std::size_t> found = FindSection(rules::TrimNameParameter(section))) {
    if (const std::optional<Line> entry = FindEntry(*found, rules::TrimNameParameter(key))) {
      return rules::FitToBuffer(rules::ClassifyLine(entry->text).value);
    }
  }
  return rules::ReadableDefault(defaultValue);
}

std::optional<std::string> IniDocument::ReadStringFromStart(std::string_view start,
                                                            std::string_view section,
                                                            std::string_view key,
                                                            std::string_view defaultValue) {
  if (start.size() < 2) {
    return std::nullopt;  // too short to tell whether the file is Unicode
  }
  if (rules::IsUnicodeFile(start)) {
    return rules::ReadableDefault(defaultValue);
  }
  // Whole lines only: the last one may go on past the start.
  const std::size_t lastEnding = start.find_last_of("\r\n");
  const std::string_view lines =
      start.substr(0, lastEnding == std::string_view::npos ? 0 : lastEnding + 1);
  const std::string_view sectionName = rules::TrimNameParameter(section);
  const std::string_view keyName = rules::TrimNameParameter(key);
  bool inSection = false;  // in the first section of that name
  for (std::size_t at = 0; at < lines.size();) {
    const std::size_t end = rules::LineContentEnd(lines, at);
    const rules::LineMeaning meaning = rules::ClassifyLine(lines.substr(at, end - at));
    at = end + rules::LineEndingLengthAt(lines, end);
    if (meaning.kind == rules::LineKind::kHeader) {
      if (inSection) {
        return rules::ReadableDefault(defaultValue);  // it ended without the key
      }
      inSection = text::EqualsIgnoreCase(meaning.name, sectionName);
    } else if (inSection && rules::HoldsKey(meaning.kind) &&
               text::EqualsIgnoreCase(meaning.name, keyName)) {
      return rules::FitToBuffer(meaning.value);
    }
  }
  return std::nullopt;  // the section goes on past the start
}

std::int32_t IniDocument::ReadInt(std::string_view section, std::string_view key,
                                  std::int32_t defaultValue) const {
  return rules::ReadableInteger(ReadString(section, key, {}), defaultValue);
}

std::vector<std::string> IniDocument::ReadKeyNames(std::string_view section) const {
  std::vector<std::string> names;
  if (const std::optional<std::size_t> found = FindSection(rules::TrimNameParameter(section))) {
    WalkSection(sections_[*found].body,
                [&](const Line& /*line*/, const rules::LineMeaning& meaning) {
                  if (rules::IsListedKey(meaning)) {
                    names.emplace_back(meaning.name);
                  }
                  return true;
                });
  }
  return names;
}

void IniDocument::ReadList(std::string_view section, std::int32_t count,
                           const KeysPresent& onKeysPresent, const ListValue& onValue) const {
  const std::optional<std::size_t> found =
      count > 0 ? FindSection(rules::TrimNameParameter(section)) : std::nullopt;
  if (!found) {
    onKeysPresent(0);
    return;
  }
  // Held by offset: a caller may read further sections while it takes the values, which finds
  // more sections but never moves a byte.
  const std::size_t body = sections_[*found].body;
  const auto listKey = [count](const rules::LineMeaning& meaning) {
    return rules::IsListedKey(meaning) ? rules::ListKey(meaning.name, count) : std::nullopt;
  };
  // One walk notes where each listed key's value lies; nearly always the list stands in key
  // order, each key once, and the values are given as noted. Otherwise they are put in key order
  // first, and a key's first line is the one a read finds.
  struct Item {
    std::int32_t key = 0;
    std::uint32_t valueLength = 0;
    std::size_t valueBegin = 0;
  };
  std::vector<Item> items;
  bool ordered = true;
  WalkSection(body, [&](const Line& /*line*/, const rules::LineMeaning& meaning) {
    if (const std::optional<std::int32_t> key = listKey(meaning)) {
      ordered = ordered && (items.empty() || *key > items.back().key);
      const std::string_view value = rules::FitValue(meaning.value);
      items.push_back({*key, static_cast<std::uint32_t>(value.size()),
                       value.empty() ? 0 : OffsetIn(bytes_, value)});
    }
    return true;
  });
  if (!ordered) {
    std::stable_sort(items.begin(), items.end(),
                     [](const Item& a, const Item& b) { return a.key < b.key; });
    items.erase(std::unique(items.begin(), items.end(),
                            [](const Item& a, const Item& b) { return a.key == b.key; }),
                items.end());
  }
  onKeysPresent(items.size());
  const std::string_view all = bytes_;
  for (const Item& item : items) {
    onValue(item.key, all.substr(item.valueBegin, item.valueLength));
  }
}

WriteStatus IniDocument::WriteValue(std::string_view section, std::string_view key,
                                    std::string_view value) {
  if (!rules::IsWritable(section, key, value)) {
    return WriteStatus::kRefused;
  }
  if (unicode_) {
    return WriteStatus::kFailed;
  }
  const std::string_view sectionName = rules::TrimNameParameter(section);
  const std::string_view keyName = rules::TrimNameParameter(key);
  const std::string ending(rules::LineEndingOf(bytes_));
  const std::optional<std::size_t> found = FindSection(sectionName);
  if (!found) {
    AppendSection(sectionName, keyName, value, ending);
    return WriteStatus::kOk;
  }
  // The key's first line; else the last line a new key follows (the header when none).
  std::optional<Line> entry;
  Line before = LineAt(sections_[*found].header);
  WalkSection(sections_[*found].body, [&](const Line& line, const rules::LineMeaning& meaning) {
    if (rules::HoldsKey(meaning.kind) && text::EqualsIgnoreCase(meaning.name, keyName)) {
      entry = line;
      return false;
    }
    if (rules::PlacesNewKeysAfter(meaning.kind)) {
      before = line;
    }
    return true;
  });
  if (entry) {
    // The key's line keeps its own ending; a last line without one gets the file's.
    std::string replaced = rules::ReplacedEntryLine(entry->text, value);
    if (entry->endingLength == 0) {
      replaced += ending;
    }
    Splice(entry->begin, entry->text.size(), replaced);
    return WriteStatus::kOk;
  }
  std::string added;
  if (before.endingLength == 0) {
    added += ending;
  }
  added += rules::NewEntryLine(keyName, value);
  // A lone CR right before an LF would read as one ending with it, and the blank line that LF
  // ends would vanish into the new one: the new line then ends in CRLF.
  const bool joinsNext = ending == "\r" && bytes_.compare(before.Next(), 1, "\n") == 0;
  added += joinsNext ? rules::kDefaultLineEnding : std::string_view(ending);
  Splice(before.Next(), 0, added);
  return WriteStatus::kOk;
}

void IniDocument::AppendSection(std::string_view section, std::string_view key,
                                std::string_view value, std::string_view ending) {
  // Only called when the search for the section reached the end of the file.
  std::string added;
  if (!bytes_.empty() && !EndsWithLineEnding(bytes_)) {
    added += ending;
  }
  const std::size_t header = bytes_.size() + added.size();
  added += rules::NewHeaderLine(section);
  added += ending;
  const std::size_t body = bytes_.size() + added.size();
  added += rules::NewEntryLine(key, value);
  added += ending;
  bytes_ += added;
  scannedTo_ = bytes_.size();
  const std::size_t index = sections_.size();
  Section& appended = sections_.emplace_back();
  appended.header = header;
  appended.body = body;
  appended.nameBegin = header + 1;  // after the "["
  appended.nameLength = section.size();
  sectionNames_.AddFirst(NameTable::HashOf(section), index, [](std::size_t) { return false; });
}

void IniDocument::Splice(std::size_t position, std::size_t length, std::string_view text) {
  bytes_.replace(position, length, text);
  const auto moved = [&](std::size_t offset) { return offset - length + text.size(); };
  for (Section& section : sections_) {
    if (section.header >= position) {
      section.header = moved(section.header);
      section.body = moved(section.body);
      section.nameBegin = moved(section.nameBegin);
    }
    // Key indexes hold offsets of lines that may have moved; a later read builds them again.
    section.keys.Clear();
    section.keysIndexed = false;
  }
  if (scannedTo_ > position) {
    scannedTo_ = moved(scannedTo_);
  }
}

DocumentEdit IniDocument::WithValue(std::string_view section, std::string_view key,
                                    std::string_view value) const {
  IniDocument edited(*this);
  const WriteStatus status = edited.WriteValue(section, key, value);
  if (status != WriteStatus::kOk) {
    return {status, {}};
  }
  return {WriteStatus::kOk, std::move(edited.bytes_)};
}

}  // namespace quillmere
