// A module library loader double: "libraries" are paths mapped to the names they export, so a
// test chooses what loads and what binds without building a library file. It counts the loads
// and the libraries still held, so a test can see that releasing a module unloads its library.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/module_library.h"

namespace quillmere::testing {

class FakeLibraryLoader final : public LibraryLoader {
 public:
  // Makes `path` load as a library exporting `exports`.
  void Add(const std::string& path, std::set<std::string, std::less<>> exports) {
    libraries_[path] = std::move(exports);
  }

  std::unique_ptr<ModuleLibrary> Load(const std::string& path) override {
    loadedPaths.push_back(path);
    const auto found = libraries_.find(path);
    if (found == libraries_.end()) {
      return nullptr;
    }
    return std::make_unique<Library>(found->second, live_);
  }

  // Every path Load was called with, in order.
  std::vector<std::string> loadedPaths;

  [[nodiscard]] int LoadCalls() const { return static_cast<int>(loadedPaths.size()); }

  // Libraries handed out and not yet released.
  [[nodiscard]] int LiveLibraries() const { return *live_; }

 private:
  class Library final : public ModuleLibrary {
   public:
    Library(std::set<std::string, std::less<>> exports, std::shared_ptr<int> live)
        : exports_(std::move(exports)), live_(std::move(live)) {
      ++*live_;
    }
    ~Library() override { --*live_; }
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    [[nodiscard]] bool Exports(std::string_view name) const override {
      return exports_.find(name) != exports_.end();
    }

   private:
    std::set<std::string, std::less<>> exports_;
    std::shared_ptr<int> live_;  // shared, so a library may outlive its loader
  };

  std::map<std::string, std::set<std::string, std::less<>>> libraries_;
  std::shared_ptr<int> live_ = std::make_shared<int>(0);
};

}  // namespace quillmere::testing
