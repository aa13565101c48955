// The editor dialog as the installer meets it: the window of template 102 in pixels, the keys,
// the check-box rules, "Go", the message boxes, and what goes when the window goes.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QtTest>
#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>

#include "platform/profile_store.h"
#include "support/fake_library_loader.h"
#include "support/faulty_file_system.h"
#include "support/temp_folder.h"
#include "ui/message_box.h"
#include "ui/module_editor_dialog.h"
#include "ui/template_builder.h"

using quillmere::MessageAnswer;
using quillmere::MessageButtons;
using quillmere::MessageId;

namespace {

// An executable's place in a temporary folder with "Printer Commands" beside it, the real
// profile store, a library loader double, and a message box runner that records every box as
// "<message> <ok|yes/no> <owned|alone>" and answers it other than Yes.
struct Bench {
  Bench() { files.executablePath = folder.PathOf("quillmere"); }

  void Write(const std::string& name, std::string_view text) const {
    folder.Write("Printer Commands/" + name, text);
  }
  [[nodiscard]] std::string Read(const std::string& name) const {
    return folder.Read("Printer Commands/" + name);
  }
  [[nodiscard]] QWidget* Control(int id) const { return quillmere::ControlById(*dialog, id); }

  // A base module with a Form Feed single command and a GS V cut-paper record bound to
  // CutPaper of the module library CutLib.dll beside it.
  void WriteEpsonBase() {
    Write("EpsonBase.ini",
          "[Main]\r\nModule_Name=EpsonBase\r\nUseDll=1,CutLib.dll\r\nC-Num=1\r\nS-Num=1\r\n"
          "M-Num=1\r\n[ChangeLine-Command]\r\n1=1,LF\r\n[Single-Command]\r\n1=1,FF,1,0\r\n"
          "[Mutli-Command]\r\n1=GS-Command,GS,1\r\n[GS-Command]\r\n1=2,GS,V,3,CutPaper,0,TRAN_"
          "STOP\r\n");
    Write("CutLib.dll", "stands in for the module library");
    libraries.Add(folder.PathOf("Printer Commands/CutLib.dll"), {"CutPaper"});
  }

  // The dialog's one modal run; `steps` run inside it once the event loop is up. Gives how it
  // ended ("OK", "cancel", or "open" when the steps left it open) and the boxes shown.
  QString Run(const std::function<void()>& steps = [] {}) {
    QTimer::singleShot(0, dialog.get(), [&] {
      shown = dialog->isVisible();
      steps();
      if (dialog->isVisible()) {
        dialog->done(-1);
      }
    });
    const int result = dialog->exec();
    return (QStringList{result == QDialog::Accepted   ? "OK"
                        : result == QDialog::Rejected ? "cancel"
                                                      : "open"} +
            boxes)
        .join(' ');
  }

