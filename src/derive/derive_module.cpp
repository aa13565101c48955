#include "derive/derive_module.h"

#include <new>
#include <optional>
#include <variant>

#include "derive/keyword_triggers.h"
#include "derive/module_file_name.h"
#include "derive/staged_module.h"
#include "derive/staging_files.h"
#include "derive/target_file.h"
#include "module/catalogue.h"
#include "platform/code_page.h"
#include "platform/file_system.h"
#include "platform/toolkit.h"

namespace quillmere {
namespace {

// "<path>: <reason>", for showing.
std::string About(std::string_view path, std::string_view reason) {
  return codepage::SystemTextToUtf8(path) + ": " + codepage::SystemTextToUtf8(reason);
}

DeriveResult Derive(const DeriveInputs& inputs, const Catalogue& catalogue,
                    const PlatformServices& services, Toolkit& toolkit, DeriveMode mode,
                    const BaseReadHook& onBaseRead) {
  DeriveResult result;
  // The message, and below it the line of detail that says why or where.
  const auto tell = [&](MessageId message, std::string detail) {
    result.reason = std::move(detail);
    toolkit.ShowDetailedMessage(message, MessageButtons::kOk, result.reason);
  };
  const auto refuse = [&](MessageId message, std::string detail = {}) {
    tell(message, std::move(detail));
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
  if (std::optional<std::string> refusal = ModuleNameRefusal(inputs.newModuleName)) {
    return refuse(MessageId::kInvalidName, std::move(*refusal));
  }
  if (IsNameInUse(catalogue, inputs.newModuleName)) {
    return refuse(MessageId::kNameInUse);
  }
  // As typed: the stop keyword counts here even when a stop option will leave it out.
  if (!inputs.voidKeyword.empty() && inputs.voidKeyword == inputs.stopKeyword) {
    return refuse(MessageId::kKeywordsEqual);
  }
  if (std::optional<std::string> overflow =
          KeywordRecordOverflow(inputs.voidKeyword, StopKeywordToWrite(inputs))) {
    return refuse(MessageId::kKeywordTooLong, std::move(*overflow));
  }

  result.fileName = inputs.newModuleName;
  const auto fail = [&](DeriveOutcome outcome, MessageId message, std::string detail) {
    tell(message, std::move(detail));
    result.outcome = outcome;
    return std::move(result);
  };
  const auto declined = [&](MessageId question) {
    if (toolkit.ShowMessage(question, MessageButtons::kYesNo) == MessageAnswer::kYes) {
      return false;
    }
    result.outcome = DeriveOutcome::kDeclined;
    return true;
  };
  const std::optional<TargetFile> found =
      FindTargetFile(services.files, catalogue.folderPath, *ModuleFileName(result.fileName));
  if (!found) {
    return fail(DeriveOutcome::kCopyFailed, MessageId::kCopyFailed,
                About(catalogue.folderPath, "the folder cannot be listed"));
  }
  const TargetFile& target = *found;
  // The base is read and loaded once, before the first question, so that a caller can tell what
  // it lacks first; a base that cannot be read is still told where the copy was told of, after
  // the overwrite question.
  StagedModule staged = ReadBase(basePath, services);
  if (staged.base && onBaseRead) {
    onBaseRead({basePath, *staged.files->Bytes(basePath), *staged.base, *staged.files});
  }
  if (target.exists && declined(MessageId::kOverwriteQuestion)) {
    return result;
  }

  // The new module is made in memory whole, so what it will hold is known before anything is
  // written; then it is put into a staging file beside the target and renamed onto it: until
  // the rename nothing the folder held has changed, also when base and target are one file.
  if (staged.failure == StagedModule::Failure::kNone) {
    StageModule(inputs, target.path, staged);
  }
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
  if (!staged.hasStopSignal && declined(MessageId::kNoStopSignal)) {
    return result;
  }
  const std::string_view newBytes = *staged.files->Bytes(target.path);
  if (mode == DeriveMode::kDryRun) {
    // Read again: when base and target are one file, the store holds only the new module.
    result.preview = DerivePreview{basePath, services.files.ReadFile(basePath).value_or(""),
                                   target.path, target.exists, std::string(newBytes)};
    result.outcome = DeriveOutcome::kSucceeded;
    return result;
  }

  // What derivations that were killed outright left in the folder goes first.
  RemoveStaleStagingFiles(services.files, catalogue.folderPath);
  auto staging = StagingFile::Create(services.files, catalogue.folderPath);
  if (const auto* failure = std::get_if<FileOutcome>(&staging)) {
    return fail(DeriveOutcome::kCopyFailed, MessageId::kCopyFailed,
                About(catalogue.folderPath, failure->reason()));
  }
  if (const FileOutcome put =
          std::get<std::unique_ptr<StagingFile>>(staging)->PutAt(newBytes, target.path);
      !put) {
    return fail(DeriveOutcome::kWriteFailed, MessageId::kWriteFailed,
                About(target.path, put.reason()));
  }
  result.loadedBase = std::move(staged.base);
  result.outcome = DeriveOutcome::kSucceeded;
  toolkit.ShowDetailedMessage(MessageId::kSuccess, MessageButtons::kOk,
                              codepage::SystemTextToUtf8(target.path));
  toolkit.EndWithOk();
  return result;
}

}  // namespace

std::string_view StopKeywordToWrite(const DeriveInputs& inputs) {
  const bool stopOption = inputs.cutPaperOption || inputs.formFeedOption;
  return stopOption ? std::string_view() : std::string_view(inputs.stopKeyword);
}

DeriveResult DeriveModule(const DeriveInputs& inputs, const Catalogue& catalogue,
                          const PlatformServices& services, Toolkit& toolkit, DeriveMode mode,
                          const BaseReadHook& onBaseRead) {
  // An exception ends the run here, after the staging file's removal unwound with it: the user
  // learns of it by a message, and the folder is as it was.
  std::string reason;
  try {
    return Derive(inputs, catalogue, services, toolkit, mode, onBaseRead);
  } catch (const std::bad_alloc&) {
    reason = "out of memory";
  } catch (const std::exception& error) {
    reason = error.what();
  }
  DeriveResult result;
  result.outcome = DeriveOutcome::kWriteFailed;
  result.reason = std::move(reason);
  toolkit.ShowDetailedMessage(MessageId::kWriteFailed, MessageButtons::kOk, result.reason);
  return result;
}

}  // namespace quillmere
