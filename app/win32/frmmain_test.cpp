// In-process tests of frmMain: the twips arithmetic, the font and the drive
// list, and WinDesktop's boxes and drive text, over a fake Env. A watcher
// thread answers the modal boxes that the window's thread shows.
#include "app/win32/frmmain.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>

#include "app/update_run.h"
#include "app/win32/layout.h"
#include "app/win32/test_support.h"
#include "app/win32/win_desktop.h"
#include "testing/fake_connection.h"
#include "testing/fake_env.h"

namespace telo::win32 {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using namespace telo::win32::testing;

// Three drives, one with a non-ASCII letter and label; no install folder.
// The window's connections go to `database`.
class TestEnv : public FakeEnv {
 public:
  TestEnv() {
    drive_entries = {"c: [SYSTEM]", "d: [DATA]", "\xC3\xA9: [DONN\xC3\x89\x45S]"};
    current_drive_entry = "d: [DATA]";
  }
  FakeDatabase database;
};

// Answers the next box that `owner` shows with button `answer` and keeps
// what it showed.
class BoxWatcher {
 public:
  BoxWatcher(HWND owner, int answer)
      : thread_([this, owner, answer] {
          HWND box = WaitForBox(owner);
          if (!box) return;
          seen_ = ReadBox(box);
          found_ = true;
          AnswerBox(box, answer);
        }) {}
  const BoxContent& Seen() {
    thread_.Join();
    return seen_;
  }
  bool found() const { return found_; }

 private:
  BoxContent seen_;
  std::atomic<bool> found_ = false;
  Thread thread_;
};

TEST(TwipsTest, ClientSizeRoundsLikeMulDivAtCommonDpis) {
  EXPECT_EQ(ClientSize({96, 96}).cx, 312);
  EXPECT_EQ(ClientSize({96, 96}).cy, 141);
  EXPECT_EQ(ClientSize({120, 120}).cy, 176);  // 176.25
  EXPECT_EQ(ClientSize({144, 144}).cy, 212);  // 211.5 rounds up
  const RECT update = PixelRect({1148, 1590, 1155, 375}, {144, 144});
  EXPECT_EQ(update.left, 115);   // 114.8
  EXPECT_EQ(update.right, 231);  // 114.8 + 115.5, each rounded
}

TEST(TwipsTest, FontHeightIsEightAndAQuarterPointsAtCommonDpis) {
  EXPECT_EQ(ControlFontHeight({96, 96}), -11);
  EXPECT_EQ(ControlFontHeight({120, 120}), -14);
  EXPECT_EQ(ControlFontHeight({144, 144}), -17);
}

TEST(TwipsTest, NoticeIsTheConfirmationPromptWithoutItsQuestion) {
  const std::wstring notice = kNoticeText;
  EXPECT_EQ(notice.size(), 145u);
  const std::string_view prompt = kConfirmPrompt;
  EXPECT_EQ(std::wstring(prompt.begin(), prompt.begin() + 145), notice);
}

class FrmMainTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(form_.Create(GetModuleHandleW(nullptr)));
    form_.Show(SW_SHOWNORMAL);
  }
  void TearDown() override {
    DestroyWindow(form_.hwnd());
    DrainQuit();
  }
  // Takes frmMain's WM_QUIT out of the queue so that it can't end a later box.
  static int DrainQuit() {
    MSG message;
    int exit_code = -1;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) exit_code = static_cast<int>(message.wParam);
    }
    return exit_code;
  }
  HWND drvMain() const { return form_.control(kIdDrvMain); }

  TestEnv env_;
  frmMain form_{env_, env_.database.Factory()};
};

