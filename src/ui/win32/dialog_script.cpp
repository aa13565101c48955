#include "ui/win32/dialog_script.h"

#include <string_view>

#include "platform/messages.h"

namespace quillmere {
namespace {

struct WindowClass {
  std::string_view name;
  std::string_view styles;
};

// The resource compiler adds WS_CHILD and WS_VISIBLE to every control.
WindowClass ClassOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::kGroupBox:
      return {"Button", "BS_GROUPBOX"};
    case ControlKind::kDropDownList:
      // No CBS_SORT: a line's index is its catalogue index.
      return {"ComboBox", "CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP"};
    case ControlKind::kCheckBox:
      return {"Button", "BS_AUTOCHECKBOX | WS_TABSTOP"};
    case ControlKind::kEdit:
      return {"Edit", "ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP"};
    case ControlKind::kPushButton:
      // Not BS_DEFPUSHBUTTON: Enter anywhere but on the button is the OK action.
      return {"Button", "BS_PUSHBUTTON | WS_TABSTOP"};
    case ControlKind::kLabel:
      return {"Static", "SS_LEFT | WS_GROUP"};
  }
  return {};
}

// A string literal of the resource script: quotes doubled, backslashes and control characters
// escaped as in C.
void WriteQuoted(std::ostream& out, std::string_view text) {
  out << '"';
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"') {
      out << "\"\"";
    } else if (c == '\\') {
      out << "\\\\";
    } else if (c == '\n') {
      out << "\\n";
    } else if (byte < 0x20U) {
      constexpr std::string_view kOctal = "01234567";
      out << '\\' << kOctal[(byte >> 6U) & 7U] << kOctal[(byte >> 3U) & 7U] << kOctal[byte & 7U];
    } else {
      out << c;
    }
  }
  out << '"';
}

}  // namespace

void WriteDialogTemplate(std::ostream& out, int resourceId, const DialogTemplate& dialog) {
  out << resourceId << " DIALOGEX 0, 0, " << dialog.width << ", " << dialog.height << '\n';
  // A modal frame with the system menu and its close box; no minimise or maximise box, no
  // sizing border, no centring style (the dialog centres itself as it starts).
  out << "STYLE DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU\n";
  out << "CAPTION ";
  WriteQuoted(out, dialog.caption);
  out << "\nFONT " << dialog.fontPointSize << ", ";
  WriteQuoted(out, dialog.fontFamily);
  out << ", 400, 0, 0x0\nBEGIN\n";
  for (const ControlTemplate& control : dialog.controls) {
    const WindowClass windowClass = ClassOf(control.kind);
    out << "  CONTROL ";
    WriteQuoted(out, control.text);
    out << ", " << control.id << ", ";
    WriteQuoted(out, windowClass.name);
    out << ", " << windowClass.styles << ", " << control.rect.x << ", " << control.rect.y << ", "
        << control.rect.width << ", " << control.rect.height << '\n';
  }
  out << "END\n";
}

void WriteStringTable(std::ostream& out) {
  out << "STRINGTABLE\nBEGIN\n";
  // String IDs are 16 bits wide; every ID the message table has a text for is a message.
  for (int id = 0; id <= 0xFFFF; ++id) {
    const std::string_view text = MessageText(static_cast<MessageId>(id));
    if (!text.empty()) {
      out << "  " << id << ", ";
      WriteQuoted(out, text);
      out << '\n';
    }
  }
  out << "END\n";
}

}  // namespace quillmere
