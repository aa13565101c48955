// The editor dialog as the installer meets it: the window of template 102 in pixels, the keys,
// the check-box rules, "Go", the message boxes, and what goes when the window goes.
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVariant>
#include <QtTest>
#include <cmath>

#include "platform/toolkit.h"
#include "support/ini_text.h"
#include "ui/dialog_harness.h"
#include "ui/message_box.h"
#include "ui/module_editor_dialog.h"

using quillmere::MessageAnswer;
using quillmere::MessageButtons;
using quillmere::MessageId;
using quillmere::testing::DialogHarness;
using quillmere::testing::kLeftOpen;
using quillmere::testing::Lines;
using quillmere::testing::WriteEpsonBase;

namespace {

enum class Kind { kGroupBox, kDropDownList, kCheckBox, kEdit, kPushButton, kLabel };

// The Windows dialog manager's base units for a font, and its conversion (MulDiv rounds half
// away from zero, as lround does).
struct BaseUnits {
  int horizontal;
  int vertical;
};

BaseUnits BaseUnitsFor(const QFont& font) {
  const QFontMetrics metrics(font);
  const int alphabet = metrics.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  return {(alphabet / 26 + 1) / 2, metrics.height()};
}

int Scaled(int dialogUnits, int baseUnit, int divisor) {
  return static_cast<int>(std::lround(static_cast<double>(dialogUnits) * baseUnit / divisor));
}

QRect ExpectedRect(int x, int y, int width, int height, BaseUnits units) {
  return {Scaled(x, units.horizontal, 4), Scaled(y, units.vertical, 8),
          Scaled(width, units.horizontal, 4), Scaled(height, units.vertical, 8)};
}

bool WithinAPixel(const QRect& actual, const QRect& expected) {
  return std::abs(actual.x() - expected.x()) <= 1 && std::abs(actual.y() - expected.y()) <= 1 &&
         std::abs(actual.width() - expected.width()) <= 1 &&
         std::abs(actual.height() - expected.height()) <= 1;
}

QString Describe(const QRect& rect) {
  return QStringLiteral("%1,%2 %3x%4")
      .arg(rect.x())
      .arg(rect.y())
      .arg(rect.width())
      .arg(rect.height());
}

QString TextOf(QWidget* widget) {
  if (auto* groupBox = qobject_cast<QGroupBox*>(widget)) {
    return groupBox->title();
  }
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    return button->text();
  }
  if (auto* label = qobject_cast<QLabel*>(widget)) {
    return label->text();
  }
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
    return edit->text();
  }
  if (auto* list = qobject_cast<QComboBox*>(widget)) {
    return list->currentText();
  }
  return QStringLiteral("<no text>");
}

int IdOf(const QWidget* widget) {
  return widget == nullptr ? 0 : widget->property("controlId").toInt();
}

QByteArray ReadBytes(const std::string& path) {
  QFile file(QString::fromStdString(path));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteNamedModule(DialogHarness& bench, std::string_view fileName, std::string_view name) {
  bench.WriteModule(fileName, Lines({"[Main]", "Module_Name=" + std::string(name), "S-Num=0"}));
}

}  // namespace

Q_DECLARE_METATYPE(Kind)
Q_DECLARE_METATYPE(quillmere::MessageId)
Q_DECLARE_METATYPE(quillmere::MessageButtons)
Q_DECLARE_METATYPE(quillmere::MessageAnswer)

class DialogTest : public QObject {
  Q_OBJECT

 private slots:
  void controls_data();
  void controls();
  void groupBoxes_data();
  void groupBoxes();
  void stepsReadTopDown();
  void window();
  void dropDownListHeight();
  void tabOrderAndInitialFocus();
  void checkBoxRules_data();
  void checkBoxRules();
  void enterTakesTheOkAction_data();
  void enterTakesTheOkAction();
  void cancelAction_data();
  void cancelAction();
  void goWithNothingSelected_data();
  void goWithNothingSelected();
  void listShowsModulesInListingOrder();
  void scanFailureEndsBeforeShowing_data();
  void scanFailureEndsBeforeShowing();
  void wholeDerivation_data();
  void wholeDerivation();
  void windowGoingReleasesCatalogueAndLoader();
  void realMessageBox_data();
  void realMessageBox();
};

