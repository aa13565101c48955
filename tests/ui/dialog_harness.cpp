#include "ui/dialog_harness.h"

#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QVariant>
#include <QWidget>

#include "support/ini_text.h"
#include "ui/template_builder.h"

namespace quillmere::testing {
namespace {

// Counts the dialog's Show events: a dialog whose scan failed must never be shown.
class ShowCounter final : public QObject {
 public:
  ShowCounter(QObject& parent, int& count) : QObject(&parent), count_(count) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show) {
      ++count_;
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  int& count_;
};

}  // namespace

DialogHarness::DialogHarness()
    : store(MakeProfileStore(files)), services_{*store, files, libraries} {
  files.executablePath = folder.PathOf("quillmere");
}

DialogHarness::~DialogHarness() = default;

void DialogHarness::WriteModule(std::string_view fileName, std::string_view text) const {
  folder.Write("Printer Commands/" + std::string(fileName), text);
}

std::string DialogHarness::ModuleFolder() const {
  return folder.PathOf("Printer Commands");
}

ModuleEditorDialog& DialogHarness::Dialog() {
  if (!dialog_) {
    dialog_ = std::make_unique<ModuleEditorDialog>(
        services_, [this](QWidget* owner, MessageId id, MessageButtons buttons) {
          messages.push_back({id, buttons, owner == dialog_.get()});
          if (buttons == MessageButtons::kOk || answers.empty()) {
            return MessageAnswer::kOther;
          }
          const MessageAnswer answer = answers.front();
          answers.pop_front();
          return answer;
        });
    dialog_->installEventFilter(new ShowCounter(*dialog_, timesShown));
  }
  return *dialog_;
}

int DialogHarness::Run(const std::function<void()>& steps) {
  ModuleEditorDialog& dialog = Dialog();
  if (steps) {
    QTimer::singleShot(0, &dialog, [&dialog, steps] {
      steps();
      if (dialog.isVisible()) {
        dialog.done(kLeftOpen);
      }
    });
  }
  return dialog.exec();
}

QWidget* DialogHarness::Control(int id) {
  return ControlById(Dialog(), id);
}

QWidget* DialogHarness::TemplateControl(int index) {
  const QList<QWidget*> children = Dialog().findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
  for (QWidget* child : children) {
    if (child->property(kTemplateIndexProperty).toInt() == index) {
      return child;
    }
  }
  return nullptr;
}

void WriteEpsonBase(DialogHarness& bench, std::string_view fileName, std::string_view moduleName) {
  bench.WriteModule(fileName, Lines({
                                  "[Main]",
                                  "Module_Name=" + std::string(moduleName),
                                  "UseDll=1,CutLib.dll",
                                  "C-Num=1",
                                  "S-Num=1",
                                  "M-Num=1",
                                  "[ChangeLine-Command]",
                                  "1=1,LF",
                                  "[Single-Command]",
                                  "1=1,FF,1,0",
                                  "[Mutli-Command]",
                                  "1=GS-Command,GS,1",
                                  "[GS-Command]",
                                  "1=2,GS,V,3,CutPaper,0,TRAN_STOP",
                              }));
  bench.WriteModule("CutLib.dll", "stands in for the module library");
  bench.libraries.Add(bench.ModuleFolder() + "/CutLib.dll", {"CutPaper"});
}

}  // namespace quillmere::testing
