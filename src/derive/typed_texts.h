// What the user typed, in UTF-8 (the dialog's fields, the command line's arguments), taken into
// a derivation's inputs as text of the shop's code page. A character the code page cannot hold
// refuses the input with a message that names it, instead of reaching a module file as "?".
// Every front end takes its typed texts through here.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "derive/derive_module.h"
#include "platform/messages.h"

namespace quillmere {

struct TypedTexts {
  std::string_view newModuleName;
  std::string_view voidKeyword;
  std::string_view stopKeyword;
};

// A message and its line of detail ("the Void keyword: 'Ω' (U+03A9) is not in code page 1252").
struct InputRefusal {
  MessageId message = MessageId::kInvalidName;
  std::string detail;
};

// Fills the name and the keywords of `inputs` with `typed` in the active code page, or gives the
// refusal of the first text that does not convert: message 13 for the name, 16 for a keyword.
[[nodiscard]] std::optional<InputRefusal> TakeTypedTexts(const TypedTexts& typed,
                                                         DeriveInputs& inputs);

}  // namespace quillmere
