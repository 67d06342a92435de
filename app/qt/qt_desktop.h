// QtDesktop: the Desktop of the update run over a Qt window. Message boxes are
// application-modal QMessageBoxes owned by the window; the drive is read from
// and the focus given to its drive list. It only borrows the window and the
// list, which must outlive it. Used on the GUI thread only.
#pragma once

#include <string>
#include <string_view>

#include "app/desktop.h"

class QComboBox;
class QString;
class QWidget;

namespace telo {

// UTF-8 text as a QString.
QString ToQString(std::string_view text);

class QtDesktop : public Desktop {
 public:
  QtDesktop(QWidget& window, QComboBox& drive_list) : window_(window), drive_list_(drive_list) {}

  BoxAnswer ShowMessage(std::string_view prompt, std::string_view title, BoxStyle style) override;
  // The text of the drive chosen in the drive list.
  std::string CurrentDriveText();
  void FocusDriveList() override;

 private:
  QWidget& window_;
  QComboBox& drive_list_;
};

}  // namespace telo
