// quillmere_probe: looks at what quillmere.exe shows and writes, from another process, so a
// script that drives the dialog with the keyboard can check it.
//   quillmere_probe list          the lines of the base list, one a line
//   quillmere_probe message       the text of the message box on screen
//   quillmere_probe keys <file>   every key of a module file as the profile functions read it
// The first two wait up to 30 seconds for their window, and exit 1 when it does not show.
#include <fcntl.h>
#include <io.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/windows_api.h"
#include "ui/editor_template.h"

namespace {

// The window class of every dialog and message box.
constexpr std::string_view kDialogClass = "#32770";
// The message box's text control.
constexpr int kMessageTextId = 0xFFFF;

// The caption of message boxes: the executable's name without its extension.
constexpr std::string_view kMessageCaption = "quillmere";

// A visible top-level dialog whose caption is exactly `caption`; FindWindow would ignore case,
// and the dialog's caption differs from the message boxes' only in case.
HWND VisibleDialog(std::string_view caption) {
  struct Search {
    std::string_view caption;
    HWND found = nullptr;
  } search{caption};
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto& wanted = *reinterpret_cast<Search*>(data);  // NOLINT(*-no-int-to-ptr)
        std::array<char, 256> text{};
        std::array<char, 16> windowClass{};
        const int length = GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
        GetClassNameA(window, windowClass.data(), static_cast<int>(windowClass.size()));
        if (IsWindowVisible(window) != FALSE &&
            std::string_view(windowClass.data()) == kDialogClass &&
            std::string_view(text.data(), static_cast<std::size_t>(length)) == wanted.caption) {
          wanted.found = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND WaitForVisibleWindow(std::string_view caption) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (std::chrono::steady_clock::now() < deadline) {
    if (const HWND window = VisibleDialog(caption); window != nullptr) {
      return window;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  std::cerr << "quillmere_probe: no window \"" << caption << "\" showed\n";
  return nullptr;
}

// The text in the system's code page. Wide messages, because Wine hands the ANSI form of a list
// line to another process as UTF-16.
std::string ToCodePage(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size,
                      nullptr, nullptr);
  return bytes;
}

std::string TextOf(HWND control, UINT message, WPARAM item) {
  std::array<wchar_t, 1024> text{};
  const LRESULT length =
      SendMessageW(control, message, item, reinterpret_cast<LPARAM>(text.data()));
  return ToCodePage(std::wstring(text.data(), length > 0 ? static_cast<std::size_t>(length) : 0));
}

int PrintListLines() {
  const HWND dialog = WaitForVisibleWindow(quillmere::kEditorTemplate.caption);
  if (dialog == nullptr) {
    return 1;
  }
  const HWND list = GetDlgItem(dialog, quillmere::kBaseListId);
  const LRESULT count = SendMessageW(list, CB_GETCOUNT, 0, 0);
  for (LRESULT line = 0; line < count; ++line) {
    std::cout << TextOf(list, CB_GETLBTEXT, static_cast<WPARAM>(line)) << '\n';
  }
  return 0;
}

int PrintMessage() {
  const HWND box = WaitForVisibleWindow(kMessageCaption);
  if (box == nullptr) {
    return 1;
  }
  std::cout << TextOf(GetDlgItem(box, kMessageTextId), WM_GETTEXT, 1024) << '\n';
  return 0;
}

// Names separated by NULs, an empty name ending the list, as the profile functions list them.
std::vector<std::string> NameList(const char* section, const char* file) {
  std::vector<char> buffer(1 << 16);
  const DWORD length = GetPrivateProfileStringA(section, nullptr, "", buffer.data(),
                                                static_cast<DWORD>(buffer.size()), file);
  std::vector<std::string> names;
  for (std::size_t start = 0; start < length && buffer[start] != '\0';) {
    names.emplace_back(buffer.data() + start);
    start += names.back().size() + 1;
  }
  return names;
}

// Section names come out as the file spells them; how a file lays out its lines does not show.
int PrintKeys(const char* file) {
  for (const std::string& section : NameList(nullptr, file)) {
    for (const std::string& key : NameList(section.c_str(), file)) {
      std::array<char, 4096> value{};
      GetPrivateProfileStringA(section.c_str(), key.c_str(), "", value.data(),
                               static_cast<DWORD>(value.size()), file);
      std::cout << '[' << section << "] " << key << '=' << value.data() << '\n';
    }
  }
  return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
  // Lines end in a line feed alone, as the script that reads them expects.
  _setmode(_fileno(stdout), _O_BINARY);
  const std::string_view command = argc >= 2 ? argv[1] : "";
  if (command == "list") {
    return PrintListLines();
  }
  if (command == "message") {
    return PrintMessage();
  }
  if (command == "keys" && argc == 3) {
    return PrintKeys(argv[2]);
  }
  std::cerr << "usage: quillmere_probe list | message | keys <file>\n";
  return 2;
}
