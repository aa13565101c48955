#include "derive/derive_module.h"

#include <new>
#include <optional>

#include "derive/keyword_triggers.h"
#include "derive/module_file_name.h"
#include "derive/staged_module.h"
#include "derive/staging_files.h"
#include "derive/target_file.h"
#include "module/catalogue.h"
#include "platform/file_system.h"
#include "platform/toolkit.h"

namespace quillmere {
namespace {

// "<path>: <reason>", for the user.
std::string About(std::string_view path, std::string_view reason) {
  return std::string(path) + ": " + std::string(reason);
}

DeriveResult Derive(const DeriveInputs& inputs, const Catalogue& catalogue,
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
    result.reason = BlankEndRefusal(inputs.newModuleName).value_or("");
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
  const auto fail = [&](DeriveOutcome outcome, MessageId message, std::string reason) {
    result.reason = std::move(reason);
    toolkit.ShowMessage(message, MessageButtons::kOk);
    result.outcome = outcome;
    return std::move(result);
  };
  const std::optional<TargetFile> found =
      FindTargetFile(services.files, catalogue.folderPath, ModuleFileName(result.fileName));
  if (!found) {
    return fail(DeriveOutcome::kCopyFailed, MessageId::kCopyFailed,
                About(catalogue.folderPath, "the folder cannot be listed"));
  }
  const TargetFile& target = *found;
  if (target.exists && toolkit.ShowMessage(MessageId::kOverwriteQuestion, MessageButtons::kYesNo) !=
                           MessageAnswer::kYes) {
    result.outcome = DeriveOutcome::kDeclined;
    return result;
  }

  // What derivations that were killed outright left in the folder goes first.
  RemoveStaleStagingFiles(services.files, catalogue.folderPath);
  // The new module is made in memory whole, then put into a staging file beside the target and
  // renamed onto it: until the rename nothing the folder held has changed, also when base and
  // target are one file.
  StagedModule staged = StageModule(inputs, basePath, target.path, services);
  switch (staged.failure) {
    case StagedModule::Failure::kBaseUnreadable:
      return fail(DeriveOutcome::kCopyFailed, MessageId::kCopyFailed,
                  About(basePath, UnreadableReason(services.files, basePath)));
    case StagedModule::Failure::kUtf16Base:
      return fail(DeriveOutcome::kRefused, MessageId::kUtf16Base,
                  About(basePath, "it starts with a UTF-16 byte-order mark"));
    case StagedModule::Failure::kWriteFailed:
      return fail(DeriveOutcome::kWriteFailed, MessageId::kWriteFailed,
                  About(target.path, "a key could not be written"));
    case StagedModule::Failure::kNone:
      break;
  }
  const std::unique_ptr<StagingFile> staging =
      StagingFile::Create(services.files, catalogue.folderPath);
  if (staging == nullptr) {
    return fail(DeriveOutcome::kCopyFailed, MessageId::kCopyFailed,
                About(catalogue.folderPath, "no staging file can be made in it"));
  }
  if (!staging->PutAt(*staged.files->Bytes(target.path), target.path)) {
    return fail(DeriveOutcome::kWriteFailed, MessageId::kWriteFailed,
                About(target.path, "the new module could not be written whole"));
  }
  result.loadedBase = std::move(staged.base);
  result.outcome = DeriveOutcome::kSucceeded;
  toolkit.ShowMessage(MessageId::kSuccess, MessageButtons::kOk);
  toolkit.EndWithOk();
  return result;
}

}  // namespace

std::string_view StopKeywordToWrite(const DeriveInputs& inputs) {
  const bool stopOption = inputs.cutPaperOption || inputs.formFeedOption;
  return stopOption ? std::string_view() : std::string_view(inputs.stopKeyword);
}

DeriveResult DeriveModule(const DeriveInputs& inputs, const Catalogue& catalogue,
                          const PlatformServices& services, Toolkit& toolkit) {
  // An exception ends the run here, after the staging file's removal unwound with it: the user
  // learns of it by a message, and the folder is as it was.
  std::string reason;
  try {
    return Derive(inputs, catalogue, services, toolkit);
  } catch (const std::bad_alloc&) {
    reason = "out of memory";
  } catch (const std::exception& error) {
    reason = error.what();
  }
  DeriveResult result;
  result.outcome = DeriveOutcome::kWriteFailed;
  result.reason = std::move(reason);
  toolkit.ShowMessage(MessageId::kWriteFailed, MessageButtons::kOk);
  return result;
}

}  // namespace quillmere
