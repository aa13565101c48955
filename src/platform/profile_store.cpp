#include "platform/profile_store.h"

#include <utility>

namespace quillmere {
namespace {

// Every read passed on to the store, on the view's path.
class StoreView final : public ProfileView {
 public:
  StoreView(ProfileStore& store, std::string path) : store_(store), path_(std::move(path)) {}

  [[nodiscard]] std::string ReadString(std::string_view section, std::string_view key,
                                       std::string_view defaultValue) const override {
    return store_.ReadString(section, key, defaultValue, path_);
  }
  [[nodiscard]] std::int32_t ReadInt(std::string_view section, std::string_view key,
                                     std::int32_t defaultValue) const override {
    return store_.ReadInt(section, key, defaultValue, path_);
  }
  [[nodiscard]] std::vector<std::string> ReadKeyNames(std::string_view section) const override {
    return store_.ReadKeyNames(section, path_);
  }

 private:
  ProfileStore& store_;
  std::string path_;
};

}  // namespace

std::shared_ptr<const ProfileView> ProfileStore::View(const std::string& path) {
  return std::make_shared<StoreView>(*this, path);
}

}  // namespace quillmere
