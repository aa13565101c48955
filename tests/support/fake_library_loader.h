// A module library loader double: "libraries" are paths mapped to the names they export, so a
// test chooses what loads and what binds without building a library file. It counts the
// libraries still held, so a test can see that releasing a module unloads its library.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <utility>

#include "platform/module_library.h"

namespace quillmere::testing {

class FakeLibraryLoader final : public LibraryLoader {
 public:
  using Names = std::set<std::string, std::less<>>;

  // Makes `path` load as a library exporting `exports`.
  void Add(const std::string& path, Names exports) { libraries_[path] = std::move(exports); }

  std::unique_ptr<ModuleLibrary> Load(const std::string& path) override {
    const auto found = libraries_.find(path);
    return found == libraries_.end() ? nullptr : std::make_unique<Library>(found->second, held_);
  }

  // Libraries handed out and not yet released: each holds a share of `held_`.
  [[nodiscard]] long LiveLibraries() const { return held_.use_count() - 1; }

 private:
  struct Library final : ModuleLibrary {
    Library(Names names, std::shared_ptr<int> share)
        : exports(std::move(names)), held(std::move(share)) {}
    [[nodiscard]] bool Exports(std::string_view name) const override {
      return exports.contains(name);
    }
    Names exports;
    std::shared_ptr<int> held;
  };

  std::map<std::string, Names> libraries_;
  std::shared_ptr<int> held_ = std::make_shared<int>();
};

}  // namespace quillmere::testing