// Template 102's controls, in template order, with kinds, IDs, texts and dialog units.
void DialogTest::controls_data() {
  QTest::addColumn<int>("index");
  QTest::addColumn<Kind>("kind");
  QTest::addColumn<int>("id");
  QTest::addColumn<QString>("text");
  QTest::addColumn<QRect>("units");

  const auto row = [](const char* name, int index, Kind kind, int id, const char* text,
                      QRect units) {
    QTest::newRow(name) << index << kind << id << QString::fromUtf8(text) << units;
  };
  row("1 step 1 group box", 1, Kind::kGroupBox, -1, "1.Select Base Printer Command",
      {5, 1, 176, 52});
  row("2 base list", 2, Kind::kDropDownList, 1000, "", {17, 17, 150, 73});
  row("3 step 2 group box", 3, Kind::kGroupBox, -1, "2. Transactions Void", {5, 56, 176, 52});
  row("4 form feed option", 4, Kind::kCheckBox, 1002, "Use Form Feed (0x0C)", {19, 131, 87, 10});
  row("5 step 3 group box", 5, Kind::kGroupBox, -1, "3. Transactions Stop", {6, 112, 176, 88});
  row("6 void keyword", 6, Kind::kEdit, 1003, "", {17, 69, 150, 14});
  row("7 stop keyword", 7, Kind::kEdit, 1004, "", {18, 165, 150, 14});
  row("8 new module name", 8, Kind::kEdit, 1005, "", {201, 15, 98, 14});
  row("9 go", 9, Kind::kPushButton, 1007, "Go", {201, 77, 98, 14});
  row("10 name example", 10, Kind::kLabel, -1, "e.g. Epson_1 ", {205, 38, 44, 8});
  row("11 void example", 11, Kind::kLabel, -1, "e.g. Void or Cancel (Be careful of case sensitive)",
      {18, 88, 155, 15});
  row("12 stop example", 12, Kind::kLabel, -1, "e.g. Cash or Change (Be careful of case sensitive)",
      {18, 186, 157, 10});
  row("13 second after-save step", 13, Kind::kLabel, -1,
      "(2).Modify POS setting to new POS module.", {202, 151, 102, 15});
  row("14 step 4 group box", 14, Kind::kGroupBox, -1, "4.New POS Module Name", {193, 1, 115, 52});
  row("15 step 5 group box", 15, Kind::kGroupBox, -1, "5.Save It", {193, 56, 115, 52});
  row("16 step 6 group box", 16, Kind::kGroupBox, -1, "6.After Save", {193, 112, 115, 80});
  row("17 first after-save step", 17, Kind::kLabel, -1, "(1).Reboot Vantorel.", {202, 131, 78, 11});
  row("18 cut paper option", 18, Kind::kCheckBox, 1001,
      "Use CutPaper transactions stop (Epson only)", {19, 148, 153, 10});
}

