#include "platform/memory_profile_store.h"

#include <utility>

#include "platform/ini_document.h"

namespace quillmere {
namespace {

const IniDocument& MissingFile() {
  static const IniDocument missing;
  return missing;
}

}  // namespace

MemoryProfileStore::MemoryProfileStore() = default;
MemoryProfileStore::~MemoryProfileStore() = default;

void MemoryProfileStore::Put(const std::string& path, std::string bytes) {
  files_[path] = std::make_shared<IniDocument>(std::move(bytes));
}

bool MemoryProfileStore::Copy(const std::string& from, const std::string& to) {
  const auto found = files_.find(from);
  if (found == files_.end()) {
    return false;
  }
  if (from != to) {
    files_[to] = std::make_shared<IniDocument>(*found->second);
  }
  return true;
}

std::optional<std::string_view> MemoryProfileStore::Bytes(const std::string& path) const {
  const auto found = files_.find(path);
  if (found == files_.end()) {
    return std::nullopt;
  }
  return std::string_view(found->second->Bytes());
}

const IniDocument& MemoryProfileStore::Document(const std::string& path) const {
  const auto found = files_.find(path);
  return found == files_.end() ? MissingFile() : *found->second;
}

std::string MemoryProfileStore::ReadString(std::string_view section, std::string_view key,
                                           std::string_view defaultValue, const std::string& path) {
  return Document(path).ReadString(section, key, defaultValue);
}

std::int32_t MemoryProfileStore::ReadInt(std::string_view section, std::string_view key,
                                         std::int32_t defaultValue, const std::string& path) {
  return Document(path).ReadInt(section, key, defaultValue);
}

std::vector<std::string> MemoryProfileStore::ReadKeyNames(std::string_view section,
                                                          const std::string& path) {
  return Document(path).ReadKeyNames(section);
}

std::shared_ptr<const ProfileView> MemoryProfileStore::View(const std::string& path) {
  const auto found = files_.find(path);
  if (found == files_.end()) {
    return std::make_shared<const IniDocument>();
  }
  return found->second;
}

WriteStatus MemoryProfileStore::WriteString(std::string_view section, std::string_view key,
                                            std::string_view value, const std::string& path) {
  const auto found = files_.find(path);
  if (found == files_.end()) {
    // A missing file is created by a write that is made, and only then.
    auto created = std::make_shared<IniDocument>();
    const WriteStatus status = created->WriteValue(section, key, value);
    if (status == WriteStatus::kOk) {
      files_.emplace(path, std::move(created));
    }
    return status;
  }
  std::shared_ptr<IniDocument>& document = found->second;
  if (document.use_count() > 1) {
    document = std::make_shared<IniDocument>(*document);
  }
  return document->WriteValue(section, key, value);
}

}  // namespace quillmere
