#include "derive/derive_module.h"

#include <optional>

#include "derive/keyword_triggers.h"
#include "derive/module_file_name.h"
#include "derive/staged_module.h"
#include "module/catalogue.h"
#include "platform/file_system.h"
#include "platform/toolkit.h"

namespace quillmere {
std::string_view StopKeywordToWrite(const DeriveInputs& inputs) {
  const bool stopOption = inputs.cutPaperOption || inputs.formFeedOption;
  return stopOption ? std::string_view() : std::string_view(inputs.stopKeyword);
}

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
  // The new module is made in memory whole, then put into a staging file beside the target and
  // renamed onto it: until the rename nothing the folder held has changed, also when base and
  // target are one file.
  const std::unique_ptr<StagingFile> staging =
      StagingFile::Create(services.files, catalogue.folderPath);
  if (staging == nullptr) {
    return fail(DeriveOutcome::kCopyFailed, MessageId::kCopyFailed);
  }
  StagedModule staged = StageModule(inputs, basePath, targetPath, services);
  switch (staged.failure) {
    case StagedModule::Failure::kBaseUnreadable:
      return fail(DeriveOutcome::kCopyFailed, MessageId::kCopyFailed);
    case StagedModule::Failure::kWriteFailed:
      return fail(DeriveOutcome::kWriteFailed, MessageId::kWriteFailed);
    case StagedModule::Failure::kNone:
      break;
  }
  if (!staging->PutAt(*staged.files->Bytes(targetPath), targetPath)) {
    return fail(DeriveOutcome::kWriteFailed, MessageId::kWriteFailed);
  }
  result.loadedBase = std::move(staged.base);
  result.outcome = DeriveOutcome::kSucceeded;
  toolkit.ShowMessage(MessageId::kSuccess, MessageButtons::kOk);
  toolkit.EndWithOk();
  return result;
}

}  // namespace quillmere
