// The string table quillmere.exe carries, generated from the core's one message table: every
// message under its ID, exactly, and no other string.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string_view>

#include "platform/messages.h"
#include "platform/windows_api.h"

namespace quillmere {
namespace {

std::string_view StringResource(int id, std::array<char, 1024>& buffer) {
  const int length = LoadStringA(GetModuleHandleA(nullptr), static_cast<UINT>(id), buffer.data(),
                                 static_cast<int>(buffer.size()));
  return {buffer.data(), static_cast<std::size_t>(length)};
}

TEST(StringTable, HoldsEveryMessageExactlyAndNothingElse) {
  for (int id = 0; id < 256; ++id) {
    std::array<char, 1024> buffer{};
    const bool isMessage =
        std::ranges::find(kAllMessageIds, static_cast<MessageId>(id)) != kAllMessageIds.end();
    EXPECT_EQ(StringResource(id, buffer),
              isMessage ? MessageText(static_cast<MessageId>(id)) : std::string_view())
        << "string " << id;
  }
}

}  // namespace
}  // namespace quillmere
