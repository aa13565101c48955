// The writes of one derivation into the new module file, key by key, in order until the first
// that fails: the three writers and the derive procedure share this, so a failed write is never
// followed by another that would build on it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/profile_store.h"

namespace quillmere {

class WriteSequence {
 public:
  // `store` and `path` must outlive the sequence.
  WriteSequence(ProfileStore& store, const std::string& path) : store_(store), path_(path) {}

  void Write(std::string_view section, std::string_view key, std::string_view value);
  // A key of a list, written as a plain decimal ("%d").
  void Write(std::string_view section, std::int32_t key, std::string_view value);

  // Runs `step`, which gives a WriteStatus, only while every earlier write succeeded.
  template <typename Step>
  void Then(Step step) {
    if (status_ == WriteStatus::kOk) {
      status_ = step();
    }
  }

  // kOk, or the status of the first write that did not succeed.
  [[nodiscard]] WriteStatus status() const { return status_; }

 private:
  ProfileStore& store_;
  const std::string& path_;
  WriteStatus status_ = WriteStatus::kOk;
};

// A count of section Main (C-Num, S-Num, M-Num) as the file holds it, below zero taken as 0. The
// writers count from the file, not from the records that loaded: a record that failed to load
// still holds its key.
[[nodiscard]] std::int32_t ReadFileCount(ProfileStore& store, std::string_view key,
                                         const std::string& path);

}  // namespace quillmere
