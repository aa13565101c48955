// The editor dialog as the installer meets it: template 102 in pixels, the opening, the
// check-box rules, the ways a run ends (the scan, the keys, each way "Go" can end), the message
// boxes, and what goes when the window goes. What a derivation writes and refuses is the derive
// tests' to check.
#include <QtTest>
#include <QtWidgets>
#include <algorithm>
#include <clocale>
#include <cmath>
#include <functional>
#include <memory>

#include "platform/module_library.h"
#include "platform/profile_store.h"
#include "support/faulty_file_system.h"
#include "support/temp_folder.h"
#include "ui/message_box.h"
#include "ui/module_editor_dialog.h"

using quillmere::EditorControls;
using quillmere::MessageAnswer;
using quillmere::MessageButtons;
using quillmere::MessageId;
using Fault = quillmere::testing::FaultyFileSystem::Operation;

namespace {

// An executable's place in a temporary folder with "Printer Commands" beside it and the real
// profile store. Message boxes are recorded as "<message> <ok|yes/no> <owned|alone>" and
// answered with `answer`. Module libraries export CutPaper and, when unloaded, note what the
// dialog held then.
struct Bench final : quillmere::LibraryLoader {
  struct Library final : quillmere::ModuleLibrary {
    explicit Library(Bench& bench) : bench_(bench) {}
    ~Library() override {
      const bool released = bench_.dialog->BaseCatalogue().entries.empty();
      const bool gone = !bench_.dialog->testAttribute(Qt::WA_WState_Created);
      bench_.unloads << QString("catalogue %1, window %2")
                            .arg(released ? "released" : "held", gone ? "gone" : "up");
    }
    [[nodiscard]] bool Exports(std::string_view name) const override { return name == "CutPaper"; }
    Bench& bench_;
  };
  std::unique_ptr<quillmere::ModuleLibrary> Load(const std::string& /*path*/) override {
    return std::make_unique<Library>(*this);
  }

  Bench() { files.executablePath = folder.PathOf("quillmere"); }
  void Write(const std::string& name, std::string_view text) const {
    folder.Write("Printer Commands/" + name, text);
  }

  // The one modal run, `steps` running once its event loop is up. Gives how it ended ("OK",
  // "cancel", or "open" when the steps left it open) and the boxes shown.
  QString Run(const std::function<void(const EditorControls&)>& steps) {
    QTimer::singleShot(0, dialog.get(), [&] {
      steps(dialog->Controls());
      if (dialog->isVisible()) {
        dialog->done(-1);
      }
    });
    const int result = dialog->exec();
    return (QStringList{result == 1 ? "OK" : result == 0 ? "cancel" : "open"} + boxes).join(' ');
  }

