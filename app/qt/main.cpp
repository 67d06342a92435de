// telo: starts frmMain over the default Env and connections (the drives of
// the Wine prefix in $WINEPREFIX or ~/.wine) and runs the event loop until
// the window is closed. It reads no arguments and sets no exit code of its own.
#include <QApplication>
#include <QTimer>
#include <iostream>

#include "app/qt/frmmain.h"
#include "db/connection_factory.h"
#include "platform/env.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  std::unique_ptr<telo::Env> env = telo::NewDefaultEnv({});
  const std::string problem = env->DriveProblem();
  if (!problem.empty()) std::cerr << "telo: " << problem << "\n";

  telo::frmMain window(*env, telo::NewDefaultConnectionFactory({}));
  window.show();
  // Once the window is up, so that the warning stands in front of it.
  QTimer::singleShot(0, &window, [&window] { window.WarnWhenNoDrives(); });
  return app.exec();
}
