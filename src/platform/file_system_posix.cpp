// The file services on POSIX systems. Every write goes to disk before it counts: data is
// flushed before a rename makes it visible, and the folder is flushed after.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstring>
#include <utility>

#include "platform/file_system.h"
#include "platform/text.h"

namespace quillmere {
namespace {

// Closes a descriptor on every path out of a function.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) {
      ::close(fd_);
    }
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  [[nodiscard]] int get() const { return fd_; }
  [[nodiscard]] bool valid() const { return fd_ >= 0; }
  // Closes now and tells whether the close succeeded (a failed close can lose written data).
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return fd < 0 || ::close(fd) == 0;
  }

 private:
  int fd_;
};

// The reason for the last failed call, in the system's words.
FileOutcome FailedWithErrno() {
  return FileOutcome::Failed(SystemErrorText(errno));
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) {
        continue;
      }
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

bool FlushFolder(const std::string& folder) {
  Descriptor dir(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY));
  return dir.valid() && ::fsync(dir.get()) == 0;
}

std::string FolderOrDot(const std::string& path) {
  const std::string folder = FolderOf(path);
  return folder == path ? std::string(".") : folder;
}

// The permission bits a file created by an ordinary open() gets under the current umask.
mode_t DefaultFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return static_cast<mode_t>(0666 & ~mask);
}

