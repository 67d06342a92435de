// telo.exe: puts this thread into a COM apartment, shows frmMain over
// the machine's Env and runs its message loop until the window is gone. The
// apartment outlives the window and with it cnMain.
#include <windows.h>

#include "app/win32/frm_main.h"
#include "platform/windows/com_apartment.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show_command) {
  telo::ComApartment com;
  std::unique_ptr<telo::Env> env = telo::NewDefaultEnv({});
  telo::win32::FrmMain form(*env);
  if (!form.Create(instance)) return 1;
  form.Show(show_command);
  return telo::win32::RunMessageLoop(form.hwnd());
}
