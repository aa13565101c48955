#include "derive/staged_module.h"

#include <optional>
#include <utility>

#include "derive/keyword_triggers.h"
#include "derive/staging_files.h"
#include "derive/stop_patchers.h"
#include "derive/stop_signal.h"
#include "derive/write_sequence.h"
#include "platform/file_system.h"
#include "platform/profile_rules.h"

namespace quillmere {
namespace {

// The writes after the copy: the new name, then the three writers, which find records in the
// loaded base and write them by key into the copy. The first failed write ends it.
WriteStatus WriteNewModule(const DeriveInputs& inputs, const PrinterCommandModule& base,
                           const std::string& targetPath, ProfileStore& store) {
  WriteSequence writes(store, targetPath);
  writes.Write(sections::kMain, keys::kModuleName, inputs.newModuleName);
  writes.Then([&] { return PatchFormFeed(base, store, targetPath, inputs.formFeedOption); });
  writes.Then([&] { return PatchCutPaper(base, store, targetPath, inputs.cutPaperOption); });
  writes.Then([&] {
    return WriteKeywordTriggers(base, store, targetPath, inputs.voidKeyword,
                                StopKeywordToWrite(inputs));
  });
  return writes.status();
}

}  // namespace

StagedModule ReadBase(const std::string& basePath, const PlatformServices& services) {
  StagedModule staged;
  staged.basePath = basePath;
  std::optional<std::string> baseBytes = services.files.ReadFile(basePath);
  if (!baseBytes) {
    staged.failure = StagedModule::Failure::kBaseUnreadable;
    return staged;
  }
  // Refused before anything is written: the new module would be UTF-16 text with 8-bit lines
  // appended, which no reader understands.
  if (profile_rules::IsUtf16Text(*baseBytes)) {
    staged.failure = StagedModule::Failure::kUtf16Base;
    return staged;
  }
  staged.files->Put(basePath, std::move(*baseBytes));
  // The base is loaded from the bytes just read, before any write: its records' keys are the
  // keys of the same records in the copy.
  staged.base = std::make_unique<PrinterCommandModule>(services);
  staged.base->Load(basePath, *staged.files->View(basePath));
  return staged;
}

void StageModule(const DeriveInputs& inputs, const std::string& targetPath, StagedModule& staged) {
  const PrinterCommandModule& base = *staged.base;
  staged.hasStopSignal = NewModuleHasStopSignal(
      base, ReadFileCount(*staged.files, keys::kMultiCount, staged.basePath), inputs);
  staged.files->Copy(staged.basePath, targetPath);
  if (WriteNewModule(inputs, base, targetPath, *staged.files) != WriteStatus::kOk) {
    staged.failure = StagedModule::Failure::kWriteFailed;
  }
}

std::variant<std::unique_ptr<StagingFile>, FileOutcome> StagingFile::Create(
    FileSystem& files, const std::string& folder) {
  const CreatedFile path = files.CreateUniqueFile(folder, StagingStem(ThisProcess()));
  if (!path) {
    return FileOutcome::Failed(path.reason());
  }
  return std::unique_ptr<StagingFile>(new StagingFile(files, *path));
}

StagingFile::StagingFile(FileSystem& files, std::string path)
    : files_(files), path_(std::move(path)), removedOnInterrupt_(path_) {}

StagingFile::~StagingFile() {
  if (!renamed_) {
    files_.RemoveFile(path_);
  }
}

FileOutcome StagingFile::PutAt(std::string_view bytes, const std::string& target) {
  FileOutcome written = files_.WriteFile(path_, bytes);
  if (!written) {
    return written;
  }
  FileOutcome renamed = files_.RenameOver(path_, target);
  renamed_ = static_cast<bool>(renamed);
  return renamed;
}

}  // namespace quillmere
