// FakeDesktop: scripted answers and a call log; see the header.
#include "testing/fake_desktop.h"

namespace telo {

BoxAnswer FakeDesktop::ShowMessage(std::string_view prompt, std::string_view title,
                                   BoxStyle style) {
  static constexpr const char* kNames[] = {"question", "information", "warning"};
  calls.push_back(std::string("message ") + kNames[static_cast<int>(style)]);
  messages.push_back({std::string(prompt), std::string(title), style});
  return style == BoxStyle::kQuestion ? confirmation_answer : BoxAnswer::kOk;
}

void FakeDesktop::FocusDriveList() { calls.push_back("focus"); }

}  // namespace telo
