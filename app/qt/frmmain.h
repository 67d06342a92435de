// frmMain: the utility's only window, in Qt 6 Widgets. It shows the drives of
// an Env in drvMain, runs the update run on the window's own thread when
// cmdUpdate is clicked, and closes when cmdCancel is clicked. The Env lists the
// drives and changes directories; it must outlive the window. cnMain's
// connection comes from `connections`. Everything here runs on the GUI thread.
#pragma once

#include <QWidget>
#include <string_view>

#include "db/connection.h"
#include "platform/env.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace telo {

inline constexpr std::string_view kWindowCaption = "TELO Database Update";
inline constexpr std::string_view kDriveLabelText = "Select Drive:";
inline constexpr std::string_view kNoticeText =
    "Update may take some time. Please do not click on this form after clicking on Update button. "
    "You will be given message when updation is competed.";
inline constexpr std::string_view kUpdateText = "Update";
inline constexpr std::string_view kCancelText = "Cancel";

// A length in twips (1/1440 inch) as whole pixels at `dpi`, rounded to nearest.
constexpr int TwipsToPixels(int twips, int dpi) { return (twips * dpi + 720) / 1440; }

class frmMain : public QWidget {
  Q_OBJECT

 public:
  frmMain(Env& env, ConnectionFactory connections, QWidget* parent = nullptr);
  ~frmMain() override;

  // For start-up: when the drive list is empty, tells the user why in a
  // warning box and returns true; otherwise shows nothing.
  bool WarnWhenNoDrives();

 private:
  void cmdUpdate_Click();
  void cmdCancel_Click();

  void CreateControls();
  void FillDriveList();
  QRect TwipsRect(int left, int top, int width, int height) const;

  Env& env_;
  ConnectionSlot cnMain;
  QComboBox* drvMain = nullptr;
  QPushButton* cmdUpdate = nullptr;
  QPushButton* cmdCancel = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Label3 = nullptr;
};

}  // namespace telo
