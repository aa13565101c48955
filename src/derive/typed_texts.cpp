#include "derive/typed_texts.h"

#include <variant>

#include "platform/code_page.h"

namespace quillmere {

std::optional<InputRefusal> TakeTypedTexts(const TypedTexts& typed, DeriveInputs& inputs) {
  const struct {
    std::string_view text;
    std::string& field;
    MessageId message;
    std::string_view what;
  } texts[] = {
      {typed.newModuleName, inputs.newModuleName, MessageId::kInvalidName, "the new module name"},
      {typed.voidKeyword, inputs.voidKeyword, MessageId::kKeywordNotInCodePage, "the Void keyword"},
      {typed.stopKeyword, inputs.stopKeyword, MessageId::kKeywordNotInCodePage, "the Stop keyword"},
  };
  for (const auto& [text, field, message, what] : texts) {
    codepage::Converted converted = codepage::FromUtf8(text, codepage::ActiveCodePage());
    if (auto* error = std::get_if<codepage::ConversionError>(&converted)) {
      return InputRefusal{message, std::string(what) + ": " + error->description};
    }
    field = std::move(std::get<std::string>(converted));
  }
  return std::nullopt;
}

}  // namespace quillmere
