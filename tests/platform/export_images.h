// Library images built byte by byte for the export-table reader: Windows images (PE32, PE32+)
// and ELF shared objects (32- and 64-bit, either byte order), well formed and broken in every way
// the reader must survive, each with the names it must give. The unit tests check those names;
// the fuzz target's corpus is written from the same cases.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillmere::testing {

using Image = std::vector<std::uint8_t>;
using Names = std::vector<std::string>;

struct ImageCase {
  std::string name;  // letters, digits and "_": a file name too
  Image bytes;
  std::optional<Names> names;  // none: the image does not load
};

// Every built case: the PE ones in both widths, the ELF ones in every layout.
[[nodiscard]] std::vector<ImageCase> BuiltImageCases();

// A well-formed image exporting AnalyzeBarcode, CutPaper and OpenDrawer, and forwarding Beep.
[[nodiscard]] Image WellFormedPe(bool wide);

// A well-formed shared object exporting AnalyzeBarcode, CutPaper and the object CutterModel.
[[nodiscard]] Image WellFormedElf(bool wide, bool bigEndian);

}  // namespace quillmere::testing