  quillmere::testing::TempFolder folder;
  quillmere::testing::FaultyFileSystem files;
  std::unique_ptr<quillmere::ProfileStore> store = quillmere::MakeProfileStore(files);
  quillmere::PlatformServices services{*store, files, *this};
  MessageAnswer answer = MessageAnswer::kOther;
  QStringList boxes;
  QStringList unloads;
  std::unique_ptr<quillmere::ModuleEditorDialog> dialog =
      std::make_unique<quillmere::ModuleEditorDialog>(
          services, [this](QWidget* owner, MessageId id, MessageButtons buttons) {
            boxes << QString::number(static_cast<int>(id)) +
                         (buttons == MessageButtons::kOk ? " ok" : " yes/no") +
                         (owner == dialog.get() ? " owned" : " alone");
            return answer;
          });
};

// One row of a data table.
template <typename... Columns>
void Row(const char* name, const Columns&... columns) {
  (QTest::newRow(name) << ... << columns);
}

// The typed controls by the names the rows use.
QWidget* Named(const EditorControls& c, const QString& name) {
  return QHash<QString, QWidget*>{{"list", c.baseList},     {"cut", c.cutPaperOption},
                                  {"ff", c.formFeedOption}, {"void", c.voidKeyword},
                                  {"stop", c.stopKeyword},  {"name", c.newModuleName},
                                  {"go", c.goButton}}
      .value(name);
}

// Performs "<how>@<control>" in turn: a mouse click, or a key (Return, Enter on the keypad,
// Escape, Space) on the focused control; "close" is the close box.
void Act(QDialog& dialog, const EditorControls& c, const QString& actions) {
  for (const QString& action : actions.split(' ', Qt::SkipEmptyParts)) {
    const QString how = action.section('@', 0, 0);
    QWidget* target = Named(c, action.section('@', 1));
    if (how == "close") {
      dialog.close();
    } else if (how == "click") {
      QTest::mouseClick(target, Qt::LeftButton);
    } else {
      target->setFocus();
      QTest::keyClick(target, QKeySequence(how)[0].key(),
                      how == "Enter" ? Qt::KeypadModifier : Qt::NoModifier);
    }
  }
}

// Dialog units to pixels as the Windows dialog manager converts them: the horizontal base unit
// is the average width of "A".."z" rounded, the vertical one the font's height; MulDiv rounds
// half away from zero.
QRect Pixels(QRect units, const QFont& font) {
  const QFontMetrics metrics(font);
  const QString alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  const int across = (metrics.horizontalAdvance(alphabet) / 26 + 1) / 2;
  const auto scale = [](int value, int unit, int divisor) {
    return static_cast<int>(std::lround(static_cast<double>(value) * unit / divisor));
  };
  return {scale(units.x(), across, 4), scale(units.y(), metrics.height(), 8),
          scale(units.width(), across, 4), scale(units.height(), metrics.height(), 8)};
}

// A run: the folder ("bases": two base modules, "empty", "none"), the line chosen, the new name
// and the keywords "Void" and "Cash" typed, a stop option clicked, a file operation that fails,
// the answer to the overwrite question; then the actions. Seen as "<ending> <boxes>|<file name
// field>|<what the dialog held when the base's library was unloaded>"; lines of the new file.
struct RunRow {
  QString actions = "click@go";
  QString seen{};
  QString lines{};
  QString folder = "bases";
  int base = 1;
  QString name = "Epson_1";
  QString option{};
  int fault = -1;
  MessageAnswer answer = MessageAnswer::kOther;
};

}  // namespace

Q_DECLARE_METATYPE(RunRow)

class DialogTest : public QObject {
  Q_OBJECT

 private slots:
  // Run under QUILLMERE_TEST_LOCALE, the locale QApplication took from the environment must be
  // that one, or the run would prove nothing about locale independence.
  void initTestCase() {
    const QByteArray wanted = qgetenv("QUILLMERE_TEST_LOCALE");
    if (!wanted.isEmpty()) {
      QCOMPARE(QByteArray(std::setlocale(LC_CTYPE, nullptr)), wanted);
    }
  }

  // Template 102 in template order: the class, the typed control it is (none without an ID),
  // the text, and the place in dialog units.
  void templateControls_data() {
    QTest::addColumn<int>("place");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("units");
    auto row = [place = 0](const char* kind, const char* typed, const char* text,
                           QRect units) mutable {
      ++place;
      QTest::addRow("%d %s %s", place, kind, *text != 0 ? text : typed)
          << place << kind << typed << text << units;
    };
    row("QGroupBox", "", "1.Select Base Printer Command", {5, 1, 176, 52});
    row("QComboBox", "list", "", {17, 17, 150, 73});
    row("QGroupBox", "", "2. Transactions Void", {5, 56, 176, 52});
    row("QCheckBox", "ff", "Use Form Feed (0x0C)", {19, 131, 87, 10});
    row("QGroupBox", "", "3. Transactions Stop", {6, 112, 176, 88});
    row("QLineEdit", "void", "", {17, 69, 150, 14});
    row("QLineEdit", "stop", "", {18, 165, 150, 14});
    row("QLineEdit", "name", "", {201, 15, 98, 14});
    row("QPushButton", "go", "Go", {201, 77, 98, 14});
    row("QLabel", "", "e.g. Epson_1 ", {205, 38, 44, 8});
    row("QLabel", "", "e.g. Void or Cancel (Be careful of case sensitive)", {18, 88, 155, 15});
    row("QLabel", "", "e.g. Cash or Change (Be careful of case sensitive)", {18, 186, 157, 10});
    row("QLabel", "", "(2).Modify POS setting to new POS module.", {202, 151, 102, 15});
    row("QGroupBox", "", "4.New POS Module Name", {193, 1, 115, 52});
    row("QGroupBox", "", "5.Save It", {193, 56, 115, 52});
    row("QGroupBox", "", "6.After Save", {193, 112, 115, 80});
    row("QLabel", "", "(1).Reboot Vantorel.", {202, 131, 78, 11});
    row("QCheckBox", "cut", "Use CutPaper transactions stop (Epson only)", {19, 148, 153, 10});
  }
  // Placed where the dialog manager places it; the closed list is as high as the platform draws
  // one, 13/8 of the font's height.
  void templateControls() {
    QFETCH(int, place);
    QFETCH(QString, kind);
    QFETCH(QString, typed);
    QFETCH(QString, text);
    QFETCH(QRect, units);
    const Bench bench;
    const EditorControls& c = bench.dialog->Controls();
    QWidget* control = c.inTemplateOrder.at(static_cast<std::size_t>(place - 1));
    QCOMPARE(QString(control->metaObject()->className()), kind);
    QCOMPARE(Named(c, typed), typed.isEmpty() ? nullptr : control);
    const char* property = kind == "QGroupBox"   ? "title"
                           : kind == "QComboBox" ? "currentText"
                                                 : "text";
    QCOMPARE(control->property(property).toString(), text);
    QRect want = Pixels(units, bench.dialog->font());
    if (kind == "QComboBox") {
      want.setHeight(QFontMetrics(bench.dialog->font()).height() * 13 / 8);
    }
    QCOMPARE(control->geometry(), want);
  }