void DialogTest::controls() {
  QFETCH(int, index);
  QFETCH(Kind, kind);
  QFETCH(int, id);
  QFETCH(QString, text);
  QFETCH(QRect, units);

  DialogHarness bench;
  QWidget* control = bench.TemplateControl(index);
  QVERIFY(control != nullptr);
  QCOMPARE(IdOf(control), id);
  QCOMPARE(control->parentWidget(), &bench.Dialog());
  QCOMPARE(TextOf(control), text);

  const BaseUnits base = BaseUnitsFor(bench.Dialog().font());
  QRect expected = ExpectedRect(units.x(), units.y(), units.width(), units.height(), base);
  switch (kind) {
    case Kind::kGroupBox:
      QVERIFY(qobject_cast<QGroupBox*>(control) != nullptr);
      QVERIFY(!qobject_cast<QGroupBox*>(control)->isCheckable());
      break;
    case Kind::kDropDownList: {
      auto* list = qobject_cast<QComboBox*>(control);
      QVERIFY(list != nullptr);
      QVERIFY(!list->isEditable());
      // Closed, the list is as high as the platform makes a drop-down: 13/8 of the font height.
      expected.setHeight(base.vertical * 13 / 8);
      break;
    }
    case Kind::kCheckBox:
      QVERIFY(qobject_cast<QCheckBox*>(control) != nullptr);
      QVERIFY(!qobject_cast<QCheckBox*>(control)->isTristate());
      break;
    case Kind::kEdit:
      QVERIFY(qobject_cast<QLineEdit*>(control) != nullptr);
      QVERIFY(qobject_cast<QLineEdit*>(control)->hasFrame());
      break;
    case Kind::kPushButton: {
      auto* button = qobject_cast<QPushButton*>(control);
      QVERIFY(button != nullptr);
      QVERIFY(!button->isDefault());
      QVERIFY(!button->autoDefault());
      break;
    }
    case Kind::kLabel: {
      auto* label = qobject_cast<QLabel*>(control);
      QVERIFY(label != nullptr);
      QCOMPARE(label->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
      QCOMPARE(label->textFormat(), Qt::PlainText);
      // Two lines must fit where the template gives a label the height for them.
      if (units.height() >= 15) {
        QVERIFY(label->wordWrap());
      }
      break;
    }
  }
  QVERIFY2(WithinAPixel(control->geometry(), expected),
           qPrintable(Describe(control->geometry()) + " expected " + Describe(expected)));
}

// What lies in which group box, as drawn: inside its frame and in front of it.
void DialogTest::groupBoxes_data() {
  QTest::addColumn<int>("control");
  QTest::addColumn<int>("groupBox");
  QTest::newRow("base list in step 1") << 2 << 1;
  QTest::newRow("void keyword in step 2") << 6 << 3;
  QTest::newRow("void example in step 2") << 11 << 3;
  QTest::newRow("form feed option in step 3") << 4 << 5;
  QTest::newRow("cut paper option in step 3") << 18 << 5;
  QTest::newRow("stop keyword in step 3") << 7 << 5;
  QTest::newRow("stop example in step 3") << 12 << 5;
  QTest::newRow("new module name in step 4") << 8 << 14;
  QTest::newRow("name example in step 4") << 10 << 14;
  QTest::newRow("go in step 5") << 9 << 15;
  QTest::newRow("first after-save step in step 6") << 17 << 16;
  QTest::newRow("second after-save step in step 6") << 13 << 16;
}

void DialogTest::groupBoxes() {
  QFETCH(int, control);
  QFETCH(int, groupBox);
  DialogHarness bench;
  QWidget* inside = bench.TemplateControl(control);
  QWidget* frame = bench.TemplateControl(groupBox);
  QVERIFY(inside != nullptr && frame != nullptr);
  QVERIFY2(frame->geometry().contains(inside->geometry()),
           qPrintable(Describe(inside->geometry()) + " outside " + Describe(frame->geometry())));
  // Children are kept in stacking order, the back first.
  const QObjectList stacking = bench.Dialog().children();
  QVERIFY(stacking.indexOf(frame) < stacking.indexOf(inside));
}

// Within step 3 the form feed option comes first, then cut paper, then the stop keyword with
// its example; within step 6 the reboot step comes before the POS setting step.
void DialogTest::stepsReadTopDown() {
  DialogHarness bench;
  const QList<int> step3{4, 18, 7, 12};
  for (int i = 1; i < step3.size(); ++i) {
    QVERIFY(bench.TemplateControl(step3[i - 1])->geometry().bottom() <
            bench.TemplateControl(step3[i])->geometry().top());
  }
  QVERIFY(bench.TemplateControl(17)->geometry().bottom() <
          bench.TemplateControl(13)->geometry().top());
  QVERIFY(bench.TemplateControl(8)->geometry().bottom() <
          bench.TemplateControl(10)->geometry().top());
}

void DialogTest::window() {
  DialogHarness bench;
  WriteNamedModule(bench, "a.ini", "A");
  quillmere::ModuleEditorDialog& dialog = bench.Dialog();
  QCOMPARE(dialog.windowTitle(), QStringLiteral("Quillmere"));
  QCOMPARE(dialog.font().family(), QStringLiteral("Arial"));
  QCOMPARE(dialog.font().pointSize(), 9);
  QCOMPARE(dialog.font().weight(), QFont::Normal);
  QVERIFY(dialog.parentWidget() == nullptr);
  QCOMPARE(dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly).size(), 18);

  const BaseUnits base = BaseUnitsFor(dialog.font());
  const QSize client(Scaled(318, base.horizontal, 4), Scaled(210, base.vertical, 8));
  QCOMPARE(dialog.size(), client);
  QCOMPARE(dialog.minimumSize(), client);
  QCOMPARE(dialog.maximumSize(), client);

  const Qt::WindowFlags flags = dialog.windowFlags();
  QCOMPARE(flags & Qt::WindowType_Mask, Qt::Dialog);
  QVERIFY(flags.testFlag(Qt::WindowTitleHint));
  QVERIFY(flags.testFlag(Qt::WindowSystemMenuHint));
  QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
  QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
  QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
  QVERIFY(!flags.testFlag(Qt::WindowContextHelpButtonHint));

  QRect shownAt;
  QRect screenArea;
  QList<QSize> iconSizes;
  bench.Run([&] {
    shownAt = dialog.frameGeometry();
    screenArea = dialog.screen()->availableGeometry();
    iconSizes = dialog.windowIcon().availableSizes();
  });
  QVERIFY2(std::abs(shownAt.center().x() - screenArea.center().x()) <= 1 &&
               std::abs(shownAt.center().y() - screenArea.center().y()) <= 1,
           qPrintable(Describe(shownAt) + " on " + Describe(screenArea)));
  for (const int size : {16, 32, 48, 256}) {
    QVERIFY2(iconSizes.contains(QSize(size, size)), qPrintable(QString::number(size)));
  }
}

