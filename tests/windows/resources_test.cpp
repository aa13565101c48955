// The string table quillmere.exe carries, generated from the core's one message table: every
// message under its ID, exactly, and no other string.
#include <gtest/gtest.h>

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

// Every 16-bit string ID: the message table's text, or nothing where it has none.
TEST(StringTable, HoldsEveryMessageExactlyAndNothingElse) {
  for (int id = 0; id <= 0xFFFF; ++id) {
    std::array<char, 1024> buffer{};
    EXPECT_EQ(StringResource(id, buffer), MessageText(static_cast<MessageId>(id)))
        << "string " << id;
  }
}

}  // namespace
}  // namespace quillmere