  // The window of the template (caption, font, fixed size, a title bar with the window menu and
  // a close box only, no owner, group boxes behind the controls they frame) opens with its
  // icons, on the base list: lines in the folder's order as the 8-bit names read, none chosen;
  // Tab follows the template's order.
  void opensOnTheBaseList() {
    Bench bench;
    bench.Write("a.ini", "[Main]\r\nModule_Name=Zeta\r\n");
    bench.Write("b.ini", "[Main]\r\nModule_Name=Caf\xC3\xA9\r\n");
    bench.Write("c.ini", "[Other]\r\n");
    const QDialog& dialog = *bench.dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Quillmere"));
    QCOMPARE(dialog.font(), QFont("Arial", 9));
    QCOMPARE(dialog.minimumSize(), Pixels({0, 0, 318, 210}, dialog.font()).size());
    QCOMPARE(dialog.maximumSize(), dialog.minimumSize());
    const Qt::WindowFlags frame = Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    QCOMPARE(dialog.windowFlags() & (frame | Qt::WindowMinMaxButtonsHint), frame);
    QVERIFY(dialog.parentWidget() == nullptr);
    const QWidgetList stacking = dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    QVERIFY(std::all_of(stacking.begin(), stacking.begin() + 6,
                        [](QWidget* child) { return qobject_cast<QGroupBox*>(child) != nullptr; }));
    QStringList lines;
    QList<QWidget*> visited;
    bench.Run([&](const EditorControls& c) {
      for (int i = 0; i < c.baseList->count(); ++i) {
        lines << c.baseList->itemText(i);
      }
      lines << QString::number(c.baseList->currentIndex());
      for (int stop = 0; stop < 8 && dialog.focusWidget() != nullptr; ++stop) {
        visited << dialog.focusWidget();
        QTest::keyClick(visited.back(), Qt::Key_Tab);
      }
    });
    QCOMPARE(lines, (QStringList{"Zeta", QString::fromUtf8("Caf\xC3\xA9"), "", "-1"}));
    QCOMPARE(dialog.windowIcon().availableSizes(),
             (QList<QSize>{{16, 16}, {32, 32}, {48, 48}, {256, 256}}));
    const EditorControls& c = bench.dialog->Controls();
    QCOMPARE(visited, (QList<QWidget*>{c.baseList, c.formFeedOption, c.voidKeyword, c.stopKeyword,
                                       c.newModuleName, c.goButton, c.cutPaperOption, c.baseList}));
  }

