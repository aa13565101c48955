// A file system double over the real one: it can pretend the executable lies elsewhere or that
// stamps are coarse, and it fails a chosen operation (the n-th of a kind, or the n-th of any
// kind) the way a full disk or a folder standing in the way would: a failed write leaves half
// its bytes, a failed flush all of them, anything else fails before touching the disk. Tests
// run as root in CI, where permission bits stop nothing, so failures are injected here.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace quillmere::testing {

class FaultyFileSystem final : public FileSystem {
 public:
  // A read is an open and a read; a WriteFile an open, a write and a flush.
  enum class Operation {
    kCopy,
    kReplace,
    kCreateUnique,
    kRename,
    kRead,
    kList,
    kWrite,
    kFlush,
    kOpen,
    kRemove
  };

  // The `nth` call (counting from 1) of `operation` from now on fails.
  void FailOn(Operation operation, int nth = 1) { failAt_[operation] = calls_[operation] + nth; }
  // The `nth` operation of any kind from now on fails.
  void FailOnAny(int nth) { failAtAny_ = static_cast<int>(log_.size()) + nth; }
  void ClearFailures() {
    failAt_.clear();
    failAtAny_ = 0;
  }
  [[nodiscard]] int Calls(Operation operation) { return calls_[operation]; }
  // Every operation so far, in order, with the path it was on.
  struct Logged {
    Operation operation;
    std::string path;
  };
  [[nodiscard]] const std::vector<Logged>& log() const { return log_; }

  std::optional<std::string> executablePath;  // when set, ExecutablePath() gives this
  // When set, every stamp carries this time, as on a file system whose clock steps are coarse:
  // a rewrite in place with the same size then leaves the stamp alike.
  std::optional<std::int64_t> stampTimeNs;
  // When set, runs as each WriteFile starts, on the file to be written (a test stalls there).
  std::function<void(const std::string&)> onWrite;
  // When set, this operation throws std::bad_alloc instead of failing, as running out of memory
  // there would.
  std::optional<Operation> throwsOutOfMemory;

  std::optional<std::string> ExecutablePath() override {
    return executablePath ? executablePath : real_.ExecutablePath();
  }
  bool Exists(const std::string& path) override { return real_.Exists(path); }
  bool IsFolder(const std::string& path) override { return real_.IsFolder(path); }
  std::optional<std::vector<std::string>> ListFolder(const std::string& folder) override {
    return Fails(Operation::kList, folder) ? std::nullopt : real_.ListFolder(folder);
  }
  std::optional<std::string> ReadFile(const std::string& path) override {
    return Fails(Operation::kOpen, path) || Fails(Operation::kRead, path) ? std::nullopt
                                                                          : real_.ReadFile(path);
  }
  FileStamp Stamp(const std::string& path) override {
    FileStamp stamp = real_.Stamp(path);
    if (stampTimeNs) {
      stamp.modifiedNs = stamp.changedNs = *stampTimeNs;
    }
    return stamp;
  }
  FileOutcome CopyFile(const std::string& from, const std::string& to) override {
    return Fails(Operation::kCopy, to) ? Injected() : real_.CopyFile(from, to);
  }
  FileOutcome ReplaceFile(const std::string& path, std::string_view bytes) override {
    return Fails(Operation::kReplace, path) ? Injected() : real_.ReplaceFile(path, bytes);
  }
  FileOutcome WriteFile(const std::string& path, std::string_view bytes) override {
    if (onWrite) {
      onWrite(path);
    }
    if (Fails(Operation::kOpen, path)) {
      return Injected();
    }
    if (Fails(Operation::kWrite, path)) {
      (void)real_.WriteFile(path, bytes.substr(0, bytes.size() / 2));
      return Injected();
    }
    FileOutcome written = real_.WriteFile(path, bytes);
    return written && Fails(Operation::kFlush, path) ? Injected() : written;
  }
  CreatedFile CreateUniqueFile(const std::string& folder, std::string_view stem) override {
    return Fails(Operation::kCreateUnique, folder) ? Injected()
                                                   : real_.CreateUniqueFile(folder, stem);
  }
  FileOutcome RenameOver(const std::string& from, const std::string& to) override {
    return Fails(Operation::kRename, to) ? Injected() : real_.RenameOver(from, to);
  }
  bool RemoveFile(const std::string& path) override {
    return !Fails(Operation::kRemove, path) && real_.RemoveFile(path);
  }

  // The reason an injected failure gives, as a full disk would.
  static FileOutcome Injected() { return FileOutcome::Failed("No space left on device"); }

 private:
  bool Fails(Operation operation, const std::string& path) {
    if (throwsOutOfMemory == operation) {
      throw std::bad_alloc();
    }
    log_.push_back({operation, path});
    const bool any = failAtAny_ == static_cast<int>(log_.size());
    return failAt_[operation] == ++calls_[operation] || any;
  }

  FileSystem& real_ = RealFileSystem();
  std::map<Operation, int> calls_;
  std::map<Operation, int> failAt_;  // 0: no failure
  int failAtAny_ = 0;
  std::vector<Logged> log_;
};

}  // namespace quillmere::testing
