// FakeDesktop: scripted answers and a call log; see the header.
#include "testing/fake_desktop.h"

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

void FakeDesktop::FocusDriveList() { calls.push_back("focus"); }

}  // namespace telo
