#include "platform/portable_profile_store.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/file_system.h"
#include "platform/ini_document.h"
#include "platform/profile_rules.h"

namespace quillmere {
namespace {

// File systems keep modification times in steps (a clock tick of a few milliseconds on Linux
// file systems, 2 seconds on FAT), so a file rewritten in place with the same size within one
// step keeps its stamp. Until a file's last change lies this far back, an operation compares the
// file's bytes with the parsed copy too; after that, any change shows in the stamp.
constexpr std::int64_t kStampStepNs = 2'500'000'000;

// How much of a file a lone read of it looks at first.
constexpr std::size_t kStartBytes = 4096;

// Enough for a derivation (the base file and the new one) and a few more. A catalogue scan reads
// one key of many files; each is dropped again once eight newer ones came.
constexpr std::size_t kCachedFiles = 8;

// Nanoseconds since 1970, the count FileStamp's modification times use.
std::int64_t NowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

// Whether the stamp alone tells that a file changed since it was read: only once its last change
// lies more than a clock step back. Until then a change may keep the stamp, and the next
// operation compares the file's bytes with the parsed copy.
enum class StampTrust { kRecentChange, kSettled };

// Documents are shared with the views made of them and never changed once cached: a write makes
// a new one. So a view keeps its version however the cache moves on.
using SharedDocument = std::shared_ptr<const IniDocument>;

struct CachedFile {
  std::string path;
  FileStamp stamp;
  StampTrust trust = StampTrust::kRecentChange;
  SharedDocument document;
  std::uint64_t lastUse = 0;
};

class PortableProfileStore final : public ProfileStore {
 public:
  explicit PortableProfileStore(FileSystem& files) : files_(files) {}

  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view defaultValue, const std::string& path) override {
    if (Find(path) == nullptr) {
      // A lone read of a file not held reads its start first, which decides most answers
      // (Module_Name at the top, for a scan of many files); then the rest is neither read nor
      // kept. A file that fits in the start is kept as any read keeps it.
      const std::int64_t checkedAt = NowNs();
      std::optional<StampedBytes> start = files_.ReadStampedFile(path, kStartBytes);
      if (!start) {
        return MissingFile()->ReadString(section, key, defaultValue);
      }
      if (start->bytes.size() >= start->stamp.size) {
        return Keep(path, std::move(*start), checkedAt)->ReadString(section, key, defaultValue);
      }
      if (std::optional<std::string> answer =
              IniDocument::ReadStringFromStart(start->bytes, section, key, defaultValue)) {
        return *answer;
      }
    }
    return Current(path)->ReadString(section, key, defaultValue);
  }

  std::int32_t ReadInt(std::string_view section, std::string_view key, std::int32_t defaultValue,
                       const std::string& path) override {
    return Current(path)->ReadInt(section, key, defaultValue);
  }

  std::vector<std::string> ReadKeyNames(std::string_view section,
                                        const std::string& path) override {
    return Current(path)->ReadKeyNames(section);
  }

  std::shared_ptr<const ProfileView> View(const std::string& path) override {
    return Current(path);
  }

  WriteStatus WriteString(std::string_view section, std::string_view key, std::string_view value,
                          const std::string& path) override {
    if (!profile_rules::IsWritable(section, key, value)) {
      return WriteStatus::kRefused;
    }
    // A write never builds on the parsed copy alone: the file's bytes are read again, so an
    // outside change that left the stamp alike is kept, not overwritten.
    const FileStamp stamp = files_.Stamp(path);
    std::optional<std::string> bytes = stamp.exists ? files_.ReadFile(path) : std::string();
    if (!bytes) {
      Forget(path);
      return WriteStatus::kFailed;  // a file that cannot be read is never replaced
    }
    CachedFile& entry = Refresh(path, stamp, std::move(*bytes), StampTrust::kRecentChange);
    DocumentEdit edit = entry.document->WithValue(section, key, value);
    if (edit.status != WriteStatus::kOk) {
      return edit.status;
    }
    if (stamp.exists && edit.bytes == entry.document->Bytes()) {
      return WriteStatus::kOk;  // the file already says so; it is left untouched
    }
    if (!files_.ReplaceFile(path, edit.bytes)) {
      Forget(path);
      return WriteStatus::kFailed;
    }
    entry.document = std::make_shared<const IniDocument>(std::move(edit.bytes));
    entry.stamp = files_.Stamp(path);
    entry.trust = StampTrust::kRecentChange;
    return WriteStatus::kOk;
  }

 private:
  // The parsed file as it is on disk now; an empty document when it is missing or unreadable.
  SharedDocument Current(const std::string& path) {
    const std::int64_t checkedAt = NowNs();
    // A file held already is looked at first, and read again only when it may have changed; any
    // other is read at once, its stamp taken with its bytes.
    if (const CachedFile* cached = Find(path); cached != nullptr) {
      const FileStamp stamp = files_.Stamp(path);
      if (!stamp.exists) {
        Forget(path);
        return MissingFile();
      }
      if (cached->trust == StampTrust::kSettled && cached->stamp == stamp) {
        return cached->document;
      }
    }
    std::optional<StampedBytes> read = files_.ReadStampedFile(path, kWholeFile);
    if (!read) {
      Forget(path);
      return MissingFile();
    }
    return Keep(path, std::move(*read), checkedAt);
  }

  // The file as just read, kept; `checkedAt` was taken before reading, so that a change made
  // after reading gets a later time.
  SharedDocument Keep(const std::string& path, StampedBytes read, std::int64_t checkedAt) {
    const StampTrust trust = checkedAt - read.stamp.modifiedNs > kStampStepNs
                                 ? StampTrust::kSettled
                                 : StampTrust::kRecentChange;
    return Refresh(path, read.stamp, std::move(read.bytes), trust).document;
  }

  // The cache entry for `path` holding `bytes`, parsed again only when they changed.
  CachedFile& Refresh(const std::string& path, const FileStamp& stamp, std::string bytes,
                      StampTrust trust) {
    CachedFile* entry = Find(path);
    if (entry == nullptr) {
      entry = &Insert(path);
    }
    if (entry->document == nullptr || entry->document->Bytes() != bytes) {
      entry->document = std::make_shared<const IniDocument>(std::move(bytes));
    }
    entry->stamp = stamp;
    entry->trust = trust;
    return *entry;
  }

  CachedFile* Find(const std::string& path) {
    const auto found = std::find_if(cache_.begin(), cache_.end(),
                                    [&](const CachedFile& entry) { return entry.path == path; });
    if (found == cache_.end()) {
      return nullptr;
    }
    found->lastUse = ++uses_;
    return &*found;
  }

  CachedFile& Insert(const std::string& path) {
    if (cache_.size() >= kCachedFiles) {
      cache_.erase(std::min_element(
          cache_.begin(), cache_.end(),
          [](const CachedFile& a, const CachedFile& b) { return a.lastUse < b.lastUse; }));
    }
    CachedFile& entry = cache_.emplace_back();
    entry.path = path;
    entry.lastUse = ++uses_;
    return entry;
  }

  void Forget(const std::string& path) {
    std::erase_if(cache_, [&](const CachedFile& entry) { return entry.path == path; });
  }

  static SharedDocument MissingFile() {
    static const SharedDocument missing = std::make_shared<const IniDocument>();
    return missing;
  }

  FileSystem& files_;
  std::vector<CachedFile> cache_;
  std::uint64_t uses_ = 0;
};

}  // namespace

std::unique_ptr<ProfileStore> MakePortableProfileStore(FileSystem& files) {
  return std::make_unique<PortableProfileStore>(files);
}

}  // namespace quillmere
