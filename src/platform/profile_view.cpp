#include "platform/profile_view.h"

#include <algorithm>
#include <optional>

#include "platform/profile_rules.h"
#include "platform/text.h"

namespace quillmere {

void ProfileView::ReadList(std::string_view section, std::int32_t count,
                           const KeysPresent& onKeysPresent, const ListValue& onValue) const {
  std::vector<std::int32_t> present;
  if (count > 0) {
    for (const std::string& name : ReadKeyNames(section)) {
      if (const std::optional<std::int32_t> key = profile_rules::ListKey(name, count)) {
        present.push_back(*key);
      }
    }
    // A key may stand twice in a section; a read finds its first line, and it is given once.
    std::sort(present.begin(), present.end());
    present.erase(std::unique(present.begin(), present.end()), present.end());
  }
  onKeysPresent(present.size());
  for (const std::int32_t key : present) {
    const std::string value = ReadString(section, text::FormatDecimal(key), "");
    onValue(key, value);
  }
}

}  // namespace quillmere