  // After "Cash" is typed as the stop keyword. A state reads "stop:<text><+ enabled|- disabled>
  // cut:<checked><+|-> ff:<checked><+|->".
  void checkBoxRules_data() {
    QTest::addColumn<QString>("actions");
    QTest::addColumn<QString>("state");
    Row("nothing clicked", "", "stop:Cash+ cut:0+ ff:0+");
    Row("ff on: keyword emptied, cut locked", "click@ff", "stop:- cut:0- ff:1+");
    Row("cut on: keyword emptied, ff locked", "click@cut", "stop:- cut:1+ ff:0-");
    Row("ff off: both back, keyword gone", "click@ff click@ff", "stop:+ cut:0+ ff:0+");
    Row("cut off: both back, keyword gone", "click@cut click@cut", "stop:+ cut:0+ ff:0+");
    Row("Space on ff is a click", "Space@ff", "stop:- cut:0- ff:1+");
  }
  // The void keyword is never theirs, and no box is shown.
  void checkBoxRules() {
    QFETCH(QString, actions);
    QFETCH(QString, state);
    Bench bench;
    bench.Write("a.ini", "[Main]\r\nModule_Name=A\r\n");
    bench.Run([&](const EditorControls& c) {
      QTest::keyClicks(c.voidKeyword, QStringLiteral("Void"));
      QTest::keyClicks(c.stopKeyword, QStringLiteral("Cash"));
      Act(*bench.dialog, c, actions);
    });
    const EditorControls& c = bench.dialog->Controls();
    const auto sign = [](const QWidget* control) { return control->isEnabled() ? "+" : "-"; };
    QCOMPARE("stop:" + c.stopKeyword->text() + sign(c.stopKeyword) +
                 " cut:" + QString::number(c.cutPaperOption->isChecked()) + sign(c.cutPaperOption) +
                 " ff:" + QString::number(c.formFeedOption->isChecked()) + sign(c.formFeedOption),
             state);
    QCOMPARE(c.voidKeyword->text() + sign(c.voidKeyword) + bench.boxes.join(' '),
             QStringLiteral("Void+"));
  }

  // A failed scan ends the run with the cancel action before the window shows, its box standing
  // by itself. Enter anywhere but on "Go" is the OK action and derives nothing (no box); Enter
  // on "Go" presses it; Escape and the close box cancel. "Go" hands the controls' values to the
  // derivation (each success shows some in the new file), takes its file name, and keeps the
  // loaded base module with its library until the window and then the catalogue are gone.
  void runEnds_data() {
    QTest::addColumn<RunRow>("row");
    const QString gone = "|catalogue released, window gone";
    const QString accented = QString::fromUtf8("Caisse_\xC3\xA9");
    Row("no module folder: message 1", RunRow{.seen = "cancel 1 ok alone||", .folder = "none"});
    Row("no module file: message 2", RunRow{.seen = "cancel 2 ok alone||", .folder = "empty"});
    Row("Enter in the void keyword", RunRow{.actions = "Return@void", .seen = "OK||"});
    Row("keypad Enter in the stop keyword", RunRow{.actions = "Enter@stop", .seen = "OK||"});
    Row("Enter on the base list", RunRow{.actions = "Return@list", .seen = "OK||"});
    Row("Enter on the cut-paper option", RunRow{.actions = "Return@cut", .seen = "OK||"});
    Row("Escape", RunRow{.actions = "Escape@name", .seen = "cancel||"});
    Row("the close box", RunRow{.actions = "close", .seen = "cancel||"});
    Row("Enter on Go presses it",
        RunRow{.actions = "Return@go", .seen = "OK 9 ok owned|Epson_1" + gone});
    Row("Go, nothing chosen: message 3", RunRow{.seen = "open 3 ok owned||", .base = -1});
    Row("Go, keywords: Success",
        RunRow{.seen = "OK 9 ok owned|Epson_1" + gone,
               .lines = "1=1,LF|V,o,i,d,1,0,0,TRAN_VOID|C,a,s,h,1,0,0,TRAN_STOP"});
    Row("Go, Form Feed option: Success", RunRow{.seen = "OK 9 ok owned|Epson_1" + gone,
                                                .lines = "1=1,FF,1,1,0,TRAN_STOP",
                                                .option = "ff"});
    Row("Go, cut-paper option, 8-bit name: Success",
        RunRow{.seen = "OK 9 ok owned|" + accented + gone,
               .lines = "GS,V,3,CutPaper,0,TRAN_STOP",
               .name = accented,
               .option = "cut"});
    Row("Go, overwrite declined: message 11",
        RunRow{.seen = "open 11 yes/no owned|EpsonBase|", .name = "EpsonBase"});
    Row("Go, overwrite agreed: Success",
        RunRow{.seen = "OK 11 yes/no owned 9 ok owned|EpsonBase" + gone,
               .lines = "V,o,i,d,1,0,0,TRAN_VOID",
               .name = "EpsonBase",
               .answer = MessageAnswer::kYes});
    Row("Go, copy fails: message 6",
        RunRow{.seen = "open 6 ok owned|Epson_1|", .fault = int(Fault::kCreateUnique)});
    Row("Go, write fails: message 14",
        RunRow{.seen = "open 14 ok owned|Epson_1|catalogue held, window up",
               .fault = int(Fault::kRename)});
  }
  void runEnds() {
    QFETCH(RunRow, row);
    Bench bench;
    if (row.folder == "empty") {
      bench.folder.MakeFolder("Printer Commands");
    } else if (row.folder == "bases") {
      bench.Write("Another.ini", "[Main]\r\nModule_Name=Another\r\n");
      // A Form Feed command and a cut-paper record of a module library, neither a stop yet.
      bench.Write(
          "EpsonBase.ini",
          "[Main]\r\nModule_Name=EpsonBase\r\nUseDll=1,CutLib.dll\r\nS-Num=1\r\nM-Num=1\r\n"
          "[ChangeLine-Command]\r\n1=1,LF\r\n[Single-Command]\r\n1=1,FF,1,1\r\n[Mutli-Command]\r\n"
          "1=GS-Command,GS,1\r\n[GS-Command]\r\n1=2,GS,V,3,CutPaper,0,\r\n");
      bench.Write("CutLib.dll", "stands in for the module library");
    }
    if (row.fault >= 0) {
      bench.files.FailOn(static_cast<Fault>(row.fault));
    }
    bench.answer = row.answer;
    const QString ending = bench.Run([&](const EditorControls& c) {
      c.baseList->setCurrentIndex(row.base);
      c.newModuleName->insert(row.name);
      QTest::keyClicks(c.voidKeyword, QStringLiteral("Void"));
      QTest::keyClicks(c.stopKeyword, QStringLiteral("Cash"));
      Act(*bench.dialog, c,
          (row.option.isEmpty() ? "" : "click@" + row.option + " ") + row.actions);
    });
    const QString fileName = QString::fromStdString(bench.dialog->FileName());
    QCOMPARE(ending + "|" + fileName + "|" + bench.unloads.join(','), row.seen);
    for (const QString& line : row.lines.split('|', Qt::SkipEmptyParts)) {
      const std::string written =
          bench.folder.Read("Printer Commands/" + row.name.toStdString() + ".ini");
      QVERIFY2(written.find(line.toStdString()) != std::string::npos, qPrintable(line));
    }
  }

