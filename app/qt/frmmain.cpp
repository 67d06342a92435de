// frmMain: five controls at fixed twips positions, and the two click handlers.
#include "app/qt/frmmain.h"

#include <QComboBox>
#include <QFont>
#include <QLabel>
#include <QPushButton>
#include <QString>
#include <utility>

#include "app/qt/qt_desktop.h"
#include "app/update_run.h"

namespace telo {
namespace {

// The font that every control carries: Verdana 8.25 pt, normal weight.
QFont ControlFont() {
  QFont font(QStringLiteral("Verdana"));
  font.setPointSizeF(8.25);
  font.setWeight(QFont::Normal);
  font.setItalic(false);
  font.setUnderline(false);
  font.setStrikeOut(false);
  return font;
}

// Client area and controls, in twips.
constexpr int kClientWidth = 4680;
constexpr int kClientHeight = 2115;

}  // namespace

frmMain::frmMain(Env& env, ConnectionFactory connections, QWidget* parent)
    : QWidget(parent), env_(env), cnMain(std::move(connections)) {
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(ToQString(kWindowCaption));
  setFixedSize(TwipsToPixels(kClientWidth, logicalDpiX()),
               TwipsToPixels(kClientHeight, logicalDpiY()));
  CreateControls();
  FillDriveList();
  drvMain->setFocus(Qt::OtherFocusReason);
}

frmMain::~frmMain() = default;

QRect frmMain::TwipsRect(int left, int top, int width, int height) const {
  const int dpi_x = logicalDpiX();
  const int dpi_y = logicalDpiY();
  return QRect(TwipsToPixels(left, dpi_x), TwipsToPixels(top, dpi_y), TwipsToPixels(width, dpi_x),
               TwipsToPixels(height, dpi_y));
}

// Created in tab order, so the focus chain is drvMain, cmdUpdate, cmdCancel.
void frmMain::CreateControls() {
  const QFont font = ControlFont();

  drvMain = new QComboBox(this);
  drvMain->setObjectName(QStringLiteral("drvMain"));
  drvMain->setEditable(false);
  drvMain->setGeometry(TwipsRect(1808, 150, 2295, 315));

  cmdUpdate = new QPushButton(ToQString(kUpdateText), this);
  cmdUpdate->setObjectName(QStringLiteral("cmdUpdate"));
  cmdUpdate->setGeometry(TwipsRect(1148, 1590, 1155, 375));
  connect(cmdUpdate, &QPushButton::clicked, this, &frmMain::cmdUpdate_Click);

  cmdCancel = new QPushButton(ToQString(kCancelText), this);
  cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
  cmdCancel->setGeometry(TwipsRect(2378, 1590, 1155, 375));
  connect(cmdCancel, &QPushButton::clicked, this, &frmMain::cmdCancel_Click);

  Label1 = new QLabel(ToQString(kDriveLabelText), this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setGeometry(TwipsRect(585, 210, 1125, 195));

  Label3 = new QLabel(ToQString(kNoticeText), this);
  Label3->setObjectName(QStringLiteral("Label3"));
  Label3->setGeometry(TwipsRect(600, 600, 3495, 855));
  Label3->setWordWrap(true);

  for (QLabel* label : {Label1, Label3}) {
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setFocusPolicy(Qt::NoFocus);
  }
  for (QWidget* control :
       std::initializer_list<QWidget*>{drvMain, cmdUpdate, cmdCancel, Label1, Label3}) {
    control->setFont(font);
  }
  setTabOrder(drvMain, cmdUpdate);
  setTabOrder(cmdUpdate, cmdCancel);
}

// The Env's drives, starting on the current one; nothing else sets the list.
void frmMain::FillDriveList() {
  for (const std::string& entry : env_.DriveEntries()) drvMain->addItem(ToQString(entry));
  const int current = drvMain->findText(ToQString(env_.CurrentDriveEntry()));
  if (current >= 0) drvMain->setCurrentIndex(current);
}

// The update run, to its end on this thread.
void frmMain::cmdUpdate_Click() {
  QtDesktop desktop(*this, *drvMain);
  RunUpdate(DriveOfEntry(desktop.CurrentDriveText()), desktop, env_, cnMain);
}

void frmMain::cmdCancel_Click() { close(); }

bool frmMain::WarnWhenNoDrives() {
  if (drvMain->count() > 0) return false;
  std::string problem = env_.DriveProblem();
  if (problem.empty()) problem = "No drives were found on this computer.";
  QtDesktop desktop(*this, *drvMain);
  (void)desktop.ShowMessage(problem, kWindowCaption, BoxStyle::kWarning);  // only OK
  return true;
}

}  // namespace telo