// The template's 73 units hold the closed list and its dropped part together.
void DialogTest::dropDownListHeight() {
  DialogHarness bench;
  for (int i = 0; i < 30; ++i) {
    WriteNamedModule(bench, "m" + std::to_string(100 + i) + ".ini",
                     "Module " + std::to_string(100 + i));
  }
  auto* list = qobject_cast<QComboBox*>(bench.Control(1000));
  const BaseUnits base = BaseUnitsFor(bench.Dialog().font());
  const int dropped = Scaled(73, base.vertical, 8) - base.vertical * 13 / 8;
  int popupHeight = -1;
  int lines = 0;
  bench.Run([&] {
    lines = list->count();
    list->showPopup();
    popupHeight = list->view()->window()->height();
    list->hidePopup();
  });
  QCOMPARE(lines, 30);
  QVERIFY2(popupHeight > 0 && popupHeight <= dropped,
           qPrintable(QStringLiteral("%1 > %2").arg(popupHeight).arg(dropped)));
}

void DialogTest::tabOrderAndInitialFocus() {
  DialogHarness bench;
  WriteNamedModule(bench, "a.ini", "A");
  QList<int> visited;
  bench.Run([&] {
    quillmere::ModuleEditorDialog& dialog = bench.Dialog();
    for (int step = 0; step < 8; ++step) {
      QWidget* focused = dialog.focusWidget();
      visited << IdOf(focused);
      if (focused == nullptr) {
        return;
      }
      QTest::keyClick(focused, Qt::Key_Tab);
    }
  });
  QCOMPARE(visited, (QList<int>{1000, 1002, 1003, 1004, 1005, 1007, 1001, 1000}));
}

// An action is "type <id> <text>", "click <id>" or "space <id>".
void DialogTest::checkBoxRules_data() {
  QTest::addColumn<QStringList>("actions");
  QTest::addColumn<QString>("stopText");
  QTest::addColumn<bool>("stopEnabled");
  QTest::addColumn<bool>("cutPaperChecked");
  QTest::addColumn<bool>("cutPaperEnabled");
  QTest::addColumn<bool>("formFeedChecked");
  QTest::addColumn<bool>("formFeedEnabled");

  QTest::newRow("nothing clicked")
      << QStringList{"type 1004 Cash"} << "Cash" << true << false << true << false << true;
  QTest::newRow("form feed empties and disables the typed stop keyword")
      << QStringList{"type 1004 Cash", "click 1002"} << "" << false << false << false << true
      << true;
  QTest::newRow("unchecking form feed leaves the stop keyword empty")
      << QStringList{"type 1004 Cash", "click 1002", "click 1002"} << "" << true << false << true
      << false << true;
  QTest::newRow("cut paper empties and disables the typed stop keyword")
      << QStringList{"type 1004 Cash", "click 1001"} << "" << false << true << true << false
      << false;
  QTest::newRow("unchecking cut paper leaves the stop keyword empty")
      << QStringList{"type 1004 Cash", "click 1001", "click 1001"} << "" << true << false << true
      << false << true;
  QTest::newRow("space on form feed counts as a click")
      << QStringList{"type 1004 Cash", "space 1002"} << "" << false << false << false << true
      << true;
  QTest::newRow("space on cut paper counts as a click")
      << QStringList{"type 1004 Cash", "space 1001"} << "" << false << true << true << false
      << false;
  QTest::newRow("form feed cannot be checked while cut paper is")
      << QStringList{"click 1001", "click 1002", "space 1002"} << "" << false << true << true
      << false << false;
  QTest::newRow("cut paper cannot be checked while form feed is")
      << QStringList{"click 1002", "click 1001", "space 1001"} << "" << false << false << false
      << true << true;
  QTest::newRow("from one option to the other")
      << QStringList{"click 1001", "click 1001", "click 1002"} << "" << false << false << false
      << true << true;
  QTest::newRow("a keyword typed after unchecking stays")
      << QStringList{"click 1002", "click 1002", "type 1004 Change"} << "Change" << true << false
      << true << false << true;
}

