// frmMain under QTest on the offscreen platform: layout, fonts and texts, the
// focus chain, and Update and Cancel end to end with the real message boxes.
// A BoxAnswerer answers each box as a user would (it clicks a button) after
// recording what the box showed and saving a screenshot of it.
#include "app/qt/frmmain.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <deque>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/qt/qt_desktop.h"
#include "app/update_run.h"
#include "app/verify.h"
#include "db/connection_factory.h"
#include "testing/fake_connection.h"
#include "testing/fake_desktop.h"
#include "testing/fake_env.h"
#include "testing/fault_injection_connection.h"
#include "testing/temp_prefix.h"
#include "tools/sample_db.h"

namespace {

using telo::frmMain;

// Drives and folders as the test sets them, and `connections` for the window,
// which go to a FakeDatabase.
class TestEnv : public telo::FakeEnv {
 public:
  TestEnv() { drive_entries = {"a: [floppy]", "c: [drive_c]", "d: [data]"}; }
  telo::FakeDatabase database;
  telo::FaultInjection injection;
  telo::ConnectionFactory connections = injection.Wrap(database.Factory());
};

QString ScreenshotPath(const QString& name) {
  QDir().mkpath(QStringLiteral(TELO_SCREENSHOT_DIR));
  return QStringLiteral(TELO_SCREENSHOT_DIR "/") + name + QStringLiteral(".png");
}

// The offscreen platform draws no window frame, so the shot gets a plain
// title bar with the window's title above its client area.
bool SaveScreenshot(QWidget& window, const QString& name) {
  const QPixmap client = window.grab();
  const QFontMetrics metrics(QApplication::font());
  const int bar = metrics.height() + 10;
  const int width = std::max(client.width(), metrics.horizontalAdvance(window.windowTitle()) + 20);
  QImage shot(width, client.height() + bar, QImage::Format_RGB32);
  shot.fill(QColor(0xe0, 0xe0, 0xe0));
  QPainter painter(&shot);
  painter.fillRect(0, 0, width, bar, QColor(0x3c, 0x5a, 0x8c));
  painter.setPen(Qt::white);
  painter.drawText(QRect(8, 0, width - 8, bar), Qt::AlignVCenter | Qt::AlignLeft,
                   window.windowTitle());
  painter.drawPixmap(0, bar, client);
  painter.end();
  return shot.save(ScreenshotPath(name), "PNG");
}

struct SeenBox {
  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons buttons;
  QMessageBox::StandardButton default_button = QMessageBox::NoButton;
  bool screenshot_saved = false;
};

// Polls for the application's modal box and clicks the next scripted answer
// on it. A box beyond the script is rejected, so a test can't hang on it.
class BoxAnswerer {
 public:
  BoxAnswerer(std::deque<QMessageBox::StandardButton> answers, QString shot_prefix)
      : answers_(std::move(answers)), shot_prefix_(std::move(shot_prefix)) {
    QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
    timer_.start(10);
  }

  const std::vector<SeenBox>& seen() const { return seen_; }

 private:
  void Poll() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || !box->isVisible() || box->property("answered").toBool()) return;
    box->setProperty("answered", true);
    SeenBox record;
    record.title = box->windowTitle();
    record.text = box->text();
    record.icon = box->icon();
    record.buttons = box->standardButtons();
    record.default_button = box->standardButton(box->defaultButton());
    record.screenshot_saved =
        SaveScreenshot(*box, shot_prefix_ + QString::number(seen_.size() + 1));
    seen_.push_back(record);
    if (answers_.empty()) {
      box->reject();
      return;
    }
    QAbstractButton* button = box->button(answers_.front());
    answers_.pop_front();
    if (button == nullptr) {
      box->reject();
      return;
    }
    QTest::mouseClick(button, Qt::LeftButton);
  }

  QTimer timer_;
  std::deque<QMessageBox::StandardButton> answers_;
  QString shot_prefix_;
  std::vector<SeenBox> seen_;
};

