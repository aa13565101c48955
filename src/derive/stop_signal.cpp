#include "derive/stop_signal.h"

#include <algorithm>

#include "derive/keyword_triggers.h"
#include "derive/stop_patchers.h"
#include "module/printer_command_module.h"
#include "platform/text.h"

namespace quillmere {

bool NewModuleHasStopSignal(const PrinterCommandModule& base, std::int32_t multiCount,
                            const DeriveInputs& inputs) {
  if (inputs.formFeedOption || !StopKeywordToWrite(inputs).empty()) {
    return true;
  }
  const std::optional<CutPaperCommand> cutPaper = FindCutPaperCommand(base);
  if (inputs.cutPaperOption && cutPaper) {
    return true;
  }
  // The Form Feed and cut-paper commands lose their tag (their option is clear); the entries
  // the trigger writer drops take their records with them; the void keyword's record takes key
  // 1 of Text_Void.
  const CommandRecord* formFeed = FindFormFeedCommand(base);
  const std::int32_t keptEntries = FindTriggerHolders(base, multiCount).keptCount;
  const auto keptStop = [&](const CommandRecord& record) {
    return record.event == TransactionEvent::kStop && &record != formFeed &&
           (!cutPaper || &record != cutPaper->record);
  };
  const auto overwritten = [&](const MultiCommand& multi, const CommandRecord& record) {
    return !inputs.voidKeyword.empty() && record.key == 1 &&
           text::EqualsIgnoreCase(multi.section, sections::kTextVoid);
  };
  const bool singleStop =
      std::any_of(base.singleCommands.begin(), base.singleCommands.end(), keptStop);
  const bool multiStop =
      std::any_of(base.multiCommands.begin(), base.multiCommands.end(), [&](const auto& multi) {
        return multi.key <= keptEntries &&
               std::any_of(multi.records.begin(), multi.records.end(), [&](const auto& record) {
                 return keptStop(record) && !overwritten(multi, record);
               });
      });
  return singleStop || multiStop || (base.barcodeCommand && keptStop(*base.barcodeCommand));
}

}  // namespace quillmere