void DialogTest::checkBoxRules() {
  QFETCH(QStringList, actions);
  QFETCH(QString, stopText);
  QFETCH(bool, stopEnabled);
  QFETCH(bool, cutPaperChecked);
  QFETCH(bool, cutPaperEnabled);
  QFETCH(bool, formFeedChecked);
  QFETCH(bool, formFeedEnabled);

  DialogHarness bench;
  WriteNamedModule(bench, "a.ini", "A");
  auto* voidKeyword = qobject_cast<QLineEdit*>(bench.Control(1003));
  auto* stopKeyword = qobject_cast<QLineEdit*>(bench.Control(1004));
  auto* cutPaper = qobject_cast<QCheckBox*>(bench.Control(1001));
  auto* formFeed = qobject_cast<QCheckBox*>(bench.Control(1002));
  bench.Run([&] {
    QTest::keyClicks(voidKeyword, QStringLiteral("Void"));
    for (const QString& action : actions) {
      const QStringList parts = action.split(' ');
      QWidget* control = bench.Control(parts.at(1).toInt());
      if (parts.at(0) == "type") {
        control->setFocus();
        QTest::keyClicks(control, parts.at(2));
      } else if (parts.at(0) == "click") {
        QTest::mouseClick(control, Qt::LeftButton);
      } else {
        control->setFocus();
        QTest::keyClick(control, Qt::Key_Space);
      }
    }
  });
  QCOMPARE(stopKeyword->text(), stopText);
  QCOMPARE(stopKeyword->isEnabled(), stopEnabled);
  QCOMPARE(cutPaper->isChecked(), cutPaperChecked);
  QCOMPARE(cutPaper->isEnabled(), cutPaperEnabled);
  QCOMPARE(formFeed->isChecked(), formFeedChecked);
  QCOMPARE(formFeed->isEnabled(), formFeedEnabled);
  // The void keyword is never the check boxes' business.
  QCOMPARE(voidKeyword->text(), QStringLiteral("Void"));
  QVERIFY(voidKeyword->isEnabled());
  QVERIFY(bench.messages.empty());
}

void DialogTest::enterTakesTheOkAction_data() {
  QTest::addColumn<int>("focusId");
  QTest::addColumn<int>("key");
  QTest::newRow("Enter in the void keyword") << 1003 << int{Qt::Key_Return};
  QTest::newRow("Enter in the stop keyword") << 1004 << int{Qt::Key_Return};
  QTest::newRow("Enter in the new module name") << 1005 << int{Qt::Key_Return};
  QTest::newRow("keypad Enter in the new module name") << 1005 << int{Qt::Key_Enter};
  QTest::newRow("Enter on the base list") << 1000 << int{Qt::Key_Return};
  QTest::newRow("Enter on the form feed option") << 1002 << int{Qt::Key_Return};
  QTest::newRow("Enter on the cut paper option") << 1001 << int{Qt::Key_Return};
}