// Clicks `button` and answers the boxes that the click brings up, in order.
std::vector<SeenBox> ClickAnswering(QWidget* button,
                                    std::deque<QMessageBox::StandardButton> answers,
                                    const QString& shot_prefix) {
  BoxAnswerer answerer(std::move(answers), shot_prefix);
  QTest::mouseClick(button, Qt::LeftButton);
  return answerer.seen();
}

template <typename T>
T* Control(frmMain& window, const char* name) {
  T* control = window.findChild<T*>(QString::fromLatin1(name));
  if (control == nullptr) qFatal("frmMain has no %s", name);
  return control;
}

[[nodiscard]] bool ShowAndActivate(frmMain& window) {
  window.show();
  window.activateWindow();
  return QTest::qWaitForWindowActive(&window);
}

// How many of the patched tables of the standard database on c: already
// hold the patch data; -1 if the database could not be read.
int TablesUpToDate(const telo::ConnectionFactory& connections) {
  std::unique_ptr<telo::Connection> connection = connections();
  if (!connection
           ->Open(telo::DatabaseConnectionString(telo::InstallFolder('c', 0) + "CVL.MDB"), "", "",
                  telo::kAdoUnspecified)
           .ok()) {
    return -1;
  }
  int up_to_date = 0;
  for (const telo::TableCheck& check : telo::CheckTables(*connection, telo::PatchedTables())) {
    if (check.state == telo::TableState::kUpToDate) ++up_to_date;
  }
  if (!connection->Close().ok()) return -1;
  return up_to_date;
}

void ExpectConfirmation(const SeenBox& box) {
  QCOMPARE(box.title, telo::ToQString(telo::kConfirmTitle));
  QCOMPARE(box.text, telo::ToQString(telo::kConfirmPrompt));
  QCOMPARE(box.icon, QMessageBox::Information);
  QCOMPARE(box.buttons, QMessageBox::Yes | QMessageBox::No);
  QCOMPARE(box.default_button, QMessageBox::Yes);
  QVERIFY(box.screenshot_saved);
}

struct Placement {
  const char* name;
  int left, top, width, height;
};

// The layout in twips, in tab order.
constexpr Placement kPlacements[] = {
    {"drvMain", 1808, 150, 2295, 315},    {"cmdUpdate", 1148, 1590, 1155, 375},
    {"cmdCancel", 2378, 1590, 1155, 375}, {"Label1", 585, 210, 1125, 195},
    {"Label3", 600, 600, 3495, 855},
};

}  // namespace

class FrmMainTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { QDir().mkpath(QStringLiteral(TELO_SCREENSHOT_DIR)); }

  void controlsSitAtTheirTwipsRectangles() {
    TestEnv env;
    frmMain window(env, env.connections);
    const int dpi_x = window.logicalDpiX();
    const int dpi_y = window.logicalDpiY();
    auto px = [](int twips, int dpi) { return (twips * dpi + 720) / 1440; };
    const QSize client(px(4680, dpi_x), px(2115, dpi_y));
    QCOMPARE(window.minimumSize(), client);
    QCOMPARE(window.maximumSize(), client);
    for (const Placement& p : kPlacements) {
      QWidget* control = Control<QWidget>(window, p.name);
      QCOMPARE(control->geometry(),
               QRect(px(p.left, dpi_x), px(p.top, dpi_y), px(p.width, dpi_x), px(p.height, dpi_y)));
    }
    QVERIFY(ShowAndActivate(window));
    QCOMPARE(window.size(), client);
    if (dpi_x == 96 && dpi_y == 96) {
      // Rounded, not truncated: 1808 twips are 120.5 px and become 121.
      QCOMPARE(Control<QWidget>(window, "drvMain")->geometry(), QRect(121, 10, 153, 21));
      QCOMPARE(client, QSize(312, 141));
    }
    QVERIFY(SaveScreenshot(window, QStringLiteral("frmMain")));
  }

  void everyControlCarriesVerdana825Normal() {
    TestEnv env;
    frmMain window(env, env.connections);
    QVERIFY(!window.testAttribute(Qt::WA_SetFont));  // the window sets no font of its own
    for (const Placement& p : kPlacements) {
      const QFont font = Control<QWidget>(window, p.name)->font();
      QCOMPARE(font.family(), QStringLiteral("Verdana"));
      QCOMPARE(font.pointSizeF(), 8.25);
      QCOMPARE(font.weight(), QFont::Normal);
      QVERIFY(!font.italic() && !font.underline() && !font.strikeOut());
    }
  }

  void captionAndTextsAreExact() {
    TestEnv env;
    frmMain window(env, env.connections);
    QCOMPARE(window.windowTitle(), QStringLiteral("TELO Database Update"));
    QCOMPARE(Control<QPushButton>(window, "cmdUpdate")->text(), QStringLiteral("Update"));
    QCOMPARE(Control<QPushButton>(window, "cmdCancel")->text(), QStringLiteral("Cancel"));
    QCOMPARE(Control<QLabel>(window, "Label1")->text(), QStringLiteral("Select Drive:"));
    auto* notice = Control<QLabel>(window, "Label3");
    QCOMPARE(notice->text(),
             QStringLiteral("Update may take some time. Please do not click on this form after "
                            "clicking on Update button. You will be given message when updation "
                            "is competed."));
    QCOMPARE(notice->text().size(), 145);
    QVERIFY(notice->wordWrap());
    for (auto* button : window.findChildren<QPushButton*>()) {
      QVERIFY(button->shortcut().isEmpty());
    }
  }

  void driveListShowsTheEnvsDrivesOnTheCurrentOne() {
    TestEnv env;
    env.current_drive_entry = "d: [data]";
    frmMain window(env, env.connections);
    auto* list = Control<QComboBox>(window, "drvMain");
    QVERIFY(!list->isEditable());
    QCOMPARE(list->count(), 3);
    QCOMPARE(list->itemText(0), QStringLiteral("a: [floppy]"));
    QCOMPARE(list->itemText(2), QStringLiteral("d: [data]"));
    QCOMPARE(list->currentText(), QStringLiteral("d: [data]"));
    QVERIFY(!window.WarnWhenNoDrives());
  }

  void labelTextsFitTheirRectangles() {
    TestEnv env;
    frmMain window(env, env.connections);
    for (const char* name : {"Label1", "Label3"}) {
      auto* label = Control<QLabel>(window, name);
      const QRect room = label->contentsRect();
      int flags = static_cast<int>(label->alignment());
      if (label->wordWrap()) flags |= Qt::TextWordWrap;
      const QRect needed = QFontMetrics(label->font()).boundingRect(room, flags, label->text());
      qInfo("%s: %s %.2fpt needs %dx%d px of %dx%d", name,
            qPrintable(QFontInfo(label->font()).family()), label->font().pointSizeF(),
            needed.width(), needed.height(), room.width(), room.height());
      QVERIFY2(room.contains(needed), name);
    }
  }

  void focusStartsOnDriveListAndTabsThroughButtons() {
    TestEnv env;
    frmMain window(env, env.connections);
    QVERIFY(ShowAndActivate(window));
    auto* list = Control<QComboBox>(window, "drvMain");
    auto* update = Control<QPushButton>(window, "cmdUpdate");
    auto* cancel = Control<QPushButton>(window, "cmdCancel");
    QCOMPARE(QApplication::focusWidget(), list);
    QTest::keyClick(&window, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), update);
    QTest::keyClick(&window, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), cancel);
    QTest::keyClick(&window, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), list);
    QCOMPARE(Control<QLabel>(window, "Label1")->focusPolicy(), Qt::NoFocus);
    QCOMPARE(Control<QLabel>(window, "Label3")->focusPolicy(), Qt::NoFocus);
  }

  void answeringNoFocusesDriveListAndShowsNothingMore() {
    TestEnv env;
    env.existing_folders = {"c:\\Program Files\\Corvallo\\"};
    frmMain window(env, env.connections);
    QVERIFY(ShowAndActivate(window));
    auto* cancel = Control<QPushButton>(window, "cmdCancel");
    cancel->setFocus();
    QCOMPARE(QApplication::focusWidget(), cancel);

    const std::vector<SeenBox> boxes =
        ClickAnswering(Control<QPushButton>(window, "cmdUpdate"), {QMessageBox::No},
                       QStringLiteral("no-branch-box"));

    QCOMPARE(boxes.size(), 1u);
    ExpectConfirmation(boxes[0]);
    if (QTest::currentTestFailed()) return;
    QCOMPARE(window.focusWidget(), Control<QComboBox>(window, "drvMain"));
    QVERIFY(ShowAndActivate(window));
    QCOMPARE(QApplication::focusWidget(), Control<QComboBox>(window, "drvMain"));
    QVERIFY(env.directory_changes.empty());
    QCOMPARE(env.database.connections_created, 0);
  }

  void yesPatchesTheDriveChosenInTheListAndReportsSuccess() {
    TestEnv env;
    env.existing_folders = {"d:\\Program Files\\Corvallo\\"};
    frmMain window(env, env.connections);
    QVERIFY(ShowAndActivate(window));
    Control<QComboBox>(window, "drvMain")->setCurrentIndex(2);  // "d: [data]"

    const std::vector<SeenBox> boxes =
        ClickAnswering(Control<QPushButton>(window, "cmdUpdate"),
                       {QMessageBox::Yes, QMessageBox::Ok}, QStringLiteral("fake-yes-box"));

    QCOMPARE(boxes.size(), 2u);
    ExpectConfirmation(boxes[0]);
    if (QTest::currentTestFailed()) return;
    const SeenBox& done = boxes[1];
    QCOMPARE(done.title, QStringLiteral("Database Update"));
    QCOMPARE(done.text, QStringLiteral("Database Updated successfully !  "));
    QCOMPARE(done.icon, QMessageBox::Information);
    QCOMPARE(done.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(env.directory_changes,
             (std::vector<std::string>{"d:\\Program Files\\Corvallo\\",
                                       "d:\\Program Files (x86)\\Corvallo\\"}));
    QCOMPARE(env.injection.opened(),
             (std::vector<std::string>{
                 "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=d:\\Program Files\\Corvallo\\"
                 "CVL.MDB;Jet OLEDB:Database Password=846",
                 "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=d:\\Program Files\\Corvallo\\"
                 "CVL.MDB;Jet OLEDB:Database Password=846;Mode=Read"}));
    QVERIFY(!env.database.durable.empty());
    QVERIFY(window.isVisible());  // the window stays for another run

    // A second click repeats the whole run, confirmation first, on the same cnMain.
    QVERIFY(ShowAndActivate(window));
    const std::vector<SeenBox> again =
        ClickAnswering(Control<QPushButton>(window, "cmdUpdate"),
                       {QMessageBox::Yes, QMessageBox::Ok}, QStringLiteral("fake-again-box"));
    QCOMPARE(again.size(), 2u);
    QCOMPARE(env.injection.opened().size(), 4u);  // each run opens to patch, then to read back
    QCOMPARE(env.database.connections_created, 1);
  }

  void yesOnSamplePrefixPatchesItsDatabase() {
    // A Wine-style prefix whose drive c: holds a sample host database in the
    // standard install folder.
    const telo::TempPrefix prefix("telo_window", {.install_folders = 1});
    QVERIFY2(prefix.status().ok(), prefix.status().ToString().c_str());
    QVERIFY(
        telo::CreateSampleDatabase(prefix.Database().string(), std::string(telo::kSamplePassword))
            .ok());
    const std::string prefix_dir = prefix.root().string();
    std::unique_ptr<telo::Env> env = telo::NewDefaultEnv({prefix_dir});
    const telo::ConnectionFactory connections = telo::NewDefaultConnectionFactory({prefix_dir});
    QCOMPARE(TablesUpToDate(connections), 0);
    const QString start_directory = QDir::currentPath();

    frmMain window(*env, connections);
    QVERIFY(ShowAndActivate(window));
    QCOMPARE(Control<QComboBox>(window, "drvMain")->currentText(), QStringLiteral("c: [drive_c]"));
    const std::vector<SeenBox> boxes =
        ClickAnswering(Control<QPushButton>(window, "cmdUpdate"),
                       {QMessageBox::Yes, QMessageBox::Ok}, QStringLiteral("sample-prefix-box"));
    QDir::setCurrent(start_directory);  // the probe left it in the install folder

    QCOMPARE(boxes.size(), 2u);
    ExpectConfirmation(boxes[0]);
    if (QTest::currentTestFailed()) return;
    QCOMPARE(boxes[1].text, QStringLiteral("Database Updated successfully !  "));
    QCOMPARE(boxes[1].title, QStringLiteral("Database Update"));
    QCOMPARE(boxes[1].icon, QMessageBox::Information);
    QCOMPARE(boxes[1].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(TablesUpToDate(connections), static_cast<int>(telo::PatchedTables().size()));
  }

  void runWithoutDatabaseShowsTheReportsWarning() {
    TestEnv env;
    frmMain window(env, env.connections);
    QVERIFY(ShowAndActivate(window));

    const std::vector<SeenBox> boxes =
        ClickAnswering(Control<QPushButton>(window, "cmdUpdate"),
                       {QMessageBox::Yes, QMessageBox::Ok}, QStringLiteral("no-database-box"));

    // The window shows what the update run asks for, word for word.
    telo::FakeDesktop desktop;
    telo::FakeDatabase unused;
    telo::ConnectionSlot slot(unused.Factory());
    telo::FakeEnv no_folders;
    telo::RunUpdate('c', desktop, no_folders, slot);
    QCOMPARE(desktop.messages.size(), 2u);

    QCOMPARE(boxes.size(), 2u);
    const SeenBox& warning = boxes[1];
    QCOMPARE(warning.text, telo::ToQString(desktop.messages[1].prompt));
    QCOMPARE(warning.title, telo::ToQString(desktop.messages[1].title));
    QCOMPARE(warning.icon, QMessageBox::Warning);
    QCOMPARE(warning.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(env.database.connections_created, 0);
  }

  void emptyDriveListWarnsWithTheEnvsProblem() {
    TestEnv env;
    env.drive_entries.clear();
    env.current_drive_entry.clear();
    env.drive_problem = "There is no Wine prefix at /home/nobody/.wine.";
    frmMain window(env, env.connections);
    QVERIFY(ShowAndActivate(window));
    BoxAnswerer answerer({QMessageBox::Ok}, QStringLiteral("no-drives-box"));
    QVERIFY(window.WarnWhenNoDrives());
    const std::vector<SeenBox>& boxes = answerer.seen();
    QCOMPARE(boxes.size(), 1u);
    QCOMPARE(boxes[0].text, telo::ToQString(env.drive_problem));
    QCOMPARE(boxes[0].title, QStringLiteral("TELO Database Update"));
    QCOMPARE(boxes[0].icon, QMessageBox::Warning);
  }

  void cancelClosesWindowAndEndsEventLoopWithZero() {
    TestEnv env;
    env.existing_folders = {"c:\\Program Files\\Corvallo\\"};
    frmMain window(env, env.connections);
    QVERIFY(ShowAndActivate(window));
    BoxAnswerer answerer({}, QStringLiteral("cancel-box"));
    QTimer::singleShot(0, [&window] {
      QTest::mouseClick(Control<QPushButton>(window, "cmdCancel"), Qt::LeftButton);
    });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    watchdog.start(10000);

    QCOMPARE(QApplication::exec(), 0);
    QVERIFY(!window.isVisible());
    QVERIFY(answerer.seen().empty());
    QVERIFY(env.directory_changes.empty());
    QCOMPARE(env.database.connections_created, 0);
  }
};

QTEST_MAIN(FrmMainTest)
#include "frmmain_test.moc"
