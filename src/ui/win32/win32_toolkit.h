// The narrow toolkit of the core on the Windows dialog manager: message boxes from the string
// table, the dialog's OK and cancel actions, and the lines of the base list.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/toolkit.h"
#include "platform/windows_api.h"

namespace quillmere::win32 {

// The caption of every message box: the executable's file name without its extension.
[[nodiscard]] std::string ApplicationName();

class Win32Toolkit final : public Toolkit {
 public:
  // `okAction` is the dialog's own OK action, which takes the control values in before the
  // modal run ends.
  Win32Toolkit(HWND dialog, std::function<void()> okAction);

  // The text comes from the string table in the resources, the caption is ApplicationName().
  // The box is owned by the dialog once the dialog shows; while it initialises, unseen, the box
  // stands by itself.
  MessageAnswer ShowMessage(MessageId id, MessageButtons buttons) override;
  void EndWithOk() override;
  void EndWithCancel() override;
  void AddListLine(std::string_view text) override;

 private:
  HWND dialog_;
  std::function<void()> okAction_;
};

}  // namespace quillmere::win32
