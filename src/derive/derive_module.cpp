#include "derive/derive_module.h"

#include <optional>

#include "derive/keyword_triggers.h"
#include "derive/module_file_name.h"
#include "derive/stop_patchers.h"
#include "derive/write_sequence.h"
#include "module/catalogue.h"
#include "module/printer_command_module.h"
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

  bool CommitTo(const std::string& target) {
    committed_ = files_.RenameOver(path_, target);
    return committed_;
  }

 private:
  FileSystem& files_;
  std::string path_;
  bool committed_ = false;
};

constexpr std::string_view kStagingStem = ".quillmere-derive-";

// A stop option is the register's end of a transaction; a stop keyword would contradict it, so
// with either option set the stop keyword is neither checked for length nor written.
std::string_view StopKeywordToWrite(const DeriveInputs& inputs) {
  const bool stopOption = inputs.cutPaperOption || inputs.formFeedOption;
  return stopOption ? std::string_view() : std::string_view(inputs.stopKeyword);
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
  const auto refuse = [&](MessageId message) {
    toolkit.ShowMessage(message, MessageButtons::kOk);
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
  if (!IsUsableModuleName(inputs.newModuleName)) {
    return refuse(MessageId::kInvalidName);
  }
  if (IsNameInUse(catalogue, inputs.newModuleName)) {
    return refuse(MessageId::kNameInUse);
  }
  // As typed: the stop keyword counts here even when a stop option will leave it out.
  if (!inputs.voidKeyword.empty() && inputs.voidKeyword == inputs.stopKeyword) {
    return refuse(MessageId::kKeywordsEqual);
  }
  if (!KeywordRecordsFit(inputs.voidKeyword, StopKeywordToWrite(inputs))) {
    return refuse(MessageId::kKeywordTooLong);
  }

  result.fileName = inputs.newModuleName;
  const std::string targetPath = JoinPath(catalogue.folderPath, ModuleFileName(result.fileName));
  if (services.files.Exists(targetPath) &&
      toolkit.ShowMessage(MessageId::kOverwriteQuestion, MessageButtons::kYesNo) !=
          MessageAnswer::kYes) {
    result.outcome = DeriveOutcome::kDeclined;
    return result;
  }

  const auto fail = [&](DeriveOutcome outcome, MessageId message) {
    toolkit.ShowMessage(message, MessageButtons::kOk);
    result.outcome = outcome;
    return std::move(result);
  };
  // Copied also when base and target are one file, so that the base stays untouched until the
  // whole new module is written.
  const std::optional<std::string> stagingPath =
      services.files.CreateUniqueFile(catalogue.folderPath, kStagingStem);
  if (!stagingPath) {
    return fail(DeriveOutcome::kCopyFailed, MessageId::kCopyFailed);
  }
  StagingFile staging(services.files, *stagingPath);
  if (!services.files.CopyFile(basePath, staging.path())) {
    return fail(DeriveOutcome::kCopyFailed, MessageId::kCopyFailed);
  }
  // The base, not the new file: the writers find records in the base's model and write them by
  // key into the copy.
  auto base = std::make_unique<PrinterCommandModule>(services);
  base->Load(basePath);
  if (WriteNewModule(inputs, *base, staging.path(), services.store) != WriteStatus::kOk ||
      !staging.CommitTo(targetPath)) {
    return fail(DeriveOutcome::kWriteFailed, MessageId::kWriteFailed);
  }
  result.loadedBase = std::move(base);
  result.outcome = DeriveOutcome::kSucceeded;
  toolkit.ShowMessage(MessageId::kSuccess, MessageButtons::kOk);
  toolkit.EndWithOk();
  return result;
}

}  // namespace quillmere
