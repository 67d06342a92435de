// FakeDesktop: scripted answers and a call log; see the header.
#include "app/fake_desktop.h"

namespace telo {

int FakeDesktop::ShowMessage(std::string_view prompt, std::string_view title, int style) {
  calls.push_back("message " + std::to_string(style));
  messages.push_back({std::string(prompt), std::string(title), style});
  return style == kStyleYesNoInformation ? confirmation_answer : kAnswerOk;
}

std::string FakeDesktop::CurrentDriveText() {
  calls.push_back("drive");
  return drive_text;
}

Status FakeDesktop::ChangeDirectory(std::string_view windows_folder) {
  calls.push_back("chdir " + std::string(windows_folder));
  if (!existing_folders.contains(std::string(windows_folder))) {
    return Status::Error(error::kPathNotFound, "Path not found: " + std::string(windows_folder));
  }
  current_directory = windows_folder;
  return Status::Ok();
}

void FakeDesktop::FocusDriveList() { calls.push_back("focus"); }

std::string FakeDesktop::VirtualStoreCopy(std::string_view /*database_path*/) {
  return virtual_store_copy;
}

}  // namespace telo