// Orders names as Windows lists an NTFS folder: NTFS compares names upper-cased, so "_" (0x5F)
// sorts after every letter ("EpsonTM88.ini" before "Epson_1.ini"); names equal but for case
// follow in byte order, so the order is the same on every run. Each name is upper-cased once.
void SortInNtfsOrder(std::vector<std::string>& names) {
  std::vector<std::pair<std::string, std::string>> keyed;
  keyed.reserve(names.size());
  for (std::string& name : names) {
    std::string upper = name;
    for (char& c : upper) {
      c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    keyed.emplace_back(std::move(upper), std::move(name));
  }
  // std::string compares its bytes as unsigned, as NTFS does.
  std::sort(keyed.begin(), keyed.end());
  for (std::size_t i = 0; i < keyed.size(); ++i) {
    names[i] = std::move(keyed[i].second);
  }
}

FileStamp StampOf(const struct stat& info) {
  FileStamp stamp;
  stamp.exists = true;
  stamp.regular = S_ISREG(info.st_mode);
  stamp.device = static_cast<std::uint64_t>(info.st_dev);
  stamp.inode = static_cast<std::uint64_t>(info.st_ino);
  stamp.size = static_cast<std::uint64_t>(info.st_size);
  stamp.modifiedNs =
      static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
  stamp.changedNs =
      static_cast<std::int64_t>(info.st_ctim.tv_sec) * 1'000'000'000 + info.st_ctim.tv_nsec;
  return stamp;
}

// Only a regular file within the bound is read.
bool IsReadable(const struct stat& info) {
  return S_ISREG(info.st_mode) && static_cast<std::uint64_t>(info.st_size) <= kLargestReadableFile;
}

// Reads `fd` to its end, but no more than `most` bytes. The buffer is first sized one past the
// size the system reports, so that a file of that size is read in one buffer and its end is seen
// without growing it; a file that proves longer (a size reported wrong, a file growing meanwhile)
// is read on in steps.
std::optional<std::string> ReadBounded(int fd, std::size_t reportedSize, std::uint64_t most) {
  constexpr std::size_t kStep = std::size_t{64} * 1024;
  std::string bytes(static_cast<std::size_t>(std::min<std::uint64_t>(reportedSize + 1U, most)),
                    '\0');
  std::size_t filled = 0;
  for (;;) {
    if (filled == bytes.size()) {
      if (filled >= most) {
        break;
      }
      bytes.resize(static_cast<std::size_t>(
          std::min<std::uint64_t>(most, std::max(filled * 2, filled + kStep))));
    }
    const ssize_t got = ::read(fd, bytes.data() + filled, bytes.size() - filled);
    if (got < 0) {
      if (errno == EINTR) {
        continue;
      }
      return std::nullopt;
    }
    if (got == 0) {
      break;
    }
    filled += static_cast<std::size_t>(got);
  }
  bytes.resize(filled);
  return bytes;
}

class PosixFileSystem final : public FileSystem {
 public:
  std::optional<std::string> ExecutablePath() override {
    std::array<char, PATH_MAX> buffer{};
    const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (length <= 0) {
      return std::nullopt;
    }
    return std::string(buffer.data(), static_cast<std::size_t>(length));
  }

  bool Exists(const std::string& path) override {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
  }

  bool IsFolder(const std::string& path) override {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
  }

  std::optional<std::vector<std::string>> ListFolder(const std::string& folder) override {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
      return std::nullopt;
    }
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(dir)) {
      const std::string_view name = entry->d_name;
      if (name != "." && name != "..") {
        names.emplace_back(name);
      }
    }
    ::closedir(dir);
    SortInNtfsOrder(names);
    return names;
  }

  std::optional<std::string> ReadFile(const std::string& path) override {
    std::optional<StampedBytes> read = ReadStampedFile(path, kWholeFile);
    if (!read) {
      return std::nullopt;
    }
    return std::move(read->bytes);
  }

  FileStamp Stamp(const std::string& path) override {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
      return {};
    }
    return StampOf(info);
  }

  std::optional<StampedBytes> ReadStampedFile(const std::string& path, std::size_t most) override {
    // Looked at before it is opened: a named pipe called like a module file would wait for a
    // writer that never comes, and opening a device can act on it.
    struct stat named {};
    if (::stat(path.c_str(), &named) != 0 || !IsReadable(named)) {
      return std::nullopt;
    }
    // What is opened is looked at again, since something else may stand at the path by now;
    // O_NONBLOCK keeps even that open from waiting.
    Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    struct stat info {};
    if (!file.valid() || ::fstat(file.get(), &info) != 0 || !IsReadable(info)) {
      return std::nullopt;
    }
    const bool whole = most == kWholeFile;
    std::optional<std::string> bytes = ReadBounded(
        file.get(), static_cast<std::size_t>(info.st_size),
        whole ? kLargestReadableFile + 1 : std::min<std::uint64_t>(most, kLargestReadableFile));
    if (!bytes || (whole && bytes->size() > kLargestReadableFile)) {
      return std::nullopt;
    }
    return StampedBytes{std::move(*bytes), StampOf(info)};
  }

  FileOutcome CopyFile(const std::string& from, const std::string& to) override {
    const std::optional<std::string> bytes = ReadFile(from);
    if (!bytes) {
      return FailedWithErrno();
    }
    Descriptor target(::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (target.valid() && WriteAll(target.get(), *bytes) && ::fsync(target.get()) == 0 &&
        target.Close()) {
      return FileOutcome::Done();
    }
    return FailedWithErrno();
  }

  FileOutcome ReplaceFile(const std::string& path, std::string_view bytes) override {
    struct stat original {};
    const bool existed = ::stat(path.c_str(), &original) == 0;
    if (existed && S_ISDIR(original.st_mode)) {
      return FileOutcome::Failed(SystemErrorText(EISDIR));
    }
    const CreatedFile temporary = CreateUniqueFile(FolderOrDot(path), ".quillmere-");
    if (!temporary) {
      return FileOutcome::Failed(temporary.reason());
    }
    const mode_t mode = existed ? (original.st_mode & 07777) : DefaultFileMode();
    Descriptor file(::open(temporary->c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOFOLLOW));
    const bool written = file.valid() && ::fchmod(file.get(), mode) == 0 &&
                         WriteAll(file.get(), bytes) && ::fsync(file.get()) == 0 && file.Close();
    if (!written || ::rename(temporary->c_str(), path.c_str()) != 0) {
      FileOutcome failure = FailedWithErrno();
      ::unlink(temporary->c_str());
      return failure;
    }
    FlushFolder(FolderOrDot(path));
    return FileOutcome::Done();
  }

  FileOutcome WriteFile(const std::string& path, std::string_view bytes) override {
    Descriptor file(::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOFOLLOW));
    if (file.valid() && WriteAll(file.get(), bytes) && ::fsync(file.get()) == 0 && file.Close()) {
      return FileOutcome::Done();
    }
    return FailedWithErrno();
  }

  CreatedFile CreateUniqueFile(const std::string& folder, std::string_view stem) override {
    std::string pattern = JoinPath(folder, stem);
    pattern += "XXXXXX";
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) {
      return FailedWithErrno();
    }
    Descriptor file(fd);
    if (::fchmod(fd, DefaultFileMode()) != 0 || !file.Close()) {
      FileOutcome failure = FailedWithErrno();
      ::unlink(pattern.c_str());
      return failure;
    }
    return pattern;
  }

  FileOutcome RenameOver(const std::string& from, const std::string& to) override {
    if (::rename(from.c_str(), to.c_str()) != 0) {
      return FailedWithErrno();
    }
    FlushFolder(FolderOrDot(to));
    return FileOutcome::Done();
  }

  bool RemoveFile(const std::string& path) override { return ::unlink(path.c_str()) == 0; }
};

}  // namespace

std::string SystemErrorText(int error) {
  return std::strerror(error);
}

FileSystem& RealFileSystem() {
  static PosixFileSystem files;
  return files;
}

}  // namespace quillmere
