#include "platform/ini_document.h"

#include <utility>

namespace quillmere {

namespace rules = profile_rules;

namespace {

constexpr std::size_t kNoSection = static_cast<std::size_t>(-1);

std::size_t OffsetIn(std::string_view whole, std::string_view part) {
  return static_cast<std::size_t>(part.data() - whole.data());
}

bool EndsWithLineEnding(std::string_view bytes) {
  return !bytes.empty() && (bytes.back() == '\r' || bytes.back() == '\n');
}

}  // namespace

IniDocument::IniDocument(std::string bytes) : bytes_(std::move(bytes)) {
  unicode_ = rules::IsUnicodeFile(bytes_);
  if (unicode_) {
    return;  // read as defaults and never written, so no line is needed
  }
  const std::string_view all = bytes_;
  std::size_t current = kNoSection;  // the section the lines belong to, when one can be read
  std::size_t position = 0;
  while (position < all.size()) {
    std::size_t length = all.substr(position).find_first_of("\r\n");
    if (length == std::string_view::npos) {
      length = all.size() - position;
    }
    const std::size_t endingLength = rules::LineEndingLengthAt(all, position + length);
    AddLine(position, length, endingLength, current);
    position += length + endingLength;
  }
  if (current != kNoSection) {
    sections_[current].end = lines_.size();
  }
}

void IniDocument::AddLine(std::size_t begin, std::size_t length, std::size_t endingLength,
                          std::size_t& current) {
  const std::string_view all = bytes_;
  const rules::LineMeaning meaning = rules::ClassifyLine(all.substr(begin, length));
  Line line{
      begin, length, endingLength, meaning.kind, 0, meaning.name.size(), 0, meaning.value.size()};
  if (!meaning.name.empty()) {
    line.nameBegin = OffsetIn(all, meaning.name);
  }
  if (!meaning.value.empty()) {
    line.valueBegin = OffsetIn(all, meaning.value);
  }
  const std::size_t index = lines_.size();
  lines_.push_back(line);

  if (meaning.kind == rules::LineKind::kHeader) {
    if (current != kNoSection) {
      sections_[current].end = index;
    }
    const auto [where, isFirst] =
        sectionIndex_.try_emplace(rules::MatchKey(meaning.name), sections_.size());
    if (isFirst) {
      sections_.push_back(Section{index, 0, index, {}});
    }
    current = isFirst ? where->second : kNoSection;
    return;
  }
  if (current == kNoSection) {
    return;  // before the first header, or in a later section of a name already seen
  }
  Section& section = sections_[current];
  if (rules::PlacesNewKeysAfter(meaning.kind)) {
    section.insertAfter = index;
  }
  if (rules::HoldsKey(meaning.kind)) {
    section.keys.try_emplace(rules::MatchKey(meaning.name), index);
  }
}

std::string_view IniDocument::LineText(const Line& line) const {
  return std::string_view(bytes_).substr(line.begin, line.length);
}

std::string_view IniDocument::NameOf(const Line& line) const {
  return std::string_view(bytes_).substr(line.nameBegin, line.nameLength);
}

std::string_view IniDocument::ValueOf(const Line& line) const {
  return std::string_view(bytes_).substr(line.valueBegin, line.valueLength);
}

const IniDocument::Section* IniDocument::FindSection(std::string_view section) const {
  const auto found = sectionIndex_.find(rules::MatchKey(rules::TrimNameParameter(section)));
  return found == sectionIndex_.end() ? nullptr : &sections_[found->second];
}

const IniDocument::Line* IniDocument::FindEntry(std::string_view section,
                                                std::string_view key) const {
  const Section* found = FindSection(section);
  if (found == nullptr) {
    return nullptr;
  }
  const auto entry = found->keys.find(rules::MatchKey(rules::TrimNameParameter(key)));
  return entry == found->keys.end() ? nullptr : &lines_[entry->second];
}

std::string IniDocument::ReadString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue) const {
  const Line* entry = FindEntry(section, key);
  return entry == nullptr ? rules::ReadableDefault(defaultValue)
                          : rules::FitToBuffer(ValueOf(*entry));
}

std::int32_t IniDocument::ReadInt(std::string_view section, std::string_view key,
                                  std::int32_t defaultValue) const {
  return rules::ReadableInteger(ReadString(section, key, {}), defaultValue);
}

std::vector<std::string> IniDocument::ReadKeyNames(std::string_view section) const {
  std::vector<std::string> names;
  const Section* found = FindSection(section);
  if (found == nullptr) {
    return names;
  }
  for (std::size_t i = found->header + 1; i < found->end; ++i) {
    const Line& line = lines_[i];
    if (rules::IsListedKey({line.kind, NameOf(line), {}})) {
      names.emplace_back(NameOf(line));
    }
  }
  return names;
}

DocumentEdit IniDocument::WithValue(std::string_view section, std::string_view key,
                                    std::string_view value) const {
  if (!rules::IsWritable(section, key, value)) {
    return {WriteStatus::kRefused, {}};
  }
  if (unicode_) {
    return {WriteStatus::kFailed, {}};
  }
  const std::string_view sectionName = rules::TrimNameParameter(section);
  const std::string_view keyName = rules::TrimNameParameter(key);
  const std::string_view all = bytes_;
  const std::string_view ending = rules::LineEndingOf(all);
  std::string out;
  out.reserve(all.size() + sectionName.size() + keyName.size() + value.size() + 8);

  const Section* found = FindSection(sectionName);
  if (found == nullptr) {
    out.append(all);
    if (!all.empty() && !EndsWithLineEnding(all)) {
      out.append(ending);
    }
    out.append(rules::NewHeaderLine(sectionName)).append(ending);
    out.append(rules::NewEntryLine(keyName, value)).append(ending);
    return {WriteStatus::kOk, std::move(out)};
  }

  const auto entry = found->keys.find(rules::MatchKey(keyName));
  if (entry != found->keys.end()) {
    // The key's line keeps its own ending; a last line without one gets the file's.
    const Line& line = lines_[entry->second];
    out.append(all.substr(0, line.begin));
    out.append(rules::ReplacedEntryLine(LineText(line), value));
    out.append(line.endingLength != 0 ? all.substr(line.begin + line.length, line.endingLength)
                                      : ending);
    out.append(all.substr(line.begin + line.length + line.endingLength));
    return {WriteStatus::kOk, std::move(out)};
  }

  const Line& before = lines_[found->insertAfter];
  const std::size_t split = before.begin + before.length + before.endingLength;
  out.append(all.substr(0, split));
  if (before.endingLength == 0) {
    out.append(ending);
  }
  out.append(rules::NewEntryLine(keyName, value)).append(ending);
  out.append(all.substr(split));
  return {WriteStatus::kOk, std::move(out)};
}

}  // namespace quillmere
