// The dialog toolkit operations that the logic calls (message boxes, ending the dialog, the base
// list), free of any toolkit, so the catalogue scan and the derivation run the same under the Qt
// dialog, the Windows dialog, the command-line tool and the tests. What a dialog does to its own
// controls stays with that dialog.
#pragma once

#include <span>
#include <string_view>

#include "platform/messages.h"

namespace quillmere {

enum class MessageButtons { kOk, kYesNo };
enum class MessageAnswer { kYes, kOther };

class Toolkit {
 public:
  virtual ~Toolkit() = default;
  Toolkit() = default;
  Toolkit(const Toolkit&) = delete;
  Toolkit& operator=(const Toolkit&) = delete;

  // A modal box with the message's text, the exclamation icon and the application's name as
  // caption, owned by the dialog; the answer Yes or another.
  virtual MessageAnswer ShowMessage(MessageId id, MessageButtons buttons) = 0;

  // The same box with one line of detail under the message's text, in UTF-8: what it is about
  // and where (the folder looked for, the reason the system gave, the file written). The text
  // stays the string table's. A toolkit that shows no detail shows the box alone.
  virtual MessageAnswer ShowDetailedMessage(MessageId id, MessageButtons buttons,
                                            std::string_view /*detail*/) {
    return ShowMessage(id, buttons);
  }

  // The OK action: control values taken into the data fields, then the modal run ends with OK.
  virtual void EndWithOk() = 0;

  // The cancel action: the modal run ends with Cancel; the controls are not read.
  virtual void EndWithCancel() = 0;

  // Appends a line to the base list; the list never sorts.
  virtual void AddListLine(std::string_view text) = 0;

  // Appends the lines in their order, as AddListLine on each would; a toolkit whose list takes
  // many lines faster at once does so.
  virtual void AddListLines(std::span<const std::string_view> lines) {
    for (const std::string_view line : lines) {
      AddListLine(line);
    }
  }
};

}  // namespace quillmere