// OK ends the dialog without deriving: nothing in the folder changes.
void DialogTest::enterTakesTheOkAction() {
  QFETCH(int, focusId);
  QFETCH(int, key);
  DialogHarness bench;
  WriteEpsonBase(bench);
  const auto before = bench.folder.Snapshot();
  const int result = bench.Run([&] {
    auto* list = qobject_cast<QComboBox*>(bench.Control(1000));
    list->setCurrentIndex(0);
    QTest::keyClicks(bench.Control(1005), QStringLiteral("Epson_1"));
    QTest::keyClicks(bench.Control(1003), QStringLiteral("Void"));
    QWidget* focused = bench.Control(focusId);
    focused->setFocus();
    QTest::keyClick(focused, static_cast<Qt::Key>(key),
                    key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
  });
  QCOMPARE(result, int{QDialog::Accepted});
  QVERIFY(bench.messages.empty());
  QVERIFY(bench.folder.Snapshot() == before);
  QVERIFY(!bench.Dialog().HoldsLoader());
}

void DialogTest::cancelAction_data() {
  QTest::addColumn<QString>("how");
  QTest::newRow("Escape in an edit field") << "escape 1003";
  QTest::newRow("Escape on the base list") << "escape 1000";
  QTest::newRow("Escape on Go") << "escape 1007";
  QTest::newRow("the close box") << "close";
}

void DialogTest::cancelAction() {
  QFETCH(QString, how);
  DialogHarness bench;
  WriteEpsonBase(bench);
  const auto before = bench.folder.Snapshot();
  const int result = bench.Run([&] {
    qobject_cast<QComboBox*>(bench.Control(1000))->setCurrentIndex(0);
    QTest::keyClicks(bench.Control(1005), QStringLiteral("Epson_1"));
    if (how == "close") {
      bench.Dialog().close();
      return;
    }
    QWidget* focused = bench.Control(how.split(' ').at(1).toInt());
    focused->setFocus();
    QTest::keyClick(focused, Qt::Key_Escape);
  });
  QCOMPARE(result, int{QDialog::Rejected});
  QVERIFY(bench.messages.empty());
  QVERIFY(bench.folder.Snapshot() == before);
}

void DialogTest::goWithNothingSelected_data() {
  QTest::addColumn<QString>("press");
  QTest::newRow("mouse click") << "click";
  QTest::newRow("Enter on Go") << "enter";
  QTest::newRow("Space on Go") << "space";
}

// Message 3 at once, owned by the dialog, which stays open with what was typed.
void DialogTest::goWithNothingSelected() {
  QFETCH(QString, press);
  DialogHarness bench;
  WriteEpsonBase(bench);
  bool openAfterwards = false;
  QString nameAfterwards;
  const int result = bench.Run([&] {
    QTest::keyClicks(bench.Control(1005), QStringLiteral("Epson_1"));
    QWidget* go = bench.Control(1007);
    go->setFocus();
    if (press == "click") {
      QTest::mouseClick(go, Qt::LeftButton);
    } else {
      QTest::keyClick(go, press == "enter" ? Qt::Key_Return : Qt::Key_Space);
    }
    openAfterwards = bench.Dialog().isVisible();
    nameAfterwards = qobject_cast<QLineEdit*>(bench.Control(1005))->text();
  });
  QCOMPARE(bench.messages.size(), std::size_t{1});
  QCOMPARE(bench.messages[0].id, MessageId::kSelectBase);
  QCOMPARE(bench.messages[0].buttons, MessageButtons::kOk);
  QVERIFY(bench.messages[0].ownedByDialog);
  QVERIFY(openAfterwards);
  QCOMPARE(nameAfterwards, QStringLiteral("Epson_1"));
  QCOMPARE(result, kLeftOpen);
}

// Lines come in the order the folder lists the files, whatever the names; nothing is selected.
void DialogTest::listShowsModulesInListingOrder() {
  DialogHarness bench;
  WriteNamedModule(bench, "a.ini", "Zeta");
  WriteNamedModule(bench, "b.ini", "Alpha");
  bench.WriteModule("c.ini", Lines({"[Main]", "S-Num=0"}));
  WriteNamedModule(bench, "d.ini", "Caf\xC3\xA9");
  QStringList lines;
  int selected = 0;
  bench.Run([&] {
    auto* list = qobject_cast<QComboBox*>(bench.Control(1000));
    for (int i = 0; i < list->count(); ++i) {
      lines << list->itemText(i);
    }
    selected = list->currentIndex();
  });
  QCOMPARE(lines, (QStringList{"Zeta", "Alpha", "", QString::fromUtf8("Caf\xC3\xA9")}));
  QCOMPARE(selected, -1);
}

void DialogTest::scanFailureEndsBeforeShowing_data() {
  QTest::addColumn<QString>("folder");
  QTest::addColumn<MessageId>("message");
  QTest::newRow("no folder") << "none" << MessageId::kFolderMissing;
  QTest::newRow("a file in place of the folder") << "file" << MessageId::kFolderMissing;
  QTest::newRow("an empty folder") << "empty" << MessageId::kNoModuleFiles;
  QTest::newRow("no module file") << "other files" << MessageId::kNoModuleFiles;
}

// The box stands by itself, then the dialog ends with the cancel action, never shown.
void DialogTest::scanFailureEndsBeforeShowing() {
  QFETCH(QString, folder);
  QFETCH(MessageId, message);
  DialogHarness bench;
  if (folder == "file") {
    bench.folder.Write("Printer Commands", "not a folder");
  } else if (folder == "empty") {
    bench.folder.MakeFolder("Printer Commands");
  } else if (folder == "other files") {
    bench.WriteModule("notes.txt", "x");
    bench.folder.MakeFolder("Printer Commands/sub");
  }
  const int result = bench.Run();
  QCOMPARE(result, int{QDialog::Rejected});
  QCOMPARE(bench.messages.size(), std::size_t{1});
  QCOMPARE(bench.messages[0].id, message);
  QCOMPARE(bench.messages[0].buttons, MessageButtons::kOk);
  QVERIFY(!bench.messages[0].ownedByDialog);
  QCOMPARE(bench.timesShown, 0);
  QVERIFY(!bench.Dialog().isVisible());
}

void DialogTest::wholeDerivation_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("voidKeyword");
  QTest::addColumn<QString>("stopKeyword");
  QTest::addColumn<int>("optionId");  // 0: neither stop option
  QTest::addColumn<QByteArray>("fileName");
  QTest::addColumn<QByteArrayList>("expectedLines");
  QTest::addColumn<QByteArrayList>("absentLines");

  QTest::newRow("keywords for void and stop")
      << "Epson_1"
      << "Void"
      << "Cash" << 0 << QByteArray("Epson_1.ini")
      << QByteArrayList{"Module_Name=Epson_1", "4,V,o,i,d,1,0,0,TRAN_VOID",
                        "4,C,a,s,h,1,0,0,TRAN_STOP"}
      << QByteArrayList{"Module_Name=EpsonBase"};
  QTest::newRow("form feed ends the transaction")
      << "Epson_2"
      << "Void"
      << "Cash" << 1002 << QByteArray("Epson_2.ini")
      << QByteArrayList{"Module_Name=Epson_2", "4,V,o,i,d,1,0,0,TRAN_VOID"}
      << QByteArrayList{"4,C,a,s,h,1,0,0,TRAN_STOP"};
  QTest::newRow("a name beyond ASCII passes through as 8-bit text")
      << QString::fromUtf8("Caisse_\xC3\xA9") << "Void"
      << "" << 1001 << QByteArray("Caisse_\xC3\xA9.ini")
      << QByteArrayList{"Module_Name=Caisse_\xC3\xA9", "4,V,o,i,d,1,0,0,TRAN_VOID"}
      << QByteArrayList{};
}

