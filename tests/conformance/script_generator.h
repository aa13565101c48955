// Seeded operation scripts over the shapes module files take and the shapes that break readers:
// names in mixed case and with blanks, quotes matched and not, commas, tabs, 8-bit bytes, "=" in
// values, values around the 259-character cut, lines without "=", comments, blank lines, lines
// before the first section, odd headers, every line ending, missing files and sections, signed
// and overflowing integers, and writes that replace, add keys and add sections.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "script.h"

namespace quillmere::conformance {

struct ScriptStep {
  Operation op;
  bool readBack = false;  // a read of one of the file's keys right after a write
};

// One file and what is done to it, in order; its name is its own in the whole script.
using ScriptCase = std::vector<ScriptStep>;

// Cases until they hold at least `operations` reads, integer reads and writes (read-backs and
// file steps not counted). The same seed gives the same cases on the same build (the standard
// library's distributions and the order in which an expression draws its parts may differ on
// another).
[[nodiscard]] std::vector<ScriptCase> GenerateCases(std::uint32_t seed, std::size_t operations);

}  // namespace quillmere::conformance
