// The editor dialog as the installer meets it; what a derivation writes is the derive tests'.
#include <QtTest>
#include <QtWidgets>
#include <algorithm>
#include <clocale>
#include <cmath>
#include <functional>
#include <memory>

#include "platform/code_page.h"
#include "platform/module_library.h"
#include "platform/profile_store.h"
#include "support/faulty_file_system.h"
#include "support/golden.h"
#include "support/temp_folder.h"
#include "ui/dialog_units.h"
#include "ui/local_text.h"
#include "ui/message_box.h"
#include "ui/module_editor_dialog.h"

using namespace quillmere;  // NOLINT(google-build-using-namespace): the code under test
using Fault = quillmere::testing::FaultyFileSystem::Operation;

namespace {

// An executable beside "Printer Commands" (Zéta in code page 1252, EpsonBase), the real profile
// store, libraries that export CutPaper and, unloaded, note the catalogue entries left and if the
// window was up.
struct Bench final : LibraryLoader {
  struct Library final : ModuleLibrary {
    explicit Library(Bench& bench) : bench_(bench) {}
    ~Library() override {
      bench_.unloads << QString::number(bench_.dialog->BaseCatalogue().entries.size()) +
                            (bench_.dialog->testAttribute(Qt::WA_WState_Created) ? " up" : " gone");
    }
    [[nodiscard]] bool Exports(std::string_view name) const override { return name == "CutPaper"; }
    Bench& bench_;
  };
  std::unique_ptr<ModuleLibrary> Load(const std::string& /*path*/) override {
    return std::make_unique<Library>(*this);
  }

  Bench() {
    files.executablePath = folder.PathOf("quillmere");
    folder.Write("Printer Commands/Another.ini", "[Main]\nModule_Name=Z\xE9ta\n");
    // A Form Feed command and a cut-paper record, neither a stop yet.
    folder.Write("Printer Commands/EpsonBase.ini",
                 "[Main]\nModule_Name=EpsonBase\nUseDll=1,Cut.dll\nS-Num=1\nM-Num=1\n"
                 "[Single-Command]\n1=1,FF,1,1\n[Mutli-Command]\n1=GS-Command,GS,1\n"
                 "[GS-Command]\n1=2,GS,V,3,CutPaper,0,\n");
    folder.Write("Printer Commands/Cut.dll", "stands in for the module library");
  }

  // The modal run, `steps` once it is up; "<OK|cancel|open> <boxes>|<file name field>|<unloads>".
  QString Run(const std::function<void(const EditorControls&)>& steps) {
    QTimer::singleShot(0, dialog.get(), [&] {
      if (dialog->isVisible()) {  // not in the box of a failed scan, before the window shows
        steps(dialog->Controls());
      }
      if (dialog->isVisible()) {
        dialog->done(-1);
      }
    });
    const int result = dialog->exec();
    boxes.prepend(result == 1 ? "OK" : result == 0 ? "cancel" : "open");
    return boxes.join(' ') + "|" + FromModuleText(dialog->FileName()) + "|" + unloads.join(',');
  }

  // A real box (modal, warning icon, executable's name, table's text, the detail under it),
  // answered with `key` (0: its close box) and noted as "<message> <ok|yes/no> <owned|alone>[
  // Yes]".
  void Answer(MessageId id, const QString& detail) {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    QVERIFY(box != nullptr);
    const auto buttons = box->standardButtons();
    boxes << QString::number(static_cast<int>(id)) +
                 (buttons == QMessageBox::Ok                        ? " ok"
                  : buttons == (QMessageBox::Yes | QMessageBox::No) ? " yes/no"
                                                                    : " ?") +
                 (box->parentWidget() == dialog.get() ? " owned" : " alone");
    const QString shown = box->windowTitle() + "|" + box->text() + "|" + box->informativeText() +
                          (box->isModal() && box->icon() == QMessageBox::Warning ? "" : "|?");
    key == 0 ? void(box->close()) : QTest::keyClick(box, static_cast<Qt::Key>(key));
    QCOMPARE(shown, "dialog_tests|" + FromUtf8(MessageText(id)) + "|" + detail);
  }

  codepage::ActiveCodePageScope westernEuropean{1252};