  quillmere::testing::TempFolder folder;
  quillmere::testing::FaultyFileSystem files;
  std::unique_ptr<quillmere::ProfileStore> store = quillmere::MakeProfileStore(files);
  quillmere::testing::FakeLibraryLoader libraries;
  quillmere::PlatformServices services{*store, files, libraries};
  QStringList boxes;
  bool shown = false;  // whether the window was up when the run's event loop began
  std::unique_ptr<quillmere::ModuleEditorDialog> dialog =
      std::make_unique<quillmere::ModuleEditorDialog>(
          services, [this](QWidget* owner, MessageId id, MessageButtons buttons) {
            boxes << QStringLiteral("%1 %2 %3")
                         .arg(static_cast<int>(id))
                         .arg(buttons == MessageButtons::kOk ? "ok" : "yes/no")
                         .arg(owner == dialog.get() ? "owned" : "alone");
            return MessageAnswer::kOther;
          });
};

// The Windows dialog manager's conversion: the horizontal base unit is the average width of
// "A".."z" rounded, the vertical one the font's height; MulDiv rounds half away from zero.
struct BaseUnits {
  int horizontal;
  int vertical;
};

BaseUnits UnitsOf(const QFont& font) {
  const QFontMetrics metrics(font);
  const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  return {(metrics.horizontalAdvance(alphabet) / 26 + 1) / 2, metrics.height()};
}

QRect Pixels(QRect units, BaseUnits base) {
  const auto scaled = [](int value, int unit, int divisor) {
    return static_cast<int>(std::lround(static_cast<double>(value) * unit / divisor));
  };
  return {scaled(units.x(), base.horizontal, 4), scaled(units.y(), base.vertical, 8),
          scaled(units.width(), base.horizontal, 4), scaled(units.height(), base.vertical, 8)};
}

bool WithinAPixel(QRect got, QRect want) {
  const int gaps[] = {got.x() - want.x(), got.y() - want.y(), got.width() - want.width(),
                      got.height() - want.height()};
  return std::all_of(std::begin(gaps), std::end(gaps), [](int gap) { return std::abs(gap) <= 1; });
}

enum Kind { kBox, kList, kCheck, kEdit, kButton, kLabel };

// The kind the template names, with the style it gives: plain group boxes, a list without
// typing, two-state check boxes, framed edits, no default button, left-aligned plain text.
bool IsKind(QWidget* control, Kind kind) {
  auto* box = qobject_cast<QGroupBox*>(control);
  auto* list = qobject_cast<QComboBox*>(control);
  auto* check = qobject_cast<QCheckBox*>(control);
  auto* edit = qobject_cast<QLineEdit*>(control);
  auto* button = qobject_cast<QPushButton*>(control);
  auto* label = qobject_cast<QLabel*>(control);
  const bool kinds[] = {
      box != nullptr && !box->isCheckable(),
      list != nullptr && !list->isEditable(),
      check != nullptr && !check->isTristate(),
      edit != nullptr && edit->hasFrame(),
      button != nullptr && !button->isDefault() && !button->autoDefault(),
      label != nullptr && label->textFormat() == Qt::PlainText && label->wordWrap() &&
          (label->alignment() & Qt::AlignHorizontal_Mask) == Qt::AlignLeft,
  };
  return kinds[kind];
}

// Template 102's controls in template order, in dialog units, with the template place of the
// group box each lies in (0: none).
const struct {
  Kind kind;
  int id;
  const char* text;
  QRect units;
  int groupBox;
} kControls[] = {
    {kBox, -1, "1.Select Base Printer Command", {5, 1, 176, 52}, 0},
    {kList, 1000, "", {17, 17, 150, 73}, 1},
    {kBox, -1, "2. Transactions Void", {5, 56, 176, 52}, 0},
    {kCheck, 1002, "Use Form Feed (0x0C)", {19, 131, 87, 10}, 5},
    {kBox, -1, "3. Transactions Stop", {6, 112, 176, 88}, 0},
    {kEdit, 1003, "", {17, 69, 150, 14}, 3},
    {kEdit, 1004, "", {18, 165, 150, 14}, 5},
    {kEdit, 1005, "", {201, 15, 98, 14}, 14},
    {kButton, 1007, "Go", {201, 77, 98, 14}, 15},
    {kLabel, -1, "e.g. Epson_1 ", {205, 38, 44, 8}, 14},
    {kLabel, -1, "e.g. Void or Cancel (Be careful of case sensitive)", {18, 88, 155, 15}, 3},
    {kLabel, -1, "e.g. Cash or Change (Be careful of case sensitive)", {18, 186, 157, 10}, 5},
    {kLabel, -1, "(2).Modify POS setting to new POS module.", {202, 151, 102, 15}, 16},
    {kBox, -1, "4.New POS Module Name", {193, 1, 115, 52}, 0},
    {kBox, -1, "5.Save It", {193, 56, 115, 52}, 0},
    {kBox, -1, "6.After Save", {193, 112, 115, 80}, 0},
    {kLabel, -1, "(1).Reboot Vantorel.", {202, 131, 78, 11}, 16},
    {kCheck, 1001, "Use CutPaper transactions stop (Epson only)", {19, 148, 153, 10}, 5},
};

QWidget* AtTemplatePlace(const QWidget& dialog, int place) {
  for (QWidget* child : dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (child->property(quillmere::kTemplateIndexProperty).toInt() == place) {
      return child;
    }
  }
  return nullptr;
}

// Failures name the row they come from.
#define COMPARE_ROW(row, actual, expected) \
  QCOMPARE(QString(row) + ": " + (actual), QString(row) + ": " + (expected))

}  // namespace

