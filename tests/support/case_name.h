// Names table-driven cases after their `name` field, so a failure says which row broke.
#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace quillmere::testing {

struct CaseName {
  template <typename Case>
  std::string operator()(const ::testing::TestParamInfo<Case>& row) const {
    return std::string(row.param.name);
  }
};

}  // namespace quillmere::testing

// Prints a table row as its name, so ctest's list and gtest's failure lines name the row rather
// than dump its bytes. Use once per row type, in the namespace that declares the type.
#define QUILLMERE_PRINT_ROW_AS_NAME(Row)                             \
  [[maybe_unused]] void PrintTo(const Row& row, std::ostream* out) { \
    *out << row.name;                                                \
  }
