// telo.exe: puts this thread into a COM apartment, shows frmMain over
// the machine's Env and ADO connections and runs its message loop until the
// window is gone. The apartment outlives the window and with it cnMain. When
// COM can't be had, a box says so and the program ends with exit code 1.
#include <windows.h>

#include <string>

#include "app/win32/frmmain.h"
#include "app/win32/layout.h"
#include "db/connection_factory.h"
#include "platform/windows/com_apartment.h"
#include "platform/windows/utf16.h"

namespace {

int ReportNoCom(const telo::Status& why) {
  const std::string text =
      "The database update can't start: Windows could not set up COM, which it needs to open the "
      "database (" +
      why.ToString() + "). Restart Windows, then start the update again.";
  MessageBoxW(nullptr, telo::Utf16FromUtf8(text).c_str(), telo::win32::kFrmMainCaption,
              MB_OK | MB_ICONERROR);
  return 1;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show_command) {
  telo::ComApartment com;
  if (!com.status().ok()) return ReportNoCom(com.status());
  std::unique_ptr<telo::Env> env = telo::NewDefaultEnv({});
  telo::win32::frmMain form(*env, telo::NewDefaultConnectionFactory({}));
  if (!form.Create(instance)) return 1;
  form.Show(show_command);
  return telo::win32::RunMessageLoop(form.hwnd());
}
