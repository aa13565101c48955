#include "derive/derive_module.h"

#include <optional>

#include "derive/keyword_triggers.h"
#include "derive/module_file_name.h"
#include "derive/stop_patchers.h"
#include "module/printer_command_module.h"
#include "platform/file_system.h"
#include "platform/profile_store.h"
#include "platform/text.h"
#include "platform/toolkit.h"
#include "ui/catalogue.h"

namespace quillmere {
namespace {

// A name is in use when a module shows it as its display name while living in a file of another
// title; such a module cannot be overwritten by naming it.
bool NameInUse(std::string_view newName, const Catalogue& catalogue) {
  for (const ModuleEntry& entry : catalogue.entries) {
    if (!text::EqualsIgnoreCase(newName, entry.name)) {
      continue;
    }
    const std::string fileName = FileNameOf(entry.path);
    const std::string_view title =
        std::string_view(fileName).substr(0, fileName.size() < 4 ? 0 : fileName.size() - 4);
    if (!text::EqualsIgnoreCase(title, entry.name)) {
      return true;
    }
  }
  return false;
}

DeriveOutcome Refuse(Toolkit& toolkit, MessageId message) {
  toolkit.ShowMessage(message, MessageButtons::kOk);
  return DeriveOutcome::kRefused;
}

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

// Steps after the copy: the new name, the loaded base, the three writers. The first failed
// write ends it.
WriteStatus WriteNewModule(DeriveInputs& inputs, const std::string& basePath,
                           const std::string& stagingPath,
                           std::unique_ptr<PrinterCommandModule>& loaderSlot,
                           const PlatformServices& services) {
  ProfileStore& store = services.store;
  WriteStatus status =
      store.WriteString(sections::kMain, keys::kModuleName, inputs.newModuleName, stagingPath);
  if (status != WriteStatus::kOk) {
    return status;
  }
  loaderSlot = std::make_unique<PrinterCommandModule>(services);
  // The base, not the new file: the writers find records in the base's model and write them by
  // key into the copy.
  loaderSlot->Load(basePath);
  if (inputs.cutPaperOption || inputs.formFeedOption) {
    inputs.stopKeyword.clear();
  }
  status = PatchFormFeed(*loaderSlot, store, stagingPath, inputs.formFeedOption);
  if (status == WriteStatus::kOk) {
    status = PatchCutPaper(*loaderSlot, store, stagingPath, inputs.cutPaperOption);
  }
  if (status == WriteStatus::kOk) {
    status = WriteKeywordTriggers(*loaderSlot, store, stagingPath, inputs.voidKeyword,
                                  inputs.stopKeyword);
  }
  return status;
}

}  // namespace

DeriveOutcome DeriveModule(DeriveInputs& inputs, std::string& fileName, const Catalogue& catalogue,
                           std::unique_ptr<PrinterCommandModule>& loaderSlot,
                           const PlatformServices& services, Toolkit& toolkit) {
  if (inputs.baseSelection < 0 ||
      static_cast<std::size_t>(inputs.baseSelection) >= catalogue.entries.size()) {
    return Refuse(toolkit, MessageId::kSelectBase);
  }
  const std::string basePath =
      catalogue.entries[static_cast<std::size_t>(inputs.baseSelection)].path;
  if (inputs.newModuleName.empty()) {
    return Refuse(toolkit, MessageId::kTypeNewName);
  }
  if (!IsUsableModuleName(inputs.newModuleName)) {
    return Refuse(toolkit, MessageId::kInvalidName);
  }
  if (NameInUse(inputs.newModuleName, catalogue)) {
    return Refuse(toolkit, MessageId::kNameInUse);
  }
  if (!inputs.voidKeyword.empty() && inputs.voidKeyword == inputs.stopKeyword) {
    return Refuse(toolkit, MessageId::kKeywordsEqual);
  }
  const bool stopKeywordEmptied = inputs.cutPaperOption || inputs.formFeedOption;
  if (!KeywordRecordsFit(inputs.voidKeyword,
                         stopKeywordEmptied ? std::string_view() : inputs.stopKeyword)) {
    return Refuse(toolkit, MessageId::kKeywordTooLong);
  }

  fileName = inputs.newModuleName;
  const std::string targetPath = JoinPath(catalogue.folderPath, ModuleFileName(fileName));
  if (services.files.Exists(targetPath) &&
      toolkit.ShowMessage(MessageId::kOverwriteQuestion, MessageButtons::kYesNo) !=
          MessageAnswer::kYes) {
    return DeriveOutcome::kDeclined;
  }

  // Copied also when base and target are one file, so that the base stays untouched until the
  // whole new module is written.
  const std::optional<std::string> stagingPath =
      services.files.CreateUniqueFile(catalogue.folderPath, kStagingStem);
  if (!stagingPath) {
    toolkit.ShowMessage(MessageId::kCopyFailed, MessageButtons::kOk);
    return DeriveOutcome::kCopyFailed;
  }
  StagingFile staging(services.files, *stagingPath);
  if (!services.files.CopyFile(basePath, staging.path())) {
    toolkit.ShowMessage(MessageId::kCopyFailed, MessageButtons::kOk);
    return DeriveOutcome::kCopyFailed;
  }
  if (WriteNewModule(inputs, basePath, staging.path(), loaderSlot, services) != WriteStatus::kOk ||
      !staging.CommitTo(targetPath)) {
    loaderSlot.reset();
    toolkit.ShowMessage(MessageId::kWriteFailed, MessageButtons::kOk);
    return DeriveOutcome::kWriteFailed;
  }
  toolkit.ShowMessage(MessageId::kSuccess, MessageButtons::kOk);
  toolkit.EndWithOk();
  return DeriveOutcome::kSucceeded;
}

}  // namespace quillmere
