// The shop's code page. Module files, module names and keywords are 8-bit text in the ANSI code
// page of the shop's Windows machine, the code page the register prints in too. The core keeps
// such text as bytes; whatever crosses its edge (the dialog's fields and list, the command line's
// arguments and output, JSON, the file name of a new module) is converted here, so that every
// front end converts alike. A character the code page cannot hold is refused and named, never
// replaced by "?".
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <variant>

namespace quillmere::codepage {

// A Windows code page number: 1252, 950, 65001 (UTF-8).
using CodePage = std::uint32_t;

inline constexpr CodePage kUtf8 = 65001;

// The ANSI code page Windows gives the locale `name` ("zh_TW.UTF-8" 950, "de_DE@euro" 1252,
// "sr_RS@latin" 1250, "ja" 932); 1252 for "C", "POSIX", an empty or an unknown name.
[[nodiscard]] CodePage CodePageOfLocale(std::string_view name);

// This machine's: the system's ANSI code page on Windows; elsewhere CodePageOfLocale of the first
// of LC_ALL, LC_CTYPE and LANG that is set and not empty.
[[nodiscard]] CodePage SystemCodePage();

// The code page of file names: the system's ANSI code page on Windows, whose ANSI file functions
// convert from it; UTF-8 elsewhere.
[[nodiscard]] CodePage FileSystemCodePage();

// True when text converts to and from `codePage` here.
[[nodiscard]] bool IsSupported(CodePage codePage);

// The shop's code page for this process: SystemCodePage() until a front end chooses another
// (the command line's --code-page). Chosen before any other thread starts.
[[nodiscard]] CodePage ActiveCodePage();
void SetActiveCodePage(CodePage codePage);  // `codePage` must be supported

// Chooses the active code page for a scope and gives the one before back at its end: a command
// run in process, or a test, leaves the process as it found it.
class ActiveCodePageScope {
 public:
  explicit ActiveCodePageScope(CodePage codePage) : before_(ActiveCodePage()) {
    SetActiveCodePage(codePage);
  }
  ~ActiveCodePageScope() { SetActiveCodePage(before_); }
  ActiveCodePageScope(const ActiveCodePageScope&) = delete;
  ActiveCodePageScope& operator=(const ActiveCodePageScope&) = delete;

 private:
  CodePage before_;
};

namespace detail {
// The active code page's lead bytes, looked up once per change of code page: the text helpers
// ask for every token of every value a load parses, so the question must cost a load, no call.
struct LeadByteTable {
  std::array<bool, 256> isLead{};
  bool any = false;
};
extern const LeadByteTable* activeLeadBytes;  // none until the active code page is first used
const LeadByteTable& SetUpActiveLeadBytes();
inline const LeadByteTable& ActiveLeadBytes() {
  const LeadByteTable* table = activeLeadBytes;
  return table != nullptr ? *table : SetUpActiveLeadBytes();
}
}  // namespace detail

// True when `byte` starts a double-byte character of the active code page.
[[nodiscard]] inline bool IsActiveLeadByte(std::uint8_t byte) {
  return detail::ActiveLeadBytes().isLead[byte];
}

// True when the active code page has double-byte characters at all.
[[nodiscard]] inline bool ActiveCodePageHasLeadBytes() {
  return detail::ActiveLeadBytes().any;
}

// What a conversion could not convert, in words for the user: "'Ω' (U+03A9) is not in code page
// 1252", "the byte 0x81 is no character of code page 1252".
struct ConversionError {
  std::string description;
};
using Converted = std::variant<std::string, ConversionError>;

// Bytes of `codePage` as UTF-8, or the first byte that starts no character of it.
[[nodiscard]] Converted ToUtf8(std::string_view bytes, CodePage codePage);

// UTF-8 as bytes of `codePage`, or the first character it cannot hold (or the first byte that
// is no UTF-8). A character is held only when it comes back as itself: no best fit, no "?".
[[nodiscard]] Converted FromUtf8(std::string_view utf8, CodePage codePage);

// `bytes` for showing: each stretch the code page defines goes to `text` as UTF-8, each byte that
// starts no character of it to `undefinedByte`, in order.
void Decode(std::string_view bytes, CodePage codePage,
            const std::function<void(std::string_view)>& text,
            const std::function<void(std::uint8_t)>& undefinedByte);

// `bytes` as UTF-8 for showing, with U+FFFD for each byte that starts no character.
[[nodiscard]] std::string ToUtf8ForDisplay(std::string_view bytes, CodePage codePage);

// Text of the active code page as a file name of this file system, and back.
[[nodiscard]] Converted TextToFileName(std::string_view text);
[[nodiscard]] Converted FileNameToText(std::string_view fileName);

// A path or a reason the system gave (file-system text) as UTF-8 for showing.
[[nodiscard]] std::string SystemTextToUtf8(std::string_view text);

// The length of the UTF-8 sequence of one character at `at` (1 for ASCII), or 0 when the bytes
// there are no UTF-8 (a stray continuation byte, an overlong form, a surrogate, a cut sequence).
[[nodiscard]] std::size_t Utf8SequenceLength(std::string_view text, std::size_t at);

}  // namespace quillmere::codepage
