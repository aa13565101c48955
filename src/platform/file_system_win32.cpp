// The file services on Windows, through the ANSI file calls. Every write goes to disk before it
// counts: data is flushed before a rename makes it visible, and the rename writes through.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "platform/windows_api.h"
// windows.h maps these names to its own A/W functions; here they are the interface's methods.
#undef CopyFile
#undef ReplaceFile

namespace quillmere {
namespace {

// Closes a handle on every path out of a function.
class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() {
    if (valid()) {
      CloseHandle(handle_);
    }
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  [[nodiscard]] HANDLE get() const { return handle_; }
  [[nodiscard]] bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
  // Closes now and tells whether the close succeeded (a failed close can lose written data).
  bool Close() {
    const HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    return handle == INVALID_HANDLE_VALUE || CloseHandle(handle) != FALSE;
  }

 private:
  HANDLE handle_;
};

// Keeps a folder search open until the listing is done.
class FindHandle {
 public:
  explicit FindHandle(HANDLE handle) : handle_(handle) {}
  ~FindHandle() {
    if (valid()) {
      FindClose(handle_);
    }
  }
  FindHandle(const FindHandle&) = delete;
  FindHandle& operator=(const FindHandle&) = delete;
  [[nodiscard]] HANDLE get() const { return handle_; }
  [[nodiscard]] bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

// Windows counts file times in 100 ns steps from 1601; FileStamp counts nanoseconds from 1970,
// as the POSIX stamps and the system clock do.
std::int64_t NanosecondsSince1970(const FILETIME& time) {
  constexpr std::int64_t kStepsFrom1601To1970 = 116'444'736'000'000'000;
  const auto steps =
      static_cast<std::int64_t>((std::uint64_t{time.dwHighDateTime} << 32U) | time.dwLowDateTime);
  return (steps - kStepsFrom1601To1970) * 100;
}

bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1U << 20U));
    DWORD written = 0;
    if (WriteFile(file, bytes.data(), chunk, &written, nullptr) == FALSE || written == 0) {
      return false;
    }
    bytes.remove_prefix(written);
  }
  return true;
}

std::string FolderOrDot(const std::string& path) {
  const std::string folder = FolderOf(path);
  return folder == path ? std::string(".") : folder;
}

DWORD AttributesOf(const std::string& path) {
  return GetFileAttributesA(path.c_str());
}

// The reason for the last failed call, in the system's words.
FileOutcome FailedWithLastError() {
  return FileOutcome::Failed(SystemErrorText(static_cast<int>(GetLastError())));
}

class Win32FileSystem final : public FileSystem {
 public:
  std::optional<std::string> ExecutablePath() override {
    // The path can be longer than 260 characters; the buffer grows until it is not cut.
    std::string buffer(MAX_PATH, '\0');
    for (;;) {
      const DWORD length =
          GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
      if (length == 0) {
        return std::nullopt;
      }
      if (length < buffer.size()) {
        buffer.resize(length);
        return buffer;
      }
      if (buffer.size() >= 32768) {
        return std::nullopt;
      }
      buffer.resize(buffer.size() * 2);
    }
  }

  bool Exists(const std::string& path) override {
    return AttributesOf(path) != INVALID_FILE_ATTRIBUTES;
  }

  bool IsFolder(const std::string& path) override {
    const DWORD attributes = AttributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  }

  std::optional<std::vector<std::string>> ListFolder(const std::string& folder) override {
    WIN32_FIND_DATAA found{};
    const FindHandle search(FindFirstFileA(JoinPath(folder, "*.*").c_str(), &found));
    std::vector<std::string> names;
    if (!search.valid()) {
      // A drive's root holds no "." entry, so an empty one finds nothing at all.
      if (GetLastError() == ERROR_FILE_NOT_FOUND && IsFolder(folder)) {
        return names;
      }
      return std::nullopt;
    }
    // NTFS lists a folder in the order this tool promises; the listing's order is kept. The
    // folder's own entries are left out by name, wherever they come.
    do {
      const std::string_view name = found.cFileName;
      if (name != "." && name != "..") {
        names.emplace_back(name);
      }
    } while (FindNextFileA(search.get(), &found) != FALSE);
    if (GetLastError() != ERROR_NO_MORE_FILES) {
      return std::nullopt;
    }
    return names;
  }

