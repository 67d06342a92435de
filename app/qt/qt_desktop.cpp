// QtDesktop: message-box styles as QMessageBoxes, the drive list as a QComboBox.
#include "app/qt/qt_desktop.h"

#include <QComboBox>
#include <QMessageBox>
#include <QString>
#include <QWidget>

namespace telo {

QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

namespace {

struct BoxLook {
  QMessageBox::Icon icon;
  QMessageBox::StandardButtons buttons;
  QMessageBox::StandardButton default_button;
};

BoxLook LookOfStyle(BoxStyle style) {
  switch (style) {
    case BoxStyle::kQuestion:
      return {QMessageBox::Information, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes};
    case BoxStyle::kWarning:
      return {QMessageBox::Warning, QMessageBox::Ok, QMessageBox::Ok};
    case BoxStyle::kInformation:
      break;
  }
  return {QMessageBox::Information, QMessageBox::Ok, QMessageBox::Ok};
}

BoxAnswer AnswerOf(QMessageBox::StandardButton button) {
  switch (button) {
    case QMessageBox::Yes:
      return BoxAnswer::kYes;
    case QMessageBox::No:
      return BoxAnswer::kNo;
    default:
      return BoxAnswer::kOk;
  }
}

}  // namespace

BoxAnswer QtDesktop::ShowMessage(std::string_view prompt, std::string_view title, BoxStyle style) {
  const BoxLook look = LookOfStyle(style);
  QMessageBox box(look.icon, ToQString(title), ToQString(prompt), look.buttons, &window_);
  box.setTextFormat(Qt::PlainText);
  box.setDefaultButton(look.default_button);
  box.exec();
  QAbstractButton* clicked = box.clickedButton();
  // A box closed without any of its buttons counts as its last button: No or OK.
  if (clicked == nullptr) {
    return look.buttons.testFlag(QMessageBox::No) ? BoxAnswer::kNo : BoxAnswer::kOk;
  }
  return AnswerOf(box.standardButton(clicked));
}

std::string QtDesktop::CurrentDriveText() { return drive_list_.currentText().toStdString(); }

void QtDesktop::FocusDriveList() { drive_list_.setFocus(Qt::OtherFocusReason); }

}  // namespace telo
