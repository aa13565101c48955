// An index of names that live elsewhere, in a file's bytes: open addressing over their hashes,
// each slot holding a position the caller turns back into its name, so the index allocates
// nothing per name. Names compare ignoring the case of A-Z/a-z, as section and key names do; the
// hash folds those letters, so names that match hash alike.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/text.h"

namespace quillmere {

class NameTable {
 public:
  [[nodiscard]] static std::uint32_t HashOf(std::string_view name) {
    std::uint32_t hash = 2166136261U;  // FNV-1a
    for (const char c : name) {
      hash = (hash ^ static_cast<std::uint8_t>(text::FoldAscii(c))) * 16777619U;
    }
    return hash;
  }

  // The position stored under `hash` for which `matches(position)` holds, or none.
  template <typename Matches>
  [[nodiscard]] std::optional<std::size_t> Find(std::uint32_t hash, Matches matches) const {
    if (slots_.empty()) {
      return std::nullopt;
    }
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask; slots_[i].used; i = (i + 1) & mask) {
      if (slots_[i].hash == hash && matches(slots_[i].position)) {
        return slots_[i].position;
      }
    }
    return std::nullopt;
  }

  // Stores `position` under `hash` unless a position that `matches` is stored already: the first
  // of a name wins. True when it was stored.
  template <typename Matches>
  bool AddFirst(std::uint32_t hash, std::size_t position, Matches matches) {
    if ((used_ + 1) * 2 > slots_.size()) {
      Grow();
    }
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = hash & mask;
    for (; slots_[i].used; i = (i + 1) & mask) {
      if (slots_[i].hash == hash && matches(slots_[i].position)) {
        return false;
      }
    }
    slots_[i] = Slot{position, hash, true};
    ++used_;
    return true;
  }

  void Clear() {
    slots_ = {};
    used_ = 0;
  }

 private:
  struct Slot {
    std::size_t position = 0;
    std::uint32_t hash = 0;
    bool used = false;
  };

  void Grow() {
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(old.empty() ? 16 : old.size() * 2, Slot{});
    const std::size_t mask = slots_.size() - 1;
    for (const Slot& slot : old) {
      if (slot.used) {
        std::size_t i = slot.hash & mask;
        while (slots_[i].used) {
          i = (i + 1) & mask;
        }
        slots_[i] = slot;
      }
    }
  }

  std::vector<Slot> slots_;
  std::size_t used_ = 0;
};

}  // namespace quillmere
