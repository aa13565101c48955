// A derivation's new module, made in memory and then put on disk in one step. The base module
// file is read once; its copy, the new Module_Name, the stop commands and the keyword triggers
// are all written into an in-memory store (the writers work on any ProfileStore), so nothing on
// disk changes while the new module is made. Then its bytes are written once into a staging
// file beside the target, flushed once and renamed onto the target once.
//
// Between the two steps the caller holds both files' bytes: the base as it was read and the new
// module as it would be written.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <variant>

#include "derive/derive_module.h"
#include "platform/file_system.h"
#include "platform/interrupt_cleanup.h"
#include "platform/memory_profile_store.h"

namespace quillmere {

struct StagedModule {
  enum class Failure {
    kNone,
    kBaseUnreadable,  // the base module file could not be read
    kUtf16Base,       // the base is UTF-16 text, not the 8-bit text of module files
    kWriteFailed,     // a writer's write was refused
  };
  Failure failure = Failure::kNone;
  std::string basePath;
  // The base module file at its own path and, once staged and unless a write failed, the new
  // module at the target path (the same file when the two paths are one).
  std::unique_ptr<MemoryProfileStore> files = std::make_unique<MemoryProfileStore>();
  // The base as the writers find its records, loaded once from the bytes read; none when the
  // base could not be read.
  std::unique_ptr<PrinterCommandModule> base;
  // Some record of the new module carries TRAN_STOP (derive/stop_signal.h); known from the base
  // as loaded, before the writers ran.
  bool hasStopSignal = false;
};

// Reads the base module file at `basePath` once and loads it from the bytes read: the first
// step, which writes nothing anywhere (failure kBaseUnreadable or kUtf16Base).
[[nodiscard]] StagedModule ReadBase(const std::string& basePath, const PlatformServices& services);

// Makes the new module of `inputs` for `targetPath` in memory, from the base `staged` holds
// (failure kWriteFailed).
void StageModule(const DeriveInputs& inputs, const std::string& targetPath, StagedModule& staged);

// A file of its own name beside the target, no module's, where a new module is put before it is
// renamed onto the target: until then nothing the folder held has changed. Removed again unless
// it was renamed: when the derivation fails, when an exception passes, and when the process is
// interrupted meanwhile. Its name says which process made it (staging_files.h).
class StagingFile {
 public:
  // A new empty staging file in `folder`, or the reason the system gave for not making it.
  // `files` must outlive it.
  [[nodiscard]] static std::variant<std::unique_ptr<StagingFile>, FileOutcome> Create(
      FileSystem& files, const std::string& folder);
  ~StagingFile();
  StagingFile(const StagingFile&) = delete;
  StagingFile& operator=(const StagingFile&) = delete;

  // Writes `bytes` into the staging file once, flushes them once and renames the file onto
  // `target` once; the reason the system gave when any of the three failed (the staging file is
  // removed then).
  [[nodiscard]] FileOutcome PutAt(std::string_view bytes, const std::string& target);

 private:
  StagingFile(FileSystem& files, std::string path);

  FileSystem& files_;
  std::string path_;
  bool renamed_ = false;
  RemovedOnInterrupt removedOnInterrupt_;
};

}  // namespace quillmere
