// A file system double over the real one: it can pretend the executable lies elsewhere or that
// stamps are coarse, and it fails a chosen call (the n-th copy, replace, create, rename, read or
// listing) the way a full disk or a folder standing in the way would, without touching the disk
// for that call. Tests run as root in CI, where permission bits stop nothing, so failures are
// injected here.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "platform/file_system.h"

namespace quillmere::testing {

class FaultyFileSystem final : public FileSystem {
 public:
  // kFlush fails a WriteFile after its bytes reached the file, as a flush that fails does.
  enum class Operation { kCopy, kReplace, kCreateUnique, kRename, kRead, kList, kWrite, kFlush };

  // The `nth` call (counting from 1) of `operation` from now on fails.
  void FailOn(Operation operation, int nth = 1) { failAt_[operation] = calls_[operation] + nth; }
  void ClearFailures() { failAt_.clear(); }
  [[nodiscard]] int Calls(Operation operation) { return calls_[operation]; }

  std::optional<std::string> executablePath;  // when set, ExecutablePath() gives this
  // When set, every stamp carries this time, as on a file system whose clock steps are coarse:
  // a rewrite in place with the same size then leaves the stamp alike.
  std::optional<std::int64_t> stampTimeNs;

  std::optional<std::string> ExecutablePath() override {
    return executablePath ? executablePath : real_.ExecutablePath();
  }
  bool Exists(const std::string& path) override { return real_.Exists(path); }
  bool IsFolder(const std::string& path) override { return real_.IsFolder(path); }
  std::optional<std::vector<std::string>> ListFolder(const std::string& folder) override {
    return Fails(Operation::kList) ? std::nullopt : real_.ListFolder(folder);
  }
  std::optional<std::string> ReadFile(const std::string& path) override {
    return Fails(Operation::kRead) ? std::nullopt : real_.ReadFile(path);
  }
  FileStamp Stamp(const std::string& path) override {
    FileStamp stamp = real_.Stamp(path);
    if (stampTimeNs) {
      stamp.modifiedNs = stamp.changedNs = *stampTimeNs;
    }
    return stamp;
  }
  FileOutcome CopyFile(const std::string& from, const std::string& to) override {
    return Fails(Operation::kCopy) ? Injected() : real_.CopyFile(from, to);
  }
  FileOutcome ReplaceFile(const std::string& path, std::string_view bytes) override {
    return Fails(Operation::kReplace) ? Injected() : real_.ReplaceFile(path, bytes);
  }
  FileOutcome WriteFile(const std::string& path, std::string_view bytes) override {
    if (Fails(Operation::kWrite)) {
      return Injected();
    }
    FileOutcome written = real_.WriteFile(path, bytes);
    return written && Fails(Operation::kFlush) ? Injected() : written;
  }
  CreatedFile CreateUniqueFile(const std::string& folder, std::string_view stem) override {
    return Fails(Operation::kCreateUnique) ? Injected() : real_.CreateUniqueFile(folder, stem);
  }
  FileOutcome RenameOver(const std::string& from, const std::string& to) override {
    return Fails(Operation::kRename) ? Injected() : real_.RenameOver(from, to);
  }

  // The reason an injected failure gives, as a full disk would.
  static FileOutcome Injected() { return FileOutcome::Failed("No space left on device"); }
  bool RemoveFile(const std::string& path) override { return real_.RemoveFile(path); }

 private:
  bool Fails(Operation operation) { return failAt_[operation] == ++calls_[operation]; }

  FileSystem& real_ = RealFileSystem();
  std::map<Operation, int> calls_;
  std::map<Operation, int> failAt_;  // 0: no failure
};

}  // namespace quillmere::testing
