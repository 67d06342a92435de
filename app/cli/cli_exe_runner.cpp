// RunCli over CreateProcessW; see the header.
#include "app/cli/cli_exe_runner.h"

#include <fstream>
#include <sstream>

#include "platform/windows/utf16.h"

namespace telo {
namespace {

constexpr DWORD kRunTimeoutMs = 60000;

std::wstring CliPath() {
  wchar_t self[MAX_PATH + 1];
  const std::wstring path(self, GetModuleFileNameW(nullptr, self, MAX_PATH + 1));
  return path.substr(0, path.find_last_of(L"\\/") + 1) + Utf16FromUtf8(TELO_CLI_EXE);
}

// A new, empty file in the temporary folder, for one stream of one run.
std::wstring TemporaryFile() {
  wchar_t folder[MAX_PATH + 1];
  wchar_t file[MAX_PATH + 1];
  GetTempPathW(MAX_PATH + 1, folder);
  GetTempFileNameW(folder, L"tcl", 0, file);
  return file;
}

HANDLE InheritedOutputFile(const std::wstring& path) {
  SECURITY_ATTRIBUTES inherited{sizeof(inherited), nullptr, TRUE};
  return CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                     CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// The file's bytes; the file is deleted.
std::string TakeFile(const std::wstring& path) {
  std::string text;
  {
    std::ifstream file(Utf8FromUtf16(path), std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    text = bytes.str();
  }
  DeleteFileW(path.c_str());
  return text;
}

}  // namespace

CliRun RunCli(const std::wstring& arguments) {
  const std::wstring out_path = TemporaryFile();
  const std::wstring err_path = TemporaryFile();
  SECURITY_ATTRIBUTES inherited{sizeof(inherited), nullptr, TRUE};
  const HANDLE nul = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 &inherited, OPEN_EXISTING, 0, nullptr);
  const HANDLE out = InheritedOutputFile(out_path);
  const HANDLE err = InheritedOutputFile(err_path);

  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = nul;
  startup.hStdOutput = out;
  startup.hStdError = err;
  std::wstring command_line = L"\"" + CliPath() + L"\" " + arguments;
  PROCESS_INFORMATION process{};
  CliRun run;
  const bool started = CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, TRUE, 0,
                                      nullptr, nullptr, &startup, &process);
  for (HANDLE handle : {nul, out, err}) CloseHandle(handle);
  bool ended = false;
  if (started) {
    ended = WaitForSingleObject(process.hProcess, kRunTimeoutMs) == WAIT_OBJECT_0;
    if (!ended) {
      TerminateProcess(process.hProcess, 99);
      WaitForSingleObject(process.hProcess, kRunTimeoutMs);
    }
    GetExitCodeProcess(process.hProcess, &run.exit_code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  run.out = TakeFile(out_path);
  run.err = TakeFile(err_path);
  if (!started) run.err = "cannot start telo-cli.exe, error " + std::to_string(GetLastError());
  if (started && !ended) {
    run.err += "\n(killed: still running after " + std::to_string(kRunTimeoutMs) + " ms)";
  }
  return run;
}

}  // namespace telo
