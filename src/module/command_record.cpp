#include "module/command_record.h"

#include <algorithm>
#include <cstring>

namespace quillmere {

RecordBytes::RecordBytes(std::span<const std::uint8_t> bytes) {
  if (bytes.empty()) {
    return;
  }
  const auto length = static_cast<std::uint32_t>(bytes.size());
  block_ = std::make_unique_for_overwrite<std::uint8_t[]>(kLengthSize + bytes.size());
  std::memcpy(block_.get(), &length, kLengthSize);
  std::memcpy(block_.get() + kLengthSize, bytes.data(), bytes.size());
}

RecordBytes& RecordBytes::operator=(const RecordBytes& other) {
  if (this != &other) {
    *this = RecordBytes(other.Span());
  }
  return *this;
}

std::size_t RecordBytes::size() const {
  std::uint32_t length = 0;
  if (block_ != nullptr) {
    std::memcpy(&length, block_.get(), kLengthSize);
  }
  return length;
}

bool operator==(const RecordBytes& a, const RecordBytes& b) {
  return std::ranges::equal(a.Span(), b.Span());
}

RecordText::RecordText(std::string_view text) {
  if (text.empty()) {
    return;
  }
  text_ = std::make_unique_for_overwrite<char[]>(text.size() + 1);
  std::memcpy(text_.get(), text.data(), text.size());
  text_[text.size()] = '\0';
}

RecordText& RecordText::operator=(const RecordText& other) {
  if (this != &other) {
    *this = RecordText(other.value_or(""));
  }
  return *this;
}

}  // namespace quillmere
