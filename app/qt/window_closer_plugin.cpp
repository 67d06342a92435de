// A Qt generic plugin for the tests, never shipped: loaded into the real telo
// program through QT_QPA_GENERIC_PLUGINS=telo_window_closer:HOW, it waits for
// frmMain to be shown and then closes it as a user would. HOW "cancel" clicks
// cmdCancel; "close-box" sends the close that the window system's close box
// sends. Anything else closes nothing, so the program runs into its test's
// time limit.
#include <QApplication>
#include <QGenericPlugin>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

namespace {

class WindowCloser : public QObject {
 public:
  explicit WindowCloser(QString how) : how_(std::move(how)) {
    connect(&poll_, &QTimer::timeout, this, &WindowCloser::CloseWhenShown);
    poll_.start(50);
  }

 private:
  void CloseWhenShown() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
      if (window->objectName() != QLatin1String("frmMain") || !window->isVisible()) continue;
      poll_.stop();
      if (how_ == QLatin1String("cancel")) {
        QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("cmdCancel")),
                          Qt::LeftButton);
      } else if (how_ == QLatin1String("close-box")) {
        window->windowHandle()->close();  // the platform's close event, as from the close box
      }
      return;
    }
  }

  QString how_;
  QTimer poll_;
};

}  // namespace

class WindowCloserPlugin : public QGenericPlugin {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "window_closer_plugin.json")

 public:
  // QGuiApplication owns the object and deletes it when it ends.
  QObject* create(const QString& key, const QString& how) override {
    if (key != QLatin1String("telo_window_closer")) return nullptr;
    return new WindowCloser(how);
  }
};

#include "window_closer_plugin.moc"