TEST_F(FrmMainTest, EveryControlUsesVerdanaAtEightAndAQuarterPoints) {
  const Dpi dpi = ScreenDpi();
  for (const ControlSpec& entry : kFrmMainControls) {
    SCOPED_TRACE(::testing::Message() << "control " << entry.id);
    auto font = reinterpret_cast<HFONT>(SendMessageW(form_.control(entry.id), WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);
    LOGFONTW logfont{};
    ASSERT_TRUE(GetObjectW(font, sizeof(logfont), &logfont));
    EXPECT_STREQ(logfont.lfFaceName, L"Verdana");
    EXPECT_EQ(logfont.lfHeight, -MulDiv(825, dpi.y, 7200));
    EXPECT_EQ(logfont.lfWeight, 400);
    EXPECT_EQ(logfont.lfCharSet, ANSI_CHARSET);
    EXPECT_FALSE(logfont.lfItalic || logfont.lfUnderline || logfont.lfStrikeOut);
  }
}

TEST_F(FrmMainTest, DriveListHoldsTheEnvsDrivesAndStartsOnTheCurrentOne) {
  HWND list = drvMain();
  ASSERT_EQ(SendMessageW(list, CB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(SendMessageW(list, CB_GETCURSEL, 0, 0), 1);
  WinDesktop desktop(form_.hwnd(), list);
  EXPECT_EQ(desktop.CurrentDriveText(), "d: [DATA]");
  SendMessageW(list, CB_SETCURSEL, 2, 0);
  EXPECT_EQ(desktop.CurrentDriveText(), env_.drive_entries[2]);  // UTF-8 both ways
}

TEST_F(FrmMainTest, DriveListFieldHasItsTableHeightAndDropsDownEightDrives) {
  RECT field;
  GetWindowRect(drvMain(), &field);
  EXPECT_EQ(field.bottom - field.top, TwipsToPixels(315, ScreenDpi().y));

  TestEnv many;
  many.drive_entries.clear();
  for (char letter = 'c'; letter <= 'p'; ++letter)
    many.drive_entries.push_back(std::string(1, letter) + ":");
  frmMain form(many, many.database.Factory());
  ASSERT_TRUE(form.Create(GetModuleHandleW(nullptr)));
  form.Show(SW_SHOWNORMAL);
  HWND list = form.control(kIdDrvMain);
  SendMessageW(list, CB_SHOWDROPDOWN, TRUE, 0);
  COMBOBOXINFO info{};
  info.cbSize = sizeof(info);
  ASSERT_TRUE(GetComboBoxInfo(list, &info));
  RECT shown;
  GetClientRect(info.hwndList, &shown);
  const LRESULT row = SendMessageW(info.hwndList, LB_GETITEMHEIGHT, 0, 0);
  ASSERT_GT(row, 0);
  EXPECT_GE(shown.bottom / row, 8) << "rows shown: " << shown.bottom << " px of " << row;
  SendMessageW(list, CB_SHOWDROPDOWN, FALSE, 0);
}

// Font sizes whose own field heights lie below, at and above the targets, so
// the result doesn't hang on which fonts stand in for Verdana.
TEST(SelectionFieldTest, FieldDoesNotOvershootWhenItsFontWantsAnotherHeight) {
  for (const int font_pixels : {6, 11, 16, 24}) {
    HFONT font = CreateFontW(-font_pixels, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_DONTCARE, L"Verdana");
    for (const int target : {15, 21, 30}) {
      SCOPED_TRACE(::testing::Message() << font_pixels << " px font, " << target << " px field");
      HWND combo = CreateWindowExW(0, L"ComboBox", L"", WS_POPUP | CBS_DROPDOWNLIST, 0, 0, 150, 200,
                                   nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
      ASSERT_NE(combo, nullptr);
      SendMessageW(combo, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
      SetSelectionFieldHeight(combo, target);
      RECT field;
      GetWindowRect(combo, &field);
      EXPECT_EQ(field.bottom - field.top, target);
      DestroyWindow(combo);
    }
    DeleteObject(font);
  }
}

TEST_F(FrmMainTest, BoxesAreOwnedByFrmMainWithTheStylesButtonsAndIcon) {
  WinDesktop desktop(form_.hwnd(), drvMain());
  struct Case {
    BoxStyle style;
    UINT style_number;
    int button;
    BoxAnswer answer;
    std::vector<int> buttons;
    LPCWSTR icon;
  };
  for (const Case& c :
       {Case{BoxStyle::kQuestion, 68, IDNO, BoxAnswer::kNo, {IDYES, IDNO}, IDI_INFORMATION},
        Case{BoxStyle::kQuestion, 68, IDYES, BoxAnswer::kYes, {IDYES, IDNO}, IDI_INFORMATION},
        Case{BoxStyle::kInformation, 64, IDOK, BoxAnswer::kOk, {IDOK}, IDI_INFORMATION},
        Case{BoxStyle::kWarning, 48, IDOK, BoxAnswer::kOk, {IDOK}, IDI_WARNING}}) {
    SCOPED_TRACE(::testing::Message() << "style " << c.style_number << " button " << c.button);
    EXPECT_EQ(MessageBoxStyle(c.style), c.style_number);
    BoxWatcher watcher(form_.hwnd(), c.button);
    EXPECT_EQ(desktop.ShowMessage("Drive \xC3\xA9: ok?", "Database Update", c.style), c.answer);
    const BoxContent& box = watcher.Seen();
    ASSERT_TRUE(watcher.found());
    EXPECT_EQ(box.caption, L"Database Update");
    EXPECT_EQ(box.text, L"Drive \u00e9: ok?");
    EXPECT_EQ(ButtonIds(box), c.buttons);
    EXPECT_EQ(box.default_id, c.buttons.front());
    EXPECT_EQ(box.icon, LoadIconW(nullptr, c.icon));
  }
}

TEST_F(FrmMainTest, UpdateAnsweredNoTouchesNothingAndFocusesTheDriveList) {
  SetFocus(form_.control(kIdCmdUpdate));
  BoxWatcher watcher(form_.hwnd(), IDNO);
  form_.cmdUpdate_Click();
  EXPECT_EQ(watcher.Seen().caption, L"TELO Database Update");
  EXPECT_EQ(GetFocus(), drvMain());
  EXPECT_TRUE(env_.directory_changes.empty());
  EXPECT_EQ(env_.database.connections_created, 0);
}

TEST_F(FrmMainTest, UpdateProbesBothFoldersOnTheChosenDriveAndWarnsWhenNoneIsFound) {
  SendMessageW(drvMain(), CB_SETCURSEL, 0, 0);  // c: [SYSTEM]
  {
    BoxWatcher confirm(form_.hwnd(), IDYES);
    // The outcome box comes after the confirmation; a second watcher takes it.
    Thread answer_outcome([&] {
      WaitUntil([&] { return confirm.found(); });
      HWND box = nullptr;
      WaitUntil([&] {
        box = FindBox(form_.hwnd());
        return box && TextOf(box) == L"Database Update";
      });
      if (!box) return;
      const BoxContent outcome = ReadBox(box);
      EXPECT_THAT(outcome.text, HasSubstr(L"drive c"));
      EXPECT_EQ(ButtonIds(outcome), std::vector<int>{IDOK});
      EXPECT_EQ(outcome.icon, LoadIconW(nullptr, IDI_WARNING));
      AnswerBox(box, IDOK);
    });
    form_.cmdUpdate_Click();
    answer_outcome.Join();
  }
  EXPECT_THAT(env_.directory_changes,
              ElementsAre("c:\\Program Files\\Corvallo\\", "c:\\Program Files (x86)\\Corvallo\\"));
  EXPECT_EQ(env_.database.connections_created, 0);
  EXPECT_TRUE(IsWindow(form_.hwnd()));
}

TEST_F(FrmMainTest, CancelDestroysTheWindowAndQuitsWithZero) {
  HWND window = form_.hwnd();
  form_.cmdCancel_Click();
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(form_.hwnd(), nullptr);
  EXPECT_EQ(DrainQuit(), 0);
}

}  // namespace
}  // namespace telo::win32
