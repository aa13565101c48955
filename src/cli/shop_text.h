// Text of the shop's code page on the terminal: captures and module files hold bytes of the code
// page the register prints in, and the terminal speaks UTF-8. The capture commands convert only
// here, at their edge. Until the shop's code page can be chosen, it is Windows-1252.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "cli/arguments.h"

namespace quillmere::cli {

inline constexpr CommandOption kShopCodePageOption{
    "code-page", OptionKind::kValue, "N", "the shop's code page (1252, the one this build has)"};

// A usage error when --code-page names a code page this build cannot convert.
[[nodiscard]] std::optional<UsageError> CheckShopCodePage(const ParsedArguments& arguments);

// Bytes of the shop's code page as UTF-8; a byte the code page leaves undefined becomes U+FFFD.
[[nodiscard]] std::string ShopTextToUtf8(std::string_view bytes);

// UTF-8 as bytes of the shop's code page: a keyword typed on a UTF-8 machine, as the register
// would print it. None when a character is not in the code page or the text is no UTF-8.
[[nodiscard]] std::optional<std::string> ShopTextFromUtf8(std::string_view utf8);

}  // namespace quillmere::cli
