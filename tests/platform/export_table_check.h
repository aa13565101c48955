// What the export-table reader keeps on any bytes at all, checked in one place for the unit tests
// and the fuzz target: it returns, reading nothing outside the bytes (the sanitizers watch that),
// and every name it gives is a non-empty NUL-terminated string of the bytes themselves, listed
// once and in order. No test framework here: the fuzz target is built without one.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace quillmere::testing {

// The first of those rules the reading of `bytes` breaks, in words; empty when it keeps them.
[[nodiscard]] std::string ExportTableViolation(std::span<const std::uint8_t> bytes);

}  // namespace quillmere::testing
