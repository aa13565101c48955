#include "module/command_record.h"

#include <bit>
#include <cstring>

namespace quillmere {

static_assert(std::endian::native == std::endian::little,
              "a block's address keeps its lowest byte in the first byte of its room");

RecordBytes::RecordBytes(std::span<const std::uint8_t> bytes) {
  if (bytes.empty()) {
    return;
  }
  if (bytes.size() <= kInline) {
    storage_[0] = static_cast<std::uint8_t>(bytes.size() * 2 + 1);
    std::memcpy(storage_.data() + 1, bytes.data(), bytes.size());
    return;
  }
  const auto length = static_cast<std::uint32_t>(bytes.size());
  std::uint8_t* block = new std::uint8_t[kLengthSize + bytes.size()];
  std::memcpy(block, &length, kLengthSize);
  std::memcpy(block + kLengthSize, bytes.data(), bytes.size());
  std::memcpy(storage_.data(), &block, sizeof block);
}

RecordBytes::RecordBytes(RecordBytes&& other) noexcept : storage_(other.storage_) {
  other.storage_ = {};
}

RecordBytes& RecordBytes::operator=(RecordBytes&& other) noexcept {
  if (this != &other) {
    Free();
    storage_ = other.storage_;
    other.storage_ = {};
  }
  return *this;
}

RecordBytes::~RecordBytes() {
  Free();
}

std::uint8_t* RecordBytes::Block() const {
  std::uint8_t* block = nullptr;
  std::memcpy(&block, storage_.data(), sizeof block);
  return block;
}

void RecordBytes::Free() {
  if (!IsInline()) {
    delete[] Block();
  }
  storage_ = {};
}

std::size_t RecordBytes::size() const {
  if (IsInline()) {
    return storage_[0] / 2U;
  }
  std::uint32_t length = 0;
  if (const std::uint8_t* block = Block(); block != nullptr) {
    std::memcpy(&length, block, kLengthSize);
  }
  return length;
}

const std::uint8_t* RecordBytes::data() const {
  if (IsInline()) {
    return storage_.data() + 1;
  }
  const std::uint8_t* block = Block();
  return block == nullptr ? nullptr : block + kLengthSize;
}

RecordText::RecordText(std::string_view text) {
  if (text.empty()) {
    return;
  }
  const auto length = static_cast<std::uint32_t>(text.size());
  block_ = std::make_unique_for_overwrite<char[]>(kLengthSize + text.size() + 1);
  std::memcpy(block_.get(), &length, kLengthSize);
  std::memcpy(block_.get() + kLengthSize, text.data(), text.size());
  block_[kLengthSize + text.size()] = '\0';
}

std::string_view RecordText::operator*() const {
  if (block_ == nullptr) {
    return {};
  }
  std::uint32_t length = 0;
  std::memcpy(&length, block_.get(), kLengthSize);
  return {block_.get() + kLengthSize, length};
}

}  // namespace quillmere
