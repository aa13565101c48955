#include "derive/derive_module.h"

#include <optional>
#include <variant>

#include "derive/keyword_triggers.h"
#include "derive/module_file_name.h"
#include "derive/staged_module.h"
#include "module/catalogue.h"
#include "platform/code_page.h"
#include "platform/file_system.h"
#include "platform/toolkit.h"

namespace quillmere {
namespace {

// "<path>: <reason>", for showing.
std::string Where(std::string_view path, std::string_view reason) {
  return codepage::SystemTextToUtf8(path) + ": " + codepage::SystemTextToUtf8(reason);
}

}  // namespace

std::string_view StopKeywordToWrite(const DeriveInputs& inputs) {
  const bool stopOption = inputs.cutPaperOption || inputs.formFeedOption;
  return stopOption ? std::string_view() : std::string_view(inputs.stopKeyword);
}

DeriveResult DeriveModule(const DeriveInputs& inputs, const Catalogue& catalogue,
                          const PlatformServices& services, Toolkit& toolkit, DeriveMode mode) {
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
    if (toolkit.ShowMessage(question, MessageButtons::kYesNo) == MessageAnswer::kYes) {
      return false;
    }
    result.outcome = DeriveOutcome::kDeclined;
    return true;
  };
  const bool overwrites = services.files.Exists(targetPath);
  if (overwrites && declined(MessageId::kOverwriteQuestion)) {
    return result;
  }

  const auto fail = [&](DeriveOutcome outcome, MessageId message, std::string_view detail) {
    toolkit.ShowDetailedMessage(message, MessageButtons::kOk, detail);
    result.outcome = outcome;
    return std::move(result);
  };
  // The new module is made in memory whole, so what it will hold is known before anything is
  // written; then it is put into a staging file beside the target and renamed onto it: until
  // the rename nothing the folder held has changed, also when base and target are one file.
  StagedModule staged = StageModule(inputs, basePath, targetPath, services);
  switch (staged.failure) {
    case StagedModule::Failure::kBaseUnreadable:
      return fail(DeriveOutcome::kCopyFailed, MessageId::kCopyFailed,
                  Where(basePath, "the base module file could not be read"));
    case StagedModule::Failure::kWriteFailed:
      return fail(DeriveOutcome::kWriteFailed, MessageId::kWriteFailed,
                  Where(targetPath, "a key of the new module could not be written"));
    case StagedModule::Failure::kNone:
      break;
  }
  if (!staged.hasStopSignal && declined(MessageId::kNoStopSignal)) {
    return result;
  }
  const std::string_view newBytes = *staged.files->Bytes(targetPath);
  if (mode == DeriveMode::kDryRun) {
    // Read again: when base and target are one file, the store holds only the new module.
    result.preview = DerivePreview{basePath, services.files.ReadFile(basePath).value_or(""),
                                   targetPath, overwrites, std::string(newBytes)};
    result.outcome = DeriveOutcome::kSucceeded;
    return result;
  }

  auto staging = StagingFile::Create(services.files, catalogue.folderPath);
  if (const auto* failure = std::get_if<FileOutcome>(&staging)) {
    return fail(DeriveOutcome::kCopyFailed, MessageId::kCopyFailed,
                Where(catalogue.folderPath, failure->reason()));
  }
  if (const FileOutcome put =
          std::get<std::unique_ptr<StagingFile>>(staging)->PutAt(newBytes, targetPath);
      !put) {
    return fail(DeriveOutcome::kWriteFailed, MessageId::kWriteFailed,
                Where(targetPath, put.reason()));
  }
  result.loadedBase = std::move(staged.base);
  result.outcome = DeriveOutcome::kSucceeded;
  toolkit.ShowDetailedMessage(MessageId::kSuccess, MessageButtons::kOk,
                              codepage::SystemTextToUtf8(targetPath));
  toolkit.EndWithOk();
  return result;
}

}  // namespace quillmere
