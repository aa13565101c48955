// A bounds-checked view of a library file's bytes, for the export-table readers. A library file
// comes from anywhere, so every offset and length in it is untrusted: each read here says
// whether the bytes it wants lie inside the view, and the arithmetic that checks it cannot
// overflow. Nothing here reads a byte outside the span it was given.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace quillmere::binary {

enum class Endian { kLittle, kBig };

// True when [offset, offset + length) lies inside a range of `size` bytes; no overflow.
[[nodiscard]] constexpr bool FitsIn(std::uint64_t size, std::uint64_t offset,
                                    std::uint64_t length) {
  return offset <= size && length <= size - offset;
}

class ByteReader {
 public:
  explicit ByteReader(std::span<const std::uint8_t> bytes, Endian endian = Endian::kLittle)
      : bytes_(bytes), endian_(endian) {}

  [[nodiscard]] std::size_t size() const { return bytes_.size(); }

  [[nodiscard]] bool Contains(std::uint64_t offset, std::uint64_t length) const {
    return FitsIn(bytes_.size(), offset, length);
  }

  [[nodiscard]] std::optional<std::uint8_t> U8(std::uint64_t offset) const {
    return Unsigned<std::uint8_t>(offset);
  }
  [[nodiscard]] std::optional<std::uint16_t> U16(std::uint64_t offset) const {
    return Unsigned<std::uint16_t>(offset);
  }
  [[nodiscard]] std::optional<std::uint32_t> U32(std::uint64_t offset) const {
    return Unsigned<std::uint32_t>(offset);
  }
  [[nodiscard]] std::optional<std::uint64_t> U64(std::uint64_t offset) const {
    return Unsigned<std::uint64_t>(offset);
  }

  // The bytes [offset, offset + length), or none when they do not all lie inside the view.
  [[nodiscard]] std::optional<ByteReader> Slice(std::uint64_t offset, std::uint64_t length) const {
    if (!Contains(offset, length)) {
      return std::nullopt;
    }
    return ByteReader(
        bytes_.subspan(static_cast<std::size_t>(offset), static_cast<std::size_t>(length)),
        endian_);
  }

  // The text from `offset` up to its terminating NUL (not included), or none when no NUL
  // follows inside the view: a name that runs off the end is no name.
  [[nodiscard]] std::optional<std::string_view> NulTerminatedText(std::uint64_t offset) const {
    if (offset >= bytes_.size()) {
      return std::nullopt;
    }
    const auto rest = bytes_.subspan(static_cast<std::size_t>(offset));
    for (std::size_t length = 0; length < rest.size(); ++length) {
      if (rest[length] == 0) {
        return std::string_view(reinterpret_cast<const char*>(rest.data()), length);
      }
    }
    return std::nullopt;
  }

 private:
  template <typename T>
  [[nodiscard]] std::optional<T> Unsigned(std::uint64_t offset) const {
    if (!Contains(offset, sizeof(T))) {
      return std::nullopt;
    }
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i) {
      const std::size_t at =
          static_cast<std::size_t>(offset) + (endian_ == Endian::kLittle ? sizeof(T) - 1 - i : i);
      value = (value << 8U) | bytes_[at];
    }
    return static_cast<T>(value);
  }

  std::span<const std::uint8_t> bytes_;
  Endian endian_;
};

}  // namespace quillmere::binary
