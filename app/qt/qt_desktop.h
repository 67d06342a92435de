// QtDesktop: the Desktop of the update run over a Qt window. Message boxes are
// application-modal QMessageBoxes owned by the window; the drive is read from
// and the focus given to its drive list; directory changes and VirtualStore
// copies go to the Env. It only borrows the window, the list and the Env, which
// must outlive it. Used on the GUI thread only.
#pragma once

#include <string>
#include <string_view>

#include "app/desktop.h"
#include "db/env.h"

class QComboBox;
class QString;
class QWidget;

namespace telo {

// UTF-8 text as a QString.
QString ToQString(std::string_view text);

class QtDesktop : public Desktop {
 public:
  QtDesktop(QWidget& window, QComboBox& drive_list, Env& env)
      : window_(window), drive_list_(drive_list), env_(env) {}

  int ShowMessage(std::string_view prompt, std::string_view title, int style) override;
  std::string CurrentDriveText() override;
  Status ChangeDirectory(std::string_view windows_folder) override;
  void FocusDriveList() override;
  std::string VirtualStoreCopy(std::string_view database_path) override;

 private:
  QWidget& window_;
  QComboBox& drive_list_;
  Env& env_;
};

}  // namespace telo
