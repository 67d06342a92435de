// frmMain over plain Win32: the controls come from kFrmMainControls, Update
// runs the update run on this thread, Cancel destroys the window.
#include "app/win32/frmmain.h"

#include <utility>

#include "app/update_run.h"
#include "app/win32/resource.h"
#include "platform/windows/utf16.h"

namespace telo::win32 {

frmMain::frmMain(Env& env, ConnectionFactory connections)
    : env_(env), cnMain(std::move(connections)) {}

frmMain::~frmMain() {
  if (hwnd_) DestroyWindow(hwnd_);
  if (font_) DeleteObject(font_);
}

bool frmMain::RegisterWindowClass(HINSTANCE instance) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof(existing);
  if (GetClassInfoExW(instance, kFrmMainClass, &existing)) return true;

  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = &frmMain::WindowProc;
  window_class.hInstance = instance;
  window_class.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_FRMMAIN));
  window_class.hIconSm = static_cast<HICON>(
      LoadImageW(instance, MAKEINTRESOURCEW(IDI_FRMMAIN), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                 GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
  window_class.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = kFrmMainClass;
  return RegisterClassExW(&window_class) != 0;
}

bool frmMain::Create(HINSTANCE instance) {
  if (!RegisterWindowClass(instance)) return false;
  const Dpi dpi = ScreenDpi();
  const SIZE frame = FrameSize(dpi);
  hwnd_ =
      CreateWindowExW(kFrmMainExStyle, kFrmMainClass, kFrmMainCaption, kFrmMainStyle, CW_USEDEFAULT,
                      CW_USEDEFAULT, frame.cx, frame.cy, nullptr, nullptr, instance, this);
  if (!hwnd_) return false;
  if (!CreateControls(instance, dpi)) return false;
  desktop_ = std::make_unique<WinDesktop>(hwnd_, drvMain);
  FillDriveList();
  return true;
}

bool frmMain::CreateControls(HINSTANCE instance, Dpi dpi) {
  font_ = CreateControlFont(dpi);
  for (const ControlSpec& entry : kFrmMainControls) {
    RECT rect = PixelRect(entry.twips, dpi);
    if (entry.id == kIdDrvMain) rect.bottom += TwipsToPixels(kDropListTwips, dpi.y);
    HWND window =
        CreateWindowExW(0, entry.window_class, entry.text, entry.style, rect.left, rect.top,
                        rect.right - rect.left, rect.bottom - rect.top, hwnd_,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(entry.id)), instance, nullptr);
    if (!window) return false;
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  }
  drvMain = control(kIdDrvMain);
  const RECT field = PixelRect(kFrmMainControls[0].twips, dpi);
  SetSelectionFieldHeight(drvMain, field.bottom - field.top);
  return true;
}

static int WindowHeight(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  return rect.bottom - rect.top;
}

// The field grows one for one with the item height that is set, but the
// height read back need not be the one that was set (Wine reports 2 px
// more), so a second request corrects by what the first left over.
void SetSelectionFieldHeight(HWND combo, int height) {
  LRESULT request = SendMessageW(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
  if (request == CB_ERR) return;
  for (int attempt = 0; attempt < 2; ++attempt) {
    const int surplus = height - WindowHeight(combo);
    if (surplus == 0 || request + surplus <= 0) return;
    request += surplus;
    SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), request);
  }
}

void frmMain::FillDriveList() {
  const std::string current = env_.CurrentDriveEntry();
  for (const std::string& entry : env_.DriveEntries()) {
    const LRESULT index = SendMessageW(drvMain, CB_ADDSTRING, 0,
                                       reinterpret_cast<LPARAM>(Utf16FromUtf8(entry).c_str()));
    if (entry == current) SendMessageW(drvMain, CB_SETCURSEL, index, 0);
  }
}

void frmMain::Show(int show_command) {
  ShowWindow(hwnd_, show_command);
  UpdateWindow(hwnd_);
  SetFocus(drvMain);
}

void frmMain::cmdUpdate_Click() {
  RunUpdate(DriveOfEntry(desktop_->CurrentDriveText()), *desktop_, env_, cnMain);
}

void frmMain::cmdCancel_Click() { DestroyWindow(hwnd_); }

LRESULT CALLBACK frmMain::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* created =
        reinterpret_cast<frmMain*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    created->hwnd_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
  }
  auto* form = reinterpret_cast<frmMain*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!form) return DefWindowProcW(window, message, wparam, lparam);
  return form->HandleMessage(message, wparam, lparam);
}

LRESULT frmMain::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(LOWORD(wparam), HIWORD(wparam));
      return 0;
    case WM_ACTIVATE:
      OnActivate(wparam);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY: {
      HWND window = hwnd_;
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      hwnd_ = drvMain = last_focus_ = nullptr;
      return DefWindowProcW(window, message, wparam, lparam);
    }
    default:
      return DefWindowProcW(hwnd_, message, wparam, lparam);
  }
}

void frmMain::OnCommand(int id, int notification) {
  if (notification != BN_CLICKED) return;
  if (id == kIdCmdUpdate) cmdUpdate_Click();
  if (id == kIdCmdCancel) cmdCancel_Click();
}

// As in a dialog box, the focused control is remembered when the window is
// deactivated (by a message box, say) and gets the focus back afterwards.
void frmMain::OnActivate(WPARAM wparam) {
  if (LOWORD(wparam) == WA_INACTIVE) {
    HWND focus = GetFocus();
    if (focus && IsChild(hwnd_, focus)) last_focus_ = focus;
    return;
  }
  if (HIWORD(wparam)) return;  // minimised
  SetFocus(last_focus_ ? last_focus_ : drvMain);
}

int RunMessageLoop(HWND dialog) {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (IsWindow(dialog) && IsDialogMessageW(dialog, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace telo::win32