  quillmere::testing::TempFolder folder;
  quillmere::testing::FaultyFileSystem files;
  std::unique_ptr<ProfileStore> store = MakeProfileStore(files);
  PlatformServices services{*store, files, *this};
  int key = Qt::Key_Return;
  QStringList boxes;
  QStringList unloads;
  std::unique_ptr<ModuleEditorDialog> dialog = std::make_unique<ModuleEditorDialog>(
      services,
      [this](QWidget* owner, MessageId id, MessageButtons buttons, std::string_view detail) {
        QTimer::singleShot(0, [this, id, shown = FromUtf8(detail)] { Answer(id, shown); });
        const MessageAnswer answer = RunMessageBox(owner, id, buttons, detail);
        boxes.last() += answer == MessageAnswer::kYes ? " Yes" : "";
        return answer;
      });
};

// A run as a line of tests/data/ui/Runs/runs.txt says (its head tells the fields).
struct RunRow {
  QString actions, seen, lines, stops;
  int base = 1;
  QString name;
  int fault = -1;
  int key = Qt::Key_Return;
};

RunRow ReadRunRow(const QStringList& field) {
  const qsizetype fault = QStringList{"list", "rename"}.indexOf(field[7]);
  const qsizetype key = QStringList{"Return", "Escape", "close"}.indexOf(field[8]);
  return {.actions = field[1],
          .seen = field[2],
          .lines = field[3],
          .stops = field[4],
          .base = field[5].toInt(),
          .name = field[6],
          .fault = fault < 0 ? -1 : int(QList{Fault::kList, Fault::kRename}[fault]),
          .key = QList<int>{Qt::Key_Return, Qt::Key_Escape, 0}.value(key)};
}

void Act(QDialog& dialog, const EditorControls& c, const RunRow& row) {
  c.baseList->setCurrentIndex(row.base);
  c.newModuleName->insert(row.name);
  QTest::keyClicks(c.voidKeyword, QStringLiteral("Void"));
  QTest::keyClicks(c.stopKeyword, QStringLiteral("Cash"));
  const QList<QWidget*> named{c.baseList,    c.cutPaperOption, c.formFeedOption, c.voidKeyword,
                              c.stopKeyword, c.newModuleName,  c.goButton};
  for (const QString& action : row.actions.split(' ', Qt::SkipEmptyParts)) {
    const QString how = action.section('@', 0, 0);
    QWidget* target = named.value(
        QString("list cut ff void stop name go").split(' ').indexOf(action.section('@', 1)));
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

}  // namespace

Q_DECLARE_METATYPE(RunRow)

class DialogTest : public QObject {
  Q_OBJECT

 private slots:
  // Under QUILLMERE_TEST_LOCALE, QApplication must have taken it, or the run proves nothing.
  void initTestCase() {
    const QByteArray wanted = qgetenv("QUILLMERE_TEST_LOCALE");
    QCOMPARE(wanted.isEmpty() ? wanted : QByteArray(std::setlocale(LC_CTYPE, nullptr)), wanted);
  }

  // MulDiv rounds half away from zero; 4 units across are A-z's mean width, 8 down the height.
  void dialogUnits() {
    QCOMPARE(QList<int>({MulDiv(7, 3, 2), MulDiv(-7, 3, 2), MulDiv(13, 1, 4), MulDiv(1, 1, 0)}),
             QList<int>({11, -11, 3, -1}));
    QCOMPARE(MulDiv(100000, 100000, 50000), 200000);
    QCOMPARE(PixelRect({17, 17, 150, 73}, {7, 15}), QRect(30, 32, 263, 137));
    // 137 pixels less the closed list's 24 hold 7 lines of 15 pixels dropped, and never fewer
    // than 1.
    QCOMPARE(QList<int>({DroppedListLines({17, 17, 150, 73}, {7, 15}),
                         DroppedListLines({17, 17, 150, 10}, {7, 15})}),
             QList<int>({7, 1}));
    const QFontMetrics metrics(QFont("Arial", 9));
    const int letters =
        metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const DialogBaseUnits units = BaseUnitsOf(QFont("Arial", 9));
    QCOMPARE(QSize(units.horizontal, units.vertical),
             QSize(int(std::lround(letters / 52.0)), metrics.height()));
  }

  // Each control of tests/data/ui/Template102/controls.txt as built: class, text, place in pixels.
  void templateControls_data() {
    QTest::addColumn<QStringList>("control");
    const std::string lines = quillmere::testing::ReadCaseFile("ui", "Template102", "controls.txt");
    int place = 0;
    for (const QString& line : QString::fromStdString(lines).split('\n', Qt::SkipEmptyParts)) {
      if (!line.startsWith('#')) {
        QTest::addRow("%d %s", place++, qPrintable(line)) << line.split('|');
      }
    }
    QCOMPARE(place, 18);
  }
  void templateControls() {
    QFETCH(QStringList, control);
    const QStringList units = control[2].split(' ');
    const Bench bench;
    const QWidget* widget = bench.dialog->Controls().inTemplateOrder.at(
        QString(QTest::currentDataTag()).section(' ', 0, 0).toUInt());
    QCOMPARE(QString(widget->metaObject()->className()), control[0]);
    QCOMPARE(widget->property(control[0] == "QGroupBox" ? "title" : "text").toString(), control[1]);
    QRect want = PixelRect({units[0].toInt(), units[1].toInt(), units[2].toInt(), units[3].toInt()},
                           BaseUnitsOf(bench.dialog->font()));
    if (control[0] == "QComboBox") {  // closed, as high as the platform draws one
      want.setHeight(QFontMetrics(bench.dialog->font()).height() * 13 / 8);
    }
    QCOMPARE(widget->geometry(), want);
  }

  // The template's window (caption, font, size, frame, no owner, group boxes behind) opens with
  // its icons on the base list: the lines as the 8-bit names read, none chosen; Tab in order.
  void opensOnTheBaseList() {
    Bench bench;
    const QDialog& dialog = *bench.dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Quillmere"));
    QCOMPARE(dialog.font(), QFont("Arial", 9));
    const DialogBaseUnits units = BaseUnitsOf(dialog.font());
    QCOMPARE(dialog.minimumSize(), QSize(HorizontalPixels(318, units), VerticalPixels(210, units)));
    QCOMPARE(dialog.maximumSize(), dialog.minimumSize());
    const Qt::WindowFlags frame = Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    QCOMPARE(dialog.windowFlags() & (frame | Qt::WindowMinMaxButtonsHint), frame);
    QVERIFY(dialog.parentWidget() == nullptr);
    const QWidgetList stacking = dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    QVERIFY(std::all_of(stacking.begin(), stacking.begin() + 6,
                        [](const QWidget* child) { return child->inherits("QGroupBox"); }));
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
    QCOMPARE(lines, (QStringList{QString::fromUtf8("Z\xC3\xA9ta"), "EpsonBase", "-1"}));
    QCOMPARE(dialog.windowIcon().availableSizes(),
             (QList<QSize>{{16, 16}, {32, 32}, {48, 48}, {256, 256}}));
    const EditorControls& c = bench.dialog->Controls();
    QCOMPARE(visited, (QList<QWidget*>{c.baseList, c.formFeedOption, c.voidKeyword, c.stopKeyword,
                                       c.newModuleName, c.goButton, c.cutPaperOption, c.baseList}));
  }

  // Six modules drop down without a scroll bar, within the template's width: the line of a name
  // of 259 characters is cut with an ellipsis, the whole name its tool tip.
  void droppedList() {
    Bench bench;
    const std::string longName(259, 'W');
    for (const std::string name : {"A", "B", "C"}) {
      bench.folder.Write("Printer Commands/" + name + ".ini", "[Main]\nModule_Name=" + name + "\n");
    }
    bench.folder.Write("Printer Commands/Long.ini", "[Main]\nModule_Name=" + longName + "\n");
    QStringList seen;
    bench.Run([&](const EditorControls& c) {
      c.baseList->showPopup();
      const QWidget* dropped = c.baseList->view()->window();
      const int longLine = c.baseList->findData(QString::fromStdString(longName), Qt::ToolTipRole);
      seen << QString::number(c.baseList->count())
           << (c.baseList->view()->verticalScrollBar()->isVisible() ? "scrolls" : "all shown")
           << (dropped->width() <= c.baseList->width() ? "template width" : "wider")
           << (c.baseList->itemText(longLine).endsWith(QChar(0x2026)) ? "cut" : "whole");
      c.baseList->hidePopup();
    });
    QCOMPARE(seen, (QStringList{"6", "all shown", "template width", "cut"}));
  }

  // The check-box rules, and each way a run ends.
  void runEnds_data() {
    QTest::addColumn<RunRow>("row");
    const std::string lines = quillmere::testing::ReadCaseFile("ui", "Runs", "runs.txt");
    for (const QString& line : QString::fromStdString(lines).split('\n', Qt::SkipEmptyParts)) {
      const QStringList fields = line.split(';');
      if (!line.startsWith('#')) {
        QCOMPARE(fields.size(), 9);
        QTest::newRow(qPrintable(fields[0])) << ReadRunRow(fields);
      }
    }
  }
  void runEnds() {
    QFETCH(RunRow, row);
    Bench bench;
    if (row.fault >= 0) {
      bench.files.FailOn(static_cast<Fault>(row.fault));
    }
    bench.key = row.key;
    const QString seen = bench.Run([&](const EditorControls& c) { Act(*bench.dialog, c, row); });
    QCOMPARE(seen, row.seen);
    const EditorControls& c = bench.dialog->Controls();
    const auto sign = [](const QWidget* control) { return control->isEnabled() ? "+ " : "- "; };
    const QString stops = c.stopKeyword->text() + sign(c.stopKeyword) +
                          QString::number(c.cutPaperOption->isChecked()) + sign(c.cutPaperOption) +
                          QString::number(c.formFeedOption->isChecked()) + sign(c.formFeedOption) +
                          c.voidKeyword->text() + sign(c.voidKeyword);
    QCOMPARE(row.stops.isEmpty() ? row.stops : stops.trimmed(), row.stops);
    for (const QString& line : row.lines.split('|', Qt::SkipEmptyParts)) {
      const std::string written =
          bench.folder.Read("Printer Commands/" + row.name.toStdString() + ".ini");
      QVERIFY2(written.find(line.toStdString()) != std::string::npos, qPrintable(line));
    }
  }
};

QTEST_MAIN(DialogTest)
#include "dialog_test.moc"