// "Go" with everything filled in writes the new module, says "Success" and ends with OK.
void DialogTest::wholeDerivation() {
  QFETCH(QString, name);
  QFETCH(QString, voidKeyword);
  QFETCH(QString, stopKeyword);
  QFETCH(int, optionId);
  QFETCH(QByteArray, fileName);
  QFETCH(QByteArrayList, expectedLines);
  QFETCH(QByteArrayList, absentLines);

  DialogHarness bench;
  WriteEpsonBase(bench);
  const QByteArray baseBefore = ReadBytes(bench.ModuleFolder() + "/EpsonBase.ini");
  const int result = bench.Run([&] {
    QWidget* list = bench.Control(1000);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    qobject_cast<QLineEdit*>(bench.Control(1005))->insert(name);
    QTest::keyClicks(bench.Control(1003), voidKeyword);
    QTest::keyClicks(bench.Control(1004), stopKeyword);
    if (optionId != 0) {
      QTest::mouseClick(bench.Control(optionId), Qt::LeftButton);
    }
    QTest::mouseClick(bench.Control(1007), Qt::LeftButton);
  });
  QCOMPARE(bench.messages.size(), std::size_t{1});
  QCOMPARE(bench.messages[0].id, MessageId::kSuccess);
  QCOMPARE(result, int{QDialog::Accepted});

  const QByteArray written = ReadBytes(bench.ModuleFolder() + "/" + fileName.toStdString());
  QVERIFY2(!written.isEmpty(), fileName.constData());
  for (const QByteArray& line : expectedLines) {
    QVERIFY2(written.contains(line), line.constData());
  }
  for (const QByteArray& line : absentLines) {
    QVERIFY2(!written.contains(line), line.constData());
  }
  QCOMPARE(ReadBytes(bench.ModuleFolder() + "/EpsonBase.ini"), baseBefore);
}

