// FakeDesktop: a Desktop for tests. Answers the confirmation as told and
// records every call in order in `calls` (e.g. "message question", "drive",
// "focus").
#pragma once

#include <string>
#include <vector>

#include "app/desktop.h"

namespace telo {

class FakeDesktop : public Desktop {
 public:
  struct Message {
    std::string prompt;
    std::string title;
    BoxStyle style;
  };

  BoxAnswer confirmation_answer = BoxAnswer::kYes;

  std::vector<std::string> calls;
  std::vector<Message> messages;

  BoxAnswer ShowMessage(std::string_view prompt, std::string_view title, BoxStyle style) override;
  void FocusDriveList() override;
};

}  // namespace telo
