// The geometry of frmMain: its caption, frame style, client size and the
// table of its five controls in twips, in tab order (which is also the order
// in which they are created), and the conversions to pixels of a screen.
#pragma once

#include <windows.h>

namespace telo::win32 {

inline constexpr wchar_t kFrmMainClass[] = L"TeloFrmMain";
inline constexpr wchar_t kFrmMainCaption[] = L"TELO Database Update";
// A fixed frame: a caption with the system menu and a minimise box, no
// sizing border and no maximise box.
inline constexpr DWORD kFrmMainStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
inline constexpr DWORD kFrmMainExStyle = 0;
inline constexpr int kClientWidthTwips = 4680;
inline constexpr int kClientHeightTwips = 2115;

inline constexpr wchar_t kNoticeText[] =
    L"Update may take some time. Please do not click on this form after clicking on Update "
    L"button. You will be given message when updation is competed.";

struct TwipsRect {
  int left;
  int top;
  int width;
  int height;
};

struct ControlSpec {
  const wchar_t* name;
  int id;
  const wchar_t* window_class;
  const wchar_t* text;
  DWORD style;
  TwipsRect twips;  // for drvMain the height of its selection field
};

// Control ids stay clear of IDOK and IDCANCEL, so Enter and Escape press nothing.
enum ControlId : int {
  kIdDrvMain = 100,
  kIdCmdUpdate = 101,
  kIdCmdCancel = 102,
  kIdLabel1 = 103,
  kIdLabel3 = 104,
};

inline constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
inline constexpr ControlSpec kFrmMainControls[] = {
    {L"drvMain",
     kIdDrvMain,
     L"ComboBox",
     L"",
     kChild | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
     {1808, 150, 2295, 315}},
    {L"cmdUpdate",
     kIdCmdUpdate,
     L"Button",
     L"Update",
     kChild | WS_TABSTOP | BS_PUSHBUTTON,
     {1148, 1590, 1155, 375}},
    {L"cmdCancel",
     kIdCmdCancel,
     L"Button",
     L"Cancel",
     kChild | WS_TABSTOP | BS_PUSHBUTTON,
     {2378, 1590, 1155, 375}},
    {L"Label1",
     kIdLabel1,
     L"Static",
     L"Select Drive:",
     kChild | SS_LEFT | SS_NOPREFIX,
     {585, 210, 1125, 195}},
    {L"Label3",
     kIdLabel3,
     L"Static",
     kNoticeText,
     kChild | SS_LEFT | SS_NOPREFIX,
     {600, 600, 3495, 855}},
};

// How far below its selection field the drive list drops down: room for
// eight or more drives before it scrolls.
inline constexpr int kDropListTwips = 2400;

struct Dpi {
  int x;
  int y;
};

// The logical pixels per inch of the screen.
Dpi ScreenDpi();

int TwipsToPixels(int twips, int dpi);
RECT PixelRect(const TwipsRect& twips, Dpi dpi);
SIZE ClientSize(Dpi dpi);
// The outer window size whose client area is ClientSize(dpi).
SIZE FrameSize(Dpi dpi);

// Verdana 8.25 pt, weight 400, ANSI character set: the font of every control.
int ControlFontHeight(Dpi dpi);
HFONT CreateControlFont(Dpi dpi);

}  // namespace telo::win32
