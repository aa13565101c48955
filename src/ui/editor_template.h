// Dialog template 102, the editor dialog as the installer knows it: caption, font, size and the
// 18 controls in template order (which is also the tab order), in dialog units. The Qt layer
// builds the window from this table, so the layout lives in one place.
#pragma once

#include <array>
#include <string_view>

namespace quillmere {

// Control IDs of dialog template 102.
inline constexpr int kBaseListId = 1000;
inline constexpr int kCutPaperOptionId = 1001;
inline constexpr int kFormFeedOptionId = 1002;
inline constexpr int kVoidKeywordId = 1003;
inline constexpr int kStopKeywordId = 1004;
inline constexpr int kNewModuleNameId = 1005;
inline constexpr int kGoButtonId = 1007;

enum class ControlKind {
  kGroupBox,
  kDropDownList,  // a drop-down list without typing; its height includes the dropped list
  kCheckBox,      // toggles itself when clicked
  kEdit,          // one line, with a border, scrolling sideways while typing
  kPushButton,    // never a default button
  kLabel,         // left-aligned static text
};

// Controls without an ID are never addressed.
inline constexpr int kNoControlId = -1;

// A rectangle in dialog units: 4 horizontal units make the average character width, 8 vertical
// units the font's height.
struct DialogUnitRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

struct ControlTemplate {
  ControlKind kind;
  int id;
  std::string_view text;
  DialogUnitRect rect;
};

struct DialogTemplate {
  std::string_view caption;
  std::string_view fontFamily;
  int fontPointSize;
  int width;  // client area, dialog units
  int height;
  std::array<ControlTemplate, 18> controls;
};

inline constexpr DialogTemplate kEditorTemplate{
    "Quillmere",
    "Arial",
    9,
    318,
    210,
    {{
        {ControlKind::kGroupBox, kNoControlId, "1.Select Base Printer Command", {5, 1, 176, 52}},
        {ControlKind::kDropDownList, kBaseListId, "", {17, 17, 150, 73}},
        {ControlKind::kGroupBox, kNoControlId, "2. Transactions Void", {5, 56, 176, 52}},
        {ControlKind::kCheckBox, kFormFeedOptionId, "Use Form Feed (0x0C)", {19, 131, 87, 10}},
        {ControlKind::kGroupBox, kNoControlId, "3. Transactions Stop", {6, 112, 176, 88}},
        {ControlKind::kEdit, kVoidKeywordId, "", {17, 69, 150, 14}},
        {ControlKind::kEdit, kStopKeywordId, "", {18, 165, 150, 14}},
        {ControlKind::kEdit, kNewModuleNameId, "", {201, 15, 98, 14}},
        {ControlKind::kPushButton, kGoButtonId, "Go", {201, 77, 98, 14}},
        {ControlKind::kLabel, kNoControlId, "e.g. Epson_1 ", {205, 38, 44, 8}},
        {ControlKind::kLabel,
         kNoControlId,
         "e.g. Void or Cancel (Be careful of case sensitive)",
         {18, 88, 155, 15}},
        {ControlKind::kLabel,
         kNoControlId,
         "e.g. Cash or Change (Be careful of case sensitive)",
         {18, 186, 157, 10}},
        {ControlKind::kLabel,
         kNoControlId,
         "(2).Modify POS setting to new POS module.",
         {202, 151, 102, 15}},
        {ControlKind::kGroupBox, kNoControlId, "4.New POS Module Name", {193, 1, 115, 52}},
        {ControlKind::kGroupBox, kNoControlId, "5.Save It", {193, 56, 115, 52}},
        {ControlKind::kGroupBox, kNoControlId, "6.After Save", {193, 112, 115, 80}},
        {ControlKind::kLabel, kNoControlId, "(1).Reboot Vantorel.", {202, 131, 78, 11}},
        {ControlKind::kCheckBox,
         kCutPaperOptionId,
         "Use CutPaper transactions stop (Epson only)",
         {19, 148, 153, 10}},
    }},
};

}  // namespace quillmere