  // A real box, closed with a key (0: its close box), read as "caption|text|icon|buttons|
  // modality|answer": the executable's name, the table's text, the warning icon, modal; Yes/No
  // boxes start on Yes, and Escape and the close box answer No.
  void messageBox_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("seen");
    const int ok = int(MessageId::kSelectBase);
    const int question = int(MessageId::kOverwriteQuestion);
    const QString asked =
        "dialog_tests|the ini file you want to save is existed.\nDo you want to over write "
        "it?|warning|Yes No|modal|";
    Row("OK box", ok, int(Qt::Key_Return),
        "dialog_tests|Please select a base printer command|warning|OK|modal|other");
    Row("Enter answers Yes", question, int(Qt::Key_Return), asked + "Yes");
    Row("Escape answers No", question, int(Qt::Key_Escape), asked + "other");
    Row("close box answers No", question, 0, asked + "other");
  }
  void messageBox() {
    QFETCH(int, id);
    QFETCH(int, key);
    QFETCH(QString, seen);
    QStringList shown;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      QVERIFY(box != nullptr);
      const QMessageBox::StandardButtons buttons = box->standardButtons();
      shown << box->windowTitle() << box->text()
            << (box->icon() == QMessageBox::Warning ? "warning" : "other icon")
            << (buttons == (QMessageBox::Yes | QMessageBox::No) ? "Yes No"
                : buttons == QMessageBox::Ok                    ? "OK"
                                                                : "other buttons")
            << (box->isModal() ? "modal" : "modeless");
      key == 0 ? void(box->close()) : QTest::keyClick(box, static_cast<Qt::Key>(key));
    });
    const auto buttons =
        id == int(MessageId::kOverwriteQuestion) ? MessageButtons::kYesNo : MessageButtons::kOk;
    const bool yes = quillmere::RunMessageBox(nullptr, static_cast<MessageId>(id), buttons) ==
                     MessageAnswer::kYes;
    QCOMPARE((shown << (yes ? "Yes" : "other")).join('|'), seen);
  }
};

QTEST_MAIN(DialogTest)
#include "dialog_test.moc"