class DialogTest : public QObject {
  Q_OBJECT

 private slots:
  // Every control in pixels as the dialog manager places it, each inside its group box and in
  // front of it; the closed list is as high as the platform draws one, 13/8 of the font height.
  void controls() {
    Bench bench;
    const BaseUnits base = UnitsOf(bench.dialog->font());
    const QObjectList stacking = bench.dialog->children();
    QCOMPARE(bench.dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).size(), 18);
    for (int place = 1; place <= 18; ++place) {
      const auto& row = kControls[place - 1];
      QWidget* control = AtTemplatePlace(*bench.dialog, place);
      const QByteArray where = "control " + QByteArray::number(place);
      QVERIFY2(control != nullptr && IsKind(control, row.kind), where);
      QCOMPARE(control->property("controlId").toInt(), row.id);
      const char* text = row.kind == kBox ? "title" : row.kind == kList ? "currentText" : "text";
      QCOMPARE(control->property(text).toString(), QString::fromUtf8(row.text));
      QRect expected = Pixels(row.units, base);
      if (row.kind == kList) {
        expected.setHeight(base.vertical * 13 / 8);
      }
      QVERIFY2(WithinAPixel(control->geometry(), expected), where);
      if (row.groupBox != 0) {
        QWidget* frame = AtTemplatePlace(*bench.dialog, row.groupBox);
        QVERIFY2(frame->geometry().contains(control->geometry()), where);
        QVERIFY2(stacking.indexOf(frame) < stacking.indexOf(control), where);
      }
    }
  }

  // Caption, font and fixed size of the template; a title bar with the window menu and a close
  // box only; no owner, so the window has its own task-bar entry.
  void window() {
    Bench bench;
    const QDialog& dialog = *bench.dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Quillmere"));
    QCOMPARE(dialog.font().family(), QStringLiteral("Arial"));
    QCOMPARE(dialog.font().pointSize(), 9);
    QVERIFY(dialog.parentWidget() == nullptr);
    const QSize size = Pixels({0, 0, 318, 210}, UnitsOf(dialog.font())).size();
    QCOMPARE(dialog.minimumSize(), size);
    QCOMPARE(dialog.maximumSize(), size);
    const Qt::WindowFlags flags = dialog.windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowSystemMenuHint) && flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
  }

  // The window opens centred, with its icons, on the base list: lines in the folder's order as
  // the 8-bit names read, none chosen; Tab then follows the template's order.
  void opensOnTheBaseList() {
    Bench bench;
    bench.Write("a.ini", "[Main]\r\nModule_Name=Zeta\r\n");
    bench.Write("b.ini", "[Main]\r\nModule_Name=Caf\xC3\xA9\r\n");
    QStringList lines;
    QList<int> visited;
    QPoint offCentre;
    QList<QSize> icons;
    bench.Run([&] {
      auto* list = qobject_cast<QComboBox*>(bench.Control(1000));
      for (int i = 0; i < list->count(); ++i) {
        lines << list->itemText(i);
      }
      lines << QString::number(list->currentIndex());
      offCentre = bench.dialog->frameGeometry().center() -
                  bench.dialog->screen()->availableGeometry().center();
      icons = bench.dialog->windowIcon().availableSizes();
      for (QWidget* focused = bench.dialog->focusWidget(); focused != nullptr && visited.size() < 8;
           focused = bench.dialog->focusWidget()) {
        visited << focused->property("controlId").toInt();
        QTest::keyClick(focused, Qt::Key_Tab);
      }
    });
    QCOMPARE(lines, (QStringList{"Zeta", QString::fromUtf8("Caf\xC3\xA9"), "-1"}));
    QVERIFY(offCentre.manhattanLength() <= 2);
    QCOMPARE(icons, (QList<QSize>{{16, 16}, {32, 32}, {48, 48}, {256, 256}}));
    QCOMPARE(visited, (QList<int>{1000, 1002, 1003, 1004, 1005, 1007, 1001, 1000}));
  }

  // Either stop option, checked by mouse or Space, empties and disables the stop keyword and
  // unchecks and disables the other option; unchecked, it gives both back, but not the text.
  // The void keyword is never theirs. A state reads "stop:<text><+ enabled|- disabled>
  // cut:<checked><+|-> ff:<checked><+|->".
  void checkBoxRules() {
    const struct {
      const char* actions;
      const char* state;
    } rows[] = {
        {"type:Cash", "stop:Cash+ cut:0+ ff:0+"},
        {"type:Cash click:ff", "stop:- cut:0- ff:1+"},
        {"type:Cash click:ff click:ff", "stop:+ cut:0+ ff:0+"},
        {"type:Cash click:cut", "stop:- cut:1+ ff:0-"},
        {"type:Cash click:cut click:cut", "stop:+ cut:0+ ff:0+"},
        {"type:Cash space:ff", "stop:- cut:0- ff:1+"},
        {"type:Cash space:cut", "stop:- cut:1+ ff:0-"},
        {"click:cut click:ff space:ff", "stop:- cut:1+ ff:0-"},
        {"click:ff click:cut space:cut", "stop:- cut:0- ff:1+"},
        {"click:cut click:cut click:ff", "stop:- cut:0- ff:1+"},
        {"click:ff click:ff type:Change", "stop:Change+ cut:0+ ff:0+"},
    };
    for (const auto& row : rows) {
      Bench bench;
      bench.Write("a.ini", "[Main]\r\nModule_Name=A\r\n");
      QWidget* voidKeyword = bench.Control(1003);
      auto* stop = qobject_cast<QLineEdit*>(bench.Control(1004));
      auto* cut = qobject_cast<QCheckBox*>(bench.Control(1001));
      auto* formFeed = qobject_cast<QCheckBox*>(bench.Control(1002));
      bench.Run([&] {
        QTest::keyClicks(voidKeyword, QStringLiteral("Void"));
        for (const QString& action : QString(row.actions).split(' ')) {
          const QString verb = action.section(':', 0, 0);
          const QString what = action.section(':', 1);
          QWidget* target = verb == "type"  ? static_cast<QWidget*>(stop)
                            : what == "cut" ? cut
                                            : formFeed;
          target->setFocus();
          if (verb == "type") {
            QTest::keyClicks(target, what);
          } else if (verb == "click") {
            QTest::mouseClick(target, Qt::LeftButton);
          } else {
            QTest::keyClick(target, Qt::Key_Space);
          }
        }
      });
      const auto sign = [](const QWidget* control) { return control->isEnabled() ? "+" : "-"; };
      COMPARE_ROW(row.actions,
                  "stop:" + stop->text() + sign(stop) +
                      " cut:" + QString::number(cut->isChecked()) + sign(cut) +
                      " ff:" + QString::number(formFeed->isChecked()) + sign(formFeed),
                  row.state);
      COMPARE_ROW(row.actions, qobject_cast<QLineEdit*>(voidKeyword)->text() + sign(voidKeyword),
                  "Void+");
      COMPARE_ROW(row.actions, bench.boxes.join(' '), "");
    }
  }

  // With the new name typed, Enter anywhere but on "Go" is the OK action, which derives nothing
  // although a base is chosen; Escape and the close box are the cancel action. "Go" pressed
  // with no base chosen shows message 3 and the dialog stays open. Nothing is written, and
  // what was typed stays. (Control 0 is the close box; key 0 a mouse click.)
  void keys() {
    const struct {
      const char* name;
      bool chooseBase;
      int control;
      int key;
      const char* outcome;
    } rows[] = {
        {"Enter in the void keyword", true, 1003, Qt::Key_Return, "OK"},
        {"Enter in the stop keyword", true, 1004, Qt::Key_Return, "OK"},
        {"Enter in the new module name", true, 1005, Qt::Key_Return, "OK"},
        {"keypad Enter in the new module name", true, 1005, Qt::Key_Enter, "OK"},
        {"Enter on the base list", true, 1000, Qt::Key_Return, "OK"},
        {"Enter on the cut paper option", true, 1001, Qt::Key_Return, "OK"},
        {"Escape in an edit field", true, 1003, Qt::Key_Escape, "cancel"},
        {"Escape on Go", true, 1007, Qt::Key_Escape, "cancel"},
        {"the close box", true, 0, 0, "cancel"},
        {"Go clicked, nothing chosen", false, 1007, 0, "open 3 ok owned"},
        {"Enter on Go, nothing chosen", false, 1007, Qt::Key_Return, "open 3 ok owned"},
        {"Space on Go, nothing chosen", false, 1007, Qt::Key_Space, "open 3 ok owned"},
    };
    for (const auto& row : rows) {
      Bench bench;
      bench.WriteEpsonBase();
      const auto before = bench.folder.Snapshot();
      const QString outcome = bench.Run([&] {
        if (row.chooseBase) {
          qobject_cast<QComboBox*>(bench.Control(1000))->setCurrentIndex(0);
        }
        QTest::keyClicks(bench.Control(1005), QStringLiteral("Epson_1"));
        QTest::keyClicks(bench.Control(1003), QStringLiteral("Void"));
        QWidget* target = bench.Control(row.control);
        if (target == nullptr) {
          bench.dialog->close();
        } else if (row.key == 0) {
          QTest::mouseClick(target, Qt::LeftButton);
        } else {
          target->setFocus();
          const bool keypad = row.key == Qt::Key_Enter;
          QTest::keyClick(target, static_cast<Qt::Key>(row.key),
                          keypad ? Qt::KeypadModifier : Qt::NoModifier);
        }
      });
      COMPARE_ROW(row.name, outcome, row.outcome);
      QVERIFY2(bench.folder.Snapshot() == before, row.name);
      COMPARE_ROW(row.name, qobject_cast<QLineEdit*>(bench.Control(1005))->text(), "Epson_1");
    }
  }

  // Nothing to offer: the box stands by itself and the run ends with the cancel action before
  // the window is ever shown.
  void scanFailureEndsBeforeShowing() {
    for (const bool folderThere : {false, true}) {
      Bench bench;
      if (folderThere) {
        bench.folder.MakeFolder("Printer Commands");
      }
      QCOMPARE(bench.Run(), folderThere ? "cancel 2 ok alone" : "cancel 1 ok alone");
      QVERIFY(!bench.shown);
    }
  }

  // "Go" with everything filled in writes the new module ("!" marks a line that must not be
  // there), leaves the base alone, says "Success" and ends with OK. The loaded base module and
  // its library, and the catalogue, live as long as the window and no longer.
  void wholeDerivation() {
    const QString accented = QString::fromUtf8("Caisse_\xC3\xA9");
    const struct {
      QString name;
      const char* stop;
      int option;
      QString lines;
    } rows[] = {
        {"Epson_1", "Cash", 0, "Module_Name=Epson_1|!EpsonBase|V,o,i,d|4,C,a,s,h,1,0,0,TRAN_STOP"},
        {"Epson_2", "Cash", 1002, "Module_Name=Epson_2|4,V,o,i,d,1,0,0,TRAN_VOID|!C,a,s,h"},
        {accented, "", 1001, "Module_Name=" + accented + "|4,V,o,i,d,1,0,0,TRAN_VOID"},
    };
    for (const auto& row : rows) {
      Bench bench;
      bench.WriteEpsonBase();
      const std::string base = bench.Read("EpsonBase.ini");
      bool heldAfterGo = false;
      const QString outcome = bench.Run([&] {
        heldAfterGo = bench.dialog->BaseCatalogue().entries.size() == 1;
        QWidget* list = bench.Control(1000);
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Down);
        qobject_cast<QLineEdit*>(bench.Control(1005))->insert(row.name);
        QTest::keyClicks(bench.Control(1003), QStringLiteral("Void"));
        QTest::keyClicks(bench.Control(1004), row.stop);
        if (row.option != 0) {
          QTest::mouseClick(bench.Control(row.option), Qt::LeftButton);
        }
        QTest::mouseClick(bench.Control(1007), Qt::LeftButton);
        heldAfterGo =
            heldAfterGo && bench.dialog->HoldsLoader() && bench.libraries.LiveLibraries() == 1;
      });
      COMPARE_ROW(row.name, outcome, "OK 9 ok owned");
      const std::string written = bench.Read(row.name.toStdString() + ".ini");
      for (const QString& line : row.lines.split('|')) {
        const bool absent = line.startsWith('!');
        const std::string text = line.mid(absent ? 1 : 0).toStdString();
        QVERIFY2((written.find(text) == std::string::npos) == absent, qPrintable(line));
      }
      QVERIFY(bench.Read("EpsonBase.ini") == base);
      QVERIFY(heldAfterGo);
      QVERIFY(bench.dialog->BaseCatalogue().entries.empty() && !bench.dialog->HoldsLoader());
      QCOMPARE(bench.libraries.LiveLibraries(), 0);
    }
  }

  // The box a user sees, read as "caption|text|icon|buttons|modality|answer": the executable's
  // name, the table's text, the warning icon, modal; Yes/No boxes start on Yes, and Escape and
  // the close box answer No.
  void realMessageBox() {
    const QString caption = QStringLiteral("dialog_tests|");
    const QString overwrite = caption +
                              "the ini file you want to save is existed.\nDo you want to over "
                              "write it?|warning|Yes No|modal|";
    const struct {
      MessageId id;
      MessageButtons buttons;
      const char* answer;
      QString seen;
    } rows[] = {
        {MessageId::kSelectBase, MessageButtons::kOk, "enter",
         caption + "Please select a base printer command|warning|OK|modal|other"},
        {MessageId::kSuccess, MessageButtons::kOk, "escape",
         caption + "Success|warning|OK|modal|other"},
        {MessageId::kOverwriteQuestion, MessageButtons::kYesNo, "enter", overwrite + "Yes"},
        {MessageId::kOverwriteQuestion, MessageButtons::kYesNo, "escape", overwrite + "other"},
        {MessageId::kOverwriteQuestion, MessageButtons::kYesNo, "close", overwrite + "other"},
    };
    for (const auto& row : rows) {
      QStringList seen;
      QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box != nullptr);
        const QMessageBox::StandardButtons buttons = box->standardButtons();
        seen << box->windowTitle() << box->text()
             << (box->icon() == QMessageBox::Warning ? "warning" : "other icon")
             << (buttons == (QMessageBox::Yes | QMessageBox::No) ? "Yes No"
                 : buttons == QMessageBox::Ok                    ? "OK"
                                                                 : "other buttons")
             << (box->isModal() ? "modal" : "modeless");
        if (QString(row.answer) == "close") {
          box->close();
        } else {
          QTest::keyClick(box, QString(row.answer) == "enter" ? Qt::Key_Return : Qt::Key_Escape);
        }
      });
      const MessageAnswer answer = quillmere::RunMessageBox(nullptr, row.id, row.buttons);
      seen << (answer == MessageAnswer::kYes ? "Yes" : "other");
      COMPARE_ROW(row.answer, seen.join('|'), row.seen);
    }
  }
};

QTEST_MAIN(DialogTest)
#include "dialog_test.moc"
