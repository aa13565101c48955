// The two stop-command patchers: they make the module's lone Form Feed single command and its
// Epson cut-paper sub-record (GS V) into transaction-stop signals of the new module file, or take
// that role away from them. They find the command in the model loaded from the base file and
// rewrite it, by the key it was loaded from, in the target file.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/profile_store.h"

namespace quillmere {

class PrinterCommandModule;
struct CommandRecord;
struct MultiCommand;

inline constexpr std::string_view kFormFeedStopValue = "1,FF,1,1,0,TRAN_STOP";
inline constexpr std::string_view kFormFeedPlainValue = "1,FF,1,1";
inline constexpr std::string_view kCutPaperStopValue = "2,GS,V,3,CutPaper,0,TRAN_STOP";
inline constexpr std::string_view kCutPaperPlainValue = "2,GS,V,3,CutPaper,0,";

// True for the two-byte record GS V (0x1D 0x56); a longer sequence that begins with it does not
// count.
[[nodiscard]] bool IsCutPaperCommand(const CommandRecord& record);

// The first single command that is the one-byte record 0x0C, or none; a longer sequence that
// begins with it does not count.
[[nodiscard]] const CommandRecord* FindFormFeedCommand(const PrinterCommandModule& module);

struct CutPaperCommand {
  const MultiCommand* holder;
  const CommandRecord* record;
};
// The first sub-record, walking the multi-commands in order, that is the cut-paper command.
[[nodiscard]] std::optional<CutPaperCommand> FindCutPaperCommand(
    const PrinterCommandModule& module);

// Rewrites the Form Feed command's own key of "Single-Command" in the target file, tagged
// TRAN_STOP when `option` is set and untagged when clear. Without one, and with the option set,
// appends it after the file's S-Num (so a record that failed to load is never overwritten) and
// writes the new S-Num. The first failed write is reported.
[[nodiscard]] WriteStatus PatchFormFeed(const PrinterCommandModule& module, ProfileStore& store,
                                        const std::string& targetPath, bool option);

// Rewrites the cut-paper sub-record's own key in its multi-command's own section, tagged or
// untagged; writes nothing when the module has none.
[[nodiscard]] WriteStatus PatchCutPaper(const PrinterCommandModule& module, ProfileStore& store,
                                        const std::string& targetPath, bool option);

}  // namespace quillmere
