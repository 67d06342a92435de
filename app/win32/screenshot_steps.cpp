// win32-screenshot-steps: walks telo.exe through the states worth a
// picture, for scripts/win32-screenshots. It starts the program (argv[1], or
// telo.exe beside it), and at each state prints one line to stdout
// and waits for one line on stdin (the picture has been taken):
//   "window"   frmMain is shown;
//   "confirm"  Update was pressed and the confirmation box is shown;
//   "outcome"  Yes was answered and the outcome box is shown;
// then answers OK, presses Cancel and prints "exit <code>". Exit status 0
// when every state was reached and the program ended with code 0; on a
// problem it prints "error <what>" and exits with 1.
#include <windows.h>

#include <cstdio>
#include <iostream>
#include <string>

#include "app/win32/test_support.h"

namespace {

using namespace telo::win32::testing;

std::wstring ProgramPath(int argc, wchar_t** argv) {
  if (argc > 1) return argv[1];
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring self = path;
  return self.substr(0, self.find_last_of(L"\\/") + 1) + L"telo.exe";
}

// Announces a state, lets it settle on the screen and waits for the go-ahead.
bool Reached(const char* state) {
  Sleep(700);  // the window and the box paint themselves
  std::cout << state << std::endl;
  std::string answer;
  return static_cast<bool>(std::getline(std::cin, answer));
}

int Fail(const std::string& what) {
  std::cout << "error " << what << std::endl;
  return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  ProgramRun program;
  const std::string problem = program.Start(ProgramPath(argc, argv));
  if (!problem.empty()) return Fail(problem);
  if (!Reached("window")) return Fail("no go-ahead after window");

  program.Click(program.cmdUpdate());
  HWND confirm = WaitForBox(program.form());
  if (!confirm) return Fail("no confirmation box");
  if (!Reached("confirm")) return Fail("no go-ahead after confirm");
  if (!AnswerBox(confirm, IDYES)) return Fail("the confirmation box stayed");

  HWND outcome = WaitForBox(program.form());
  if (!outcome) return Fail("no outcome box");
  if (!Reached("outcome")) return Fail("no go-ahead after outcome");
  if (!AnswerBox(outcome, IDOK)) return Fail("the outcome box stayed");

  program.Click(program.cmdCancel());
  DWORD exit_code = 0;
  if (!program.WaitForExit(&exit_code)) return Fail("the program did not end");
  std::cout << "exit " << exit_code << std::endl;
  return exit_code == 0 ? 0 : 1;
}
