// A profile store over files held in memory: the reads and writes of the portable store, by the
// same document rules, on bytes that never touch the disk until a caller takes them. A derivation
// writes its new module here and puts it on disk in one step, whole; a caller can as well show
// what would be written (the bytes before and after) without writing anything.
//
// A path the store holds no file for reads as a missing file does, and a write there creates
// it. A view keeps the version of the file it was made of, as the portable store's views do.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/profile_store.h"

namespace quillmere {

class IniDocument;

class MemoryProfileStore final : public ProfileStore {
 public:
  MemoryProfileStore();
  ~MemoryProfileStore() override;

  // Holds `bytes` as the file at `path`, in place of what the store held there.
  void Put(const std::string& path, std::string bytes);

  // Holds the file at `from` at `to` as well, as a copy of the file would; false when the store
  // holds no file at `from`. Copying a file onto itself changes nothing.
  bool Copy(const std::string& from, const std::string& to);

  // The bytes of the file at `path`, valid until the next write or Put there; none when the
  // store holds no file there.
  [[nodiscard]] std::optional<std::string_view> Bytes(const std::string& path) const;

  [[nodiscard]] std::string ReadString(std::string_view section, std::string_view key,
                                       std::string_view defaultValue,
                                       const std::string& path) override;
  [[nodiscard]] std::int32_t ReadInt(std::string_view section, std::string_view key,
                                     std::int32_t defaultValue, const std::string& path) override;
  [[nodiscard]] WriteStatus WriteString(std::string_view section, std::string_view key,
                                        std::string_view value, const std::string& path) override;
  [[nodiscard]] std::vector<std::string> ReadKeyNames(std::string_view section,
                                                      const std::string& path) override;
  [[nodiscard]] std::shared_ptr<const ProfileView> View(const std::string& path) override;

 private:
  [[nodiscard]] const IniDocument& Document(const std::string& path) const;

  // A file's document is changed in place by a write, unless a view still holds it: then the
  // write goes to a copy, and the view keeps what it saw.
  std::map<std::string, std::shared_ptr<IniDocument>, std::less<>> files_;
};

}  // namespace quillmere
