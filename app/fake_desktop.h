// FakeDesktop: a Desktop for tests. Answers the confirmation as told, treats
// the folders in `existing_folders` as present, and records every call in
// order in `calls` (e.g. "message 68", "chdir c:\...", "focus").
#pragma once

#include <set>
#include <string>
#include <vector>

#include "app/desktop.h"

namespace telo {

class FakeDesktop : public Desktop {
 public:
  struct Message {
    std::string prompt;
    std::string title;
    int style;
  };

  int confirmation_answer = kAnswerYes;
  std::string drive_text = "C: [drive_c]";
  std::set<std::string> existing_folders;
  std::string virtual_store_copy;

  std::vector<std::string> calls;
  std::vector<Message> messages;
  std::string current_directory;

  int ShowMessage(std::string_view prompt, std::string_view title, int style) override;
  std::string CurrentDriveText() override;
  Status ChangeDirectory(std::string_view windows_folder) override;
  void FocusDriveList() override;
  std::string VirtualStoreCopy(std::string_view database_path) override;
};

}  // namespace telo
