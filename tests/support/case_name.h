// Names table-driven cases after their `name` field, so a failure says which row broke.
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace quillmere::testing {

struct CaseName {
  template <typename Case>
  std::string operator()(const ::testing::TestParamInfo<Case>& row) const {
    return std::string(row.param.name);
  }
};

}  // namespace quillmere::testing