  std::optional<std::string> ReadFile(const std::string& path) override {
    // A folder is never opened; anything opened that is no file on a disk (a device such as
    // CON or COM1, which any folder seems to hold, or a pipe) is not read.
    const DWORD attributes = AttributesOf(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      return std::nullopt;
    }
    const Handle file(CreateFileA(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
      return std::nullopt;
    }
    LARGE_INTEGER size{};
    if (GetFileType(file.get()) != FILE_TYPE_DISK || GetFileSizeEx(file.get(), &size) == FALSE ||
        size.QuadPart < 0 || static_cast<std::uint64_t>(size.QuadPart) > kLargestReadableFile) {
      return std::nullopt;
    }
    // One past the size reported, so that its end is seen without growing the buffer; a file
    // that proves longer is read on in steps, never past the bound.
    constexpr std::uint64_t kMost = kLargestReadableFile + 1;
    std::string bytes(static_cast<std::size_t>(size.QuadPart) + 1, '\0');
    std::size_t filled = 0;
    for (;;) {
      if (filled == bytes.size()) {
        if (filled >= kMost) {
          return std::nullopt;
        }
        bytes.resize(static_cast<std::size_t>(
            std::min<std::uint64_t>(kMost, std::max<std::uint64_t>(filled * 2, filled + 65536))));
      }
      const auto chunk =
          static_cast<DWORD>(std::min<std::size_t>(bytes.size() - filled, 1U << 20U));
      DWORD got = 0;
      if (::ReadFile(file.get(), bytes.data() + filled, chunk, &got, nullptr) == FALSE) {
        return std::nullopt;
      }
      if (got == 0) {
        break;
      }
      filled += got;
    }
    bytes.resize(filled);
    return bytes;
  }

  FileStamp Stamp(const std::string& path) override {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) == FALSE) {
      return {};
    }
    FileStamp stamp;
    stamp.exists = true;
    stamp.regular =
        (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
    stamp.size = (std::uint64_t{data.nFileSizeHigh} << 32U) | data.nFileSizeLow;
    stamp.modifiedNs = NanosecondsSince1970(data.ftLastWriteTime);
    // No change time here; a file put in place by a rename carries its own creation time.
    stamp.changedNs = NanosecondsSince1970(data.ftCreationTime);
    return stamp;
  }

  FileOutcome CopyFile(const std::string& from, const std::string& to) override {
    if (CopyFileA(from.c_str(), to.c_str(), FALSE) == FALSE) {
      return FailedWithLastError();
    }
    // The copy takes the source's attributes; a read-only copy could not take the key writes
    // that make it a new module.
    const DWORD attributes = AttributesOf(to);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0 &&
        SetFileAttributesA(to.c_str(), attributes & ~DWORD{FILE_ATTRIBUTE_READONLY}) == FALSE) {
      return FailedWithLastError();
    }
    Handle file(CreateFileA(to.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.valid() && FlushFileBuffers(file.get()) != FALSE && file.Close()) {
      return FileOutcome::Done();
    }
    return FailedWithLastError();
  }

  FileOutcome ReplaceFile(const std::string& path, std::string_view bytes) override {
    if (IsFolder(path)) {
      return FileOutcome::Failed(SystemErrorText(ERROR_ACCESS_DENIED));
    }
    const CreatedFile temporary = CreateUniqueFile(FolderOrDot(path), ".quillmere-");
    if (!temporary) {
      return FileOutcome::Failed(temporary.reason());
    }
    Handle file(CreateFileA(temporary->c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    const bool written = file.valid() && WriteAll(file.get(), bytes) &&
                         FlushFileBuffers(file.get()) != FALSE && file.Close();
    FileOutcome renamed = written ? RenameOver(*temporary, path) : FailedWithLastError();
    if (!renamed) {
      file.Close();
      DeleteFileA(temporary->c_str());
    }
    return renamed;
  }

  FileOutcome WriteFile(const std::string& path, std::string_view bytes) override {
    // Shared for deletion, so that the handler of a closing console can remove the staging file
    // while it is being written: it goes when this handle closes, at the latest when the
    // process ends. FILE_FLAG_OPEN_REPARSE_POINT: a link put in its place is not followed.
    Handle file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr,
                            TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT,
                            nullptr));
    if (file.valid() && WriteAll(file.get(), bytes) && FlushFileBuffers(file.get()) != FALSE &&
        file.Close()) {
      return FileOutcome::Done();
    }
    return FailedWithLastError();
  }

  CreatedFile CreateUniqueFile(const std::string& folder, std::string_view stem) override {
    static std::uint32_t attempt = 0;
    const std::uint32_t seed = GetCurrentProcessId() * 2654435761U ^ GetTickCount();
    for (int tries = 0; tries < 100; ++tries) {
      const std::uint32_t number = seed + ++attempt * 40503U;
      constexpr std::string_view kDigits = "0123456789abcdef";
      std::string name(stem);
      for (int shift = 28; shift >= 0; shift -= 4) {
        name.push_back(kDigits[(number >> static_cast<unsigned>(shift)) & 0xFU]);
      }
      const std::string path = JoinPath(folder, name);
      Handle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
      if (file.valid()) {
        if (!file.Close()) {
          FileOutcome failure = FailedWithLastError();
          DeleteFileA(path.c_str());
          return failure;
        }
        return path;
      }
      const DWORD error = GetLastError();
      if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
        return FileOutcome::Failed(SystemErrorText(static_cast<int>(error)));
      }
    }
    return FileOutcome::Failed(SystemErrorText(ERROR_FILE_EXISTS));
  }

  FileOutcome RenameOver(const std::string& from, const std::string& to) override {
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ==
        FALSE) {
      return FailedWithLastError();
    }
    return FileOutcome::Done();
  }

  bool RemoveFile(const std::string& path) override { return DeleteFileA(path.c_str()) != FALSE; }
};

}  // namespace

std::string SystemErrorText(int error) {
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(error), 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string reason = length == 0 ? "error " + std::to_string(error) : std::string(text, length);
  LocalFree(text);
  // The system's text ends in a full stop and a line break.
  while (!reason.empty() &&
         (reason.back() == '\n' || reason.back() == '\r' || reason.back() == '.')) {
    reason.pop_back();
  }
  return reason;
}

FileSystem& RealFileSystem() {
  static Win32FileSystem files;
  return files;
}

}  // namespace quillmere