// The catalogue and the loaded base module, with its module library, live as long as the
// window and no longer.
void DialogTest::windowGoingReleasesCatalogueAndLoader() {
  DialogHarness bench;
  WriteEpsonBase(bench);
  std::size_t entriesWhileOpen = 0;
  bool loaderAfterGo = false;
  int librariesAfterGo = 0;
  const int result = bench.Run([&] {
    entriesWhileOpen = bench.Dialog().BaseCatalogue().entries.size();
    qobject_cast<QComboBox*>(bench.Control(1000))->setCurrentIndex(0);
    QTest::keyClicks(bench.Control(1005), QStringLiteral("Epson_1"));
    QTest::keyClicks(bench.Control(1003), QStringLiteral("Void"));
    QTest::mouseClick(bench.Control(1007), Qt::LeftButton);
    loaderAfterGo = bench.Dialog().HoldsLoader();
    librariesAfterGo = bench.libraries.LiveLibraries();
  });
  QCOMPARE(result, int{QDialog::Accepted});
  QCOMPARE(entriesWhileOpen, std::size_t{1});
  QVERIFY(loaderAfterGo);
  QCOMPARE(librariesAfterGo, 1);
  QVERIFY(bench.Dialog().BaseCatalogue().entries.empty());
  QVERIFY(!bench.Dialog().HoldsLoader());
  QCOMPARE(bench.libraries.LiveLibraries(), 0);
}

void DialogTest::realMessageBox_data() {
  QTest::addColumn<MessageId>("id");
  QTest::addColumn<MessageButtons>("buttons");
  QTest::addColumn<QString>("answer");
  QTest::addColumn<MessageAnswer>("expected");
  QTest::newRow("OK box, Enter") << MessageId::kSelectBase << MessageButtons::kOk << "enter"
                                 << MessageAnswer::kOther;
  QTest::newRow("OK box, Escape") << MessageId::kSuccess << MessageButtons::kOk << "escape"
                                  << MessageAnswer::kOther;
  QTest::newRow("Yes/No box, Enter is Yes")
      << MessageId::kOverwriteQuestion << MessageButtons::kYesNo << "enter" << MessageAnswer::kYes;
  QTest::newRow("Yes/No box, No") << MessageId::kOverwriteQuestion << MessageButtons::kYesNo << "no"
                                  << MessageAnswer::kOther;
  QTest::newRow("Yes/No box, Escape is No")
      << MessageId::kOverwriteQuestion << MessageButtons::kYesNo << "escape"
      << MessageAnswer::kOther;
  QTest::newRow("Yes/No box, the close box is No")
      << MessageId::kOverwriteQuestion << MessageButtons::kYesNo << "close"
      << MessageAnswer::kOther;
}

// The box a user sees: warning icon, the executable's name as caption, the table's text.
void DialogTest::realMessageBox() {
  QFETCH(MessageId, id);
  QFETCH(MessageButtons, buttons);
  QFETCH(QString, answer);
  QFETCH(MessageAnswer, expected);

  QString caption;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons shown;
  bool modal = false;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) {
      return;
    }
    caption = box->windowTitle();
    text = box->text();
    icon = box->icon();
    shown = box->standardButtons();
    modal = box->isModal();
    if (answer == "enter") {
      QTest::keyClick(box, Qt::Key_Return);
    } else if (answer == "escape") {
      QTest::keyClick(box, Qt::Key_Escape);
    } else if (answer == "no") {
      box->button(QMessageBox::No)->click();
    } else {
      box->close();
    }
  });
  const MessageAnswer given = quillmere::RunMessageBox(nullptr, id, buttons);
  QCOMPARE(given, expected);
  QCOMPARE(caption, QStringLiteral("dialog_tests"));
  QCOMPARE(text.toStdString(), std::string(quillmere::MessageText(id)));
  QCOMPARE(icon, QMessageBox::Warning);
  QVERIFY(modal);
  QCOMPARE(shown, buttons == MessageButtons::kOk
                      ? QMessageBox::StandardButtons(QMessageBox::Ok)
                      : QMessageBox::StandardButtons(QMessageBox::Yes | QMessageBox::No));
}

QTEST_MAIN(DialogTest)
#include "dialog_test.moc"
