#include "derive/derive_module.h"

#include <optional>

#include "derive/keyword_triggers.h"
#include "derive/module_file_name.h"
#include "derive/stop_patchers.h"
#include "derive/stop_signal.h"
#include "derive/write_sequence.h"
#include "module/catalogue.h"
#include "module/printer_command_module.h"
#include "platform/code_page.h"
#include "platform/file_system.h"
#include "platform/profile_store.h"
#include "platform/text.h"
#include "platform/toolkit.h"

namespace quillmere {
namespace {

// The new module is made in a staging file beside the target whose name is no module's, and
// only renamed onto the target when every write succeeded; until then nothing the folder held
// has changed, and a failure removes the staging file again.
class StagingFile {
 public:
  StagingFile(FileSystem& files, std::string path) : files_(files), path_(std::move(path)) {}
  ~StagingFile() {
    if (!committed_) {
      files_.RemoveFile(path_);
    }
  }
  StagingFile(const StagingFile&) = delete;
  StagingFile& operator=(const StagingFile&) = delete;

  [[nodiscard]] const std::string& path() const { return path_; }

  FileOutcome CommitTo(const std::string& target) {
    FileOutcome renamed = files_.RenameOver(path_, target);
    committed_ = static_cast<bool>(renamed);
    return renamed;
  }

 private:
  FileSystem& files_;
  std::string path_;
  bool committed_ = false;
};

constexpr std::string_view kStagingStem = ".quillmere-derive-";

// "<path>: <reason>", for showing.
std::string Where(std::string_view path, std::string_view reason) {
  return codepage::SystemTextToUtf8(path) + ": " + codepage::SystemTextToUtf8(reason);
}

// Steps after the copy: the new name, the loaded base, the three writers. The first failed
// write ends it.
WriteStatus WriteNewModule(const DeriveInputs& inputs, const PrinterCommandModule& base,
                           const std::string& stagingPath, ProfileStore& store) {
  WriteSequence writes(store, stagingPath);
  writes.Write(sections::kMain, keys::kModuleName, inputs.newModuleName);
  writes.Then([&] { return PatchFormFeed(base, store, stagingPath, inputs.formFeedOption); });
  writes.Then([&] { return PatchCutPaper(base, store, stagingPath, inputs.cutPaperOption); });
  writes.Then([&] {
    return WriteKeywordTriggers(base, store, stagingPath, inputs.voidKeyword,
                                StopKeywordToWrite(inputs));
  });
  return writes.status();
}

}  // namespace

DeriveResult DeriveModule(const DeriveInputs& inputs, const Catalogue& catalogue,
                          const PlatformServices& services, Toolkit& toolkit) {
  DeriveResult result;
  const auto refuse = [&](MessageId message, std::string_view detail = {}) {
    toolkit.ShowDetailedMessage(message, MessageButtons::kOk, detail);
    return std::move(result);
  };
  if (inputs.baseSelection < 0 ||
      static_cast<std::size_t>(inputs.baseSelection) >= catalogue.entries.size()) {
    return refuse(MessageId::kSelectBase);
  }
  const std::string& basePath =
      catalogue.entries[static_cast<std::size_t>(inputs.baseSelection)].path;
  if (inputs.newModuleName.empty()) {
    return refuse(MessageId::kTypeNewName);
  }
  if (const std::optional<std::string> refusal = ModuleNameRefusal(inputs.newModuleName)) {
    return refuse(MessageId::kInvalidName, *refusal);
  }
  if (IsNameInUse(catalogue, inputs.newModuleName)) {
    return refuse(MessageId::kNameInUse);
  }
  // As typed: the stop keyword counts here even when a stop option will leave it out.
  if (!inputs.voidKeyword.empty() && inputs.voidKeyword == inputs.stopKeyword) {
    return refuse(MessageId::kKeywordsEqual);
  }
  if (const std::optional<std::string> overflow =
          KeywordRecordOverflow(inputs.voidKeyword, StopKeywordToWrite(inputs))) {
    return refuse(MessageId::kKeywordTooLong, *overflow);
  }

  result.fileName = inputs.newModuleName;
  const std::string targetPath = JoinPath(catalogue.folderPath, *ModuleFileName(result.fileName));
  const auto declined = [&](MessageId question) {
    return toolkit.ShowMessage(question, MessageButtons::kYesNo) != MessageAnswer::kYes;
  };
  if (services.files.Exists(targetPath) && declined(MessageId::kOverwriteQuestion)) {
    result.outcome = DeriveOutcome::kDeclined;
    return result;
  }
  // The base, not the new file: the writers find records in the base's model and write them by
  // key into the copy; what they will make of it is known before anything is written.
  auto base = std::make_unique<PrinterCommandModule>(services);
  base->Load(basePath);
  const std::int32_t multiCount = ReadFileCount(services.store, keys::kMultiCount, basePath);
  if (!NewModuleHasStopSignal(*base, multiCount, inputs) && declined(MessageId::kNoStopSignal)) {
    result.outcome = DeriveOutcome::kDeclined;
    return result;
  }

  const auto fail = [&](DeriveOutcome outcome, MessageId message, std::string_view detail) {
    toolkit.ShowDetailedMessage(message, MessageButtons::kOk, detail);
    result.outcome = outcome;
    return std::move(result);
  };
  // Copied also when base and target are one file, so that the base stays untouched until the
  // whole new module is written.
  const CreatedFile stagingPath =
      services.files.CreateUniqueFile(catalogue.folderPath, kStagingStem);
  if (!stagingPath) {
    return fail(DeriveOutcome::kCopyFailed, MessageId::kCopyFailed,
                Where(catalogue.folderPath, stagingPath.reason()));
  }
  StagingFile staging(services.files, *stagingPath);
  if (const FileOutcome copied = services.files.CopyFile(basePath, staging.path()); !copied) {
    return fail(DeriveOutcome::kCopyFailed, MessageId::kCopyFailed,
                Where(basePath, copied.reason()));
  }
  if (WriteNewModule(inputs, *base, staging.path(), services.store) != WriteStatus::kOk) {
    return fail(DeriveOutcome::kWriteFailed, MessageId::kWriteFailed,
                Where(staging.path(), "a key could not be written"));
  }
  if (const FileOutcome committed = staging.CommitTo(targetPath); !committed) {
    return fail(DeriveOutcome::kWriteFailed, MessageId::kWriteFailed,
                Where(targetPath, committed.reason()));
  }
  result.loadedBase = std::move(base);
  result.outcome = DeriveOutcome::kSucceeded;
  toolkit.ShowDetailedMessage(MessageId::kSuccess, MessageButtons::kOk,
                              codepage::SystemTextToUtf8(targetPath));
  toolkit.EndWithOk();
  return result;
}

}  // namespace quillmere
