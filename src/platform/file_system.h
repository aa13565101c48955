// File services: the few file calls the tool makes, behind one interface so that tests can stand
// in for the disk (a different executable folder, injected failures).
//
// Paths use the platform's separator. No path is ever cut to fit 259 characters: a cut path
// would name another file.
//
// Only regular files are read, symbolic links followed to them: a named pipe, a device, a socket
// or a folder called like a module file or a module library reads as unreadable, and is never
// opened in a way that could wait. Every read is bounded before it starts (kLargestReadableFile).
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillmere {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// "%s\%s" with the platform's separator.
[[nodiscard]] std::string JoinPath(std::string_view folder, std::string_view name);

// The text before the last separator (the separator dropped); the whole path when it has none.
[[nodiscard]] std::string FolderOf(std::string_view path);

// The text after the last separator; the whole path when it has none.
[[nodiscard]] std::string FileNameOf(std::string_view path);

// Module files are kilobytes and module libraries a few hundred; no file this tool reads comes
// near this. A larger file is refused unread, and a read stops here whatever size the system
// reports (a device reports 0), so no file can make a read exhaust memory.
inline constexpr std::uint64_t kLargestReadableFile = std::uint64_t{64} * 1024 * 1024;

// What identifies one version of a file on disk, so a cached parse can tell it went stale.
struct FileStamp {
  bool exists = false;
  bool regular = false;  // a regular file (a symbolic link followed): the only kind ever read
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::uint64_t size = 0;
  std::int64_t modifiedNs = 0;
  std::int64_t changedNs = 0;
  friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// As many bytes as a file has: ReadStampedFile's `most` for a whole file.
inline constexpr std::size_t kWholeFile = std::numeric_limits<std::size_t>::max();

// A file's bytes with the stamp of the version they were read from.
struct StampedBytes {
  std::string bytes;
  FileStamp stamp;
};

// The outcome of a file call that changes the disk: done, or the reason the system gave for not
// doing it (strerror's or FormatMessage's words, in the system's text), carried up to the
// message the user sees.
class FileOutcome {
 public:
  [[nodiscard]] static FileOutcome Done() { return {true, {}}; }
  [[nodiscard]] static FileOutcome Failed(std::string reason) { return {false, std::move(reason)}; }
  [[nodiscard]] explicit operator bool() const { return done_; }
  [[nodiscard]] const std::string& reason() const { return reason_; }

 private:
  FileOutcome(bool done, std::string reason) : done_(done), reason_(std::move(reason)) {}
  bool done_;
  std::string reason_;
};

// A file made by CreateUniqueFile: its path, or the reason it could not be made.
class CreatedFile {
 public:
  // Implicit, so that a function gives either as its result.
  CreatedFile(std::string path) : path_(std::move(path)) {}
  CreatedFile(const FileOutcome& failure) : reason_(failure.reason()) {}
  [[nodiscard]] explicit operator bool() const { return path_.has_value(); }
  [[nodiscard]] const std::string& operator*() const { return *path_; }
  [[nodiscard]] const std::string* operator->() const { return &*path_; }
  [[nodiscard]] const std::string& reason() const { return reason_; }

 private:
  std::optional<std::string> path_;
  std::string reason_;
};

// The system's words for the error number `error` (errno; GetLastError on Windows).
[[nodiscard]] std::string SystemErrorText(int error);

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  FileSystem() = default;
  FileSystem(const FileSystem&) = delete;
  FileSystem& operator=(const FileSystem&) = delete;

  // The running executable's full path (GetModuleFileNameA; /proc/self/exe).
  [[nodiscard]] virtual std::optional<std::string> ExecutablePath() = 0;

  // True when an entry, file or folder, stands at `path` (a file-find on a full path).
  [[nodiscard]] virtual bool Exists(const std::string& path) = 0;

  // True when `path` is a folder (a file-find on "folder\*.*" finds its "." entry).
  [[nodiscard]] virtual bool IsFolder(const std::string& path) = 0;

  // The names of the folder's entries, "." and ".." left out, in the order Windows shows an NTFS
  // folder (names compared ignoring case, then byte by byte), the same order on every run.
  // None when the folder cannot be listed.
  [[nodiscard]] virtual std::optional<std::vector<std::string>> ListFolder(
      const std::string& folder) = 0;

  // The file's bytes, or none when it cannot be read (absent, no regular file, larger than
  // kLargestReadableFile, no permission). Read to the file's end, not to the size the system
  // reports, which some file systems get wrong; never past kLargestReadableFile.
  [[nodiscard]] virtual std::optional<std::string> ReadFile(const std::string& path) = 0;

  [[nodiscard]] virtual FileStamp Stamp(const std::string& path) = 0;

  // ReadFile and Stamp in one, the bytes read up to `most` of them (the stamp's size tells the
  // whole file's): none when the file is missing or cannot be read. This base class asks for the
  // stamp, then the bytes; a file system that can takes both from one opening.
  [[nodiscard]] virtual std::optional<StampedBytes> ReadStampedFile(const std::string& path,
                                                                    std::size_t most);

  // Copies the exact bytes of `from` to `to`, overwriting `to`, and flushes them to disk.
  [[nodiscard]] virtual FileOutcome CopyFile(const std::string& from, const std::string& to) = 0;

  // Replaces (or creates) `path` with `bytes` as one step: a temporary file in the same folder is
  // written, flushed and renamed over `path`. On failure `path` is as it was and no temporary
  // file is left.
  [[nodiscard]] virtual FileOutcome ReplaceFile(const std::string& path,
                                                std::string_view bytes) = 0;

  // Writes `bytes` into the existing file `path` (one CreateUniqueFile made), in place of what it
  // held, and flushes them to disk. On failure the file may hold part of them. A symbolic link
  // standing at `path` is not followed. While it is being written, the file can be removed (by
  // a handler of an interrupt) on every platform.
  [[nodiscard]] virtual FileOutcome WriteFile(const std::string& path, std::string_view bytes) = 0;

  // Creates a new empty file with a name of its own in `folder`, starting with `stem` and not
  // ending in ".ini", and gives its path.
  [[nodiscard]] virtual CreatedFile CreateUniqueFile(const std::string& folder,
                                                     std::string_view stem) = 0;

  // Renames `from` onto `to` in one step, replacing `to` if it exists, and flushes the folder.
  [[nodiscard]] virtual FileOutcome RenameOver(const std::string& from, const std::string& to) = 0;

  // Removes a file; false when it could not be removed.
  virtual bool RemoveFile(const std::string& path) = 0;
};

// Why `files` cannot read `path`, in words for the user: absent, no regular file, or too large;
// "it cannot be read" when a look at it does not tell.
[[nodiscard]] std::string UnreadableReason(FileSystem& files, const std::string& path);

// The file system of this machine.
[[nodiscard]] FileSystem& RealFileSystem();

}  // namespace quillmere
