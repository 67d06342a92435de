// Drives telo.exe from outside, as a user would: starts it (it is
// expected beside this program, or at $TELO_EXE), finds frmMain and
// checks its layout, drive list, focus and tab order, the boxes of an update
// run and their answers, the exit code, and the resources of the .exe. Every
// wait has a deadline, and a program still running at the end of a test is
// killed.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <cwctype>
#include <string>
#include <vector>

#include "app/win32/test_support.h"
#include "base/version.h"

namespace telo::win32 {
namespace {

using ::testing::HasSubstr;
using namespace telo::win32::testing;

constexpr wchar_t kNotice[] =
    L"Update may take some time. Please do not click on this form after clicking on Update "
    L"button. You will be given message when updation is competed.";

std::wstring ProgramPath() {
  wchar_t path[MAX_PATH] = {};
  if (GetEnvironmentVariableW(L"TELO_EXE", path, MAX_PATH)) return path;
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring self = path;
  return self.substr(0, self.find_last_of(L"\\/") + 1) + L"telo.exe";
}

struct Dpi {
  int x;
  int y;
};

Dpi ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const Dpi dpi{GetDeviceCaps(screen, LOGPIXELSX), GetDeviceCaps(screen, LOGPIXELSY)};
  ReleaseDC(nullptr, screen);
  return dpi;
}

RECT ExpectedRect(int left, int top, int width, int height) {
  const Dpi dpi = ScreenDpi();
  const int x = MulDiv(left, dpi.x, 1440);
  const int y = MulDiv(top, dpi.y, 1440);
  return RECT{x, y, x + MulDiv(width, dpi.x, 1440), y + MulDiv(height, dpi.y, 1440)};
}

std::string Describe(const RECT& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" +
         std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}

class FrmMainDriverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string problem = program_.Start(ProgramPath());
    ASSERT_EQ(problem, "");
  }

  // Waits for the confirmation box, checks it and returns it.
  HWND Confirmation() {
    HWND box = WaitForBox(program_.form());
    if (!box) return nullptr;
    const BoxContent content = ReadBox(box);
    EXPECT_EQ(content.caption, L"TELO Database Update");
    EXPECT_EQ(content.text, std::wstring(kNotice) + L" Are you sure to Update Database?");
    EXPECT_EQ(ButtonIds(content), (std::vector<int>{IDYES, IDNO}));
    EXPECT_EQ(content.default_id, IDYES);
    if (content.buttons.size() == 2) {
      EXPECT_EQ(content.buttons[0].text, L"Yes");
      EXPECT_EQ(content.buttons[1].text, L"No");
    }
    return box;
  }

  std::wstring ChosenDrive() { return TextOf(program_.drvMain()); }

  ProgramRun program_;
};

TEST_F(FrmMainDriverTest, WindowHasAFixedFrameAndItsClientSize) {
  const LONG style = GetWindowLongW(program_.form(), GWL_STYLE);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_TRUE(style & WS_CAPTION);
  RECT client;
  GetClientRect(program_.form(), &client);
  const RECT expected = ExpectedRect(0, 0, 4680, 2115);
  EXPECT_EQ(client.right, expected.right);
  EXPECT_EQ(client.bottom, expected.bottom);
}

TEST_F(FrmMainDriverTest, ControlsHaveTheirClassTextAndPositionInTabOrder) {
  struct Expected {
    const wchar_t* window_class;
    const wchar_t* text;  // nullptr: not checked (the drive list shows a drive)
    int left, top, width, height;
  };
  const Expected table[] = {
      {L"ComboBox", nullptr, 1808, 150, 2295, 315},
      {L"Button", L"Update", 1148, 1590, 1155, 375},
      {L"Button", L"Cancel", 2378, 1590, 1155, 375},
      {L"Static", L"Select Drive:", 585, 210, 1125, 195},
      {L"Static", kNotice, 600, 600, 3495, 855},
  };
  const std::vector<HWND> controls = program_.Controls();
  ASSERT_EQ(controls.size(), std::size(table));
  for (size_t i = 0; i < controls.size(); ++i) {
    SCOPED_TRACE(::testing::Message() << "control " << i);
    const Expected& e = table[i];
    EXPECT_EQ(ClassOf(controls[i]), e.window_class);
    if (e.text) {
      EXPECT_EQ(TextOf(controls[i]), e.text);
    }
    EXPECT_EQ(Describe(RectIn(controls[i], program_.form())),
              Describe(ExpectedRect(e.left, e.top, e.width, e.height)));
    const LONG style = GetWindowLongW(controls[i], GWL_STYLE);
    EXPECT_EQ((style & WS_TABSTOP) != 0, i < 3);
  }
  EXPECT_EQ(GetWindowLongW(controls[0], GWL_STYLE) & 3, CBS_DROPDOWNLIST);
}

TEST_F(FrmMainDriverTest, DriveListShowsEveryDriveAndStartsOnTheCurrentOne) {
  wchar_t drives[512] = {};
  GetLogicalDriveStringsW(512, drives);
  std::vector<wchar_t> letters;
  for (const wchar_t* d = drives; *d; d += wcslen(d) + 1) letters.push_back(towlower(*d));

  HWND list = program_.drvMain();
  const LRESULT count = SendMessageW(list, CB_GETCOUNT, 0, 0);
  ASSERT_EQ(count, static_cast<LRESULT>(letters.size()));
  for (LRESULT i = 0; i < count; ++i) {
    wchar_t entry[256] = {};
    ASSERT_LT(SendMessageW(list, CB_GETLBTEXTLEN, i, 0), 256);
    SendMessageW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(entry));
    EXPECT_EQ(towlower(entry[0]), letters[i]) << "entry " << i << ": " << entry;
  }
  wchar_t current[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, current);  // telo.exe inherited it
  const std::wstring chosen = ChosenDrive();
  ASSERT_FALSE(chosen.empty());
  EXPECT_EQ(towlower(chosen[0]), towlower(current[0]));
}

TEST_F(FrmMainDriverTest, FocusStartsOnTheDriveListAndTabCyclesThroughTheButtons) {
  HWND order[] = {program_.drvMain(), program_.cmdUpdate(), program_.cmdCancel(),
                  program_.drvMain()};
  ASSERT_TRUE(program_.WaitForFocus(order[0])) << "focus at start: " << program_.Focus();
  for (size_t i = 1; i < std::size(order); ++i) {
    program_.PressKey(program_.Focus(), VK_TAB);
    ASSERT_TRUE(program_.WaitForFocus(order[i])) << "after Tab " << i;
  }
}

TEST_F(FrmMainDriverTest, SpaceOnTheFocusedUpdateButtonAsksForConfirmation) {
  ASSERT_TRUE(program_.WaitForFocus(program_.drvMain()));
  program_.PressKey(program_.drvMain(), VK_TAB);
  ASSERT_TRUE(program_.WaitForFocus(program_.cmdUpdate()));
  program_.PressKey(program_.cmdUpdate(), VK_SPACE);
  HWND box = Confirmation();
  ASSERT_NE(box, nullptr);
  EXPECT_TRUE(AnswerBox(box, IDNO));
}

TEST_F(FrmMainDriverTest, UpdateAnsweredNoFocusesTheDriveListAndShowsNothingMore) {
  program_.Click(program_.cmdUpdate());
  HWND box = Confirmation();
  ASSERT_NE(box, nullptr);
  ASSERT_TRUE(AnswerBox(box, IDNO));
  EXPECT_TRUE(program_.WaitForFocus(program_.drvMain())) << "focus: " << program_.Focus();
  EXPECT_FALSE(WaitUntil([&] { return FindBox(program_.form()) != nullptr; }, 1500))
      << "a box appeared after No";
}

TEST_F(FrmMainDriverTest, UpdateAnsweredYesWarnsOfTheMissingDatabaseAndCanRunAgain) {
  const std::wstring drive = ChosenDrive();
  ASSERT_FALSE(drive.empty());
  const std::wstring letter(1, drive[0]);
  program_.Click(program_.cmdUpdate());
  HWND box = Confirmation();
  ASSERT_NE(box, nullptr);
  ASSERT_TRUE(AnswerBox(box, IDYES));

  HWND outcome = WaitForBox(program_.form());
  ASSERT_NE(outcome, nullptr) << "no outcome box";
  const BoxContent content = ReadBox(outcome);
  EXPECT_EQ(content.caption, L"Database Update");
  EXPECT_THAT(content.text, HasSubstr(L"drive " + letter));
  EXPECT_THAT(content.text, HasSubstr(letter + L":\\Program Files\\Corvallo\\"));
  EXPECT_THAT(content.text, HasSubstr(letter + L":\\Program Files (x86)\\Corvallo\\"));
  EXPECT_EQ(ButtonIds(content), std::vector<int>{IDOK});
  ASSERT_TRUE(AnswerBox(outcome, IDOK));
  EXPECT_TRUE(IsWindowVisible(program_.form()));

  program_.Click(program_.cmdUpdate());
  HWND again = Confirmation();
  ASSERT_NE(again, nullptr) << "a second run asks again";
  EXPECT_TRUE(AnswerBox(again, IDNO));
}

TEST_F(FrmMainDriverTest, CancelEndsTheProcessWithExitCodeZero) {
  program_.Click(program_.cmdCancel());
  DWORD exit_code = 99;
  ASSERT_TRUE(program_.WaitForExit(&exit_code));
  EXPECT_EQ(exit_code, 0u);
}

TEST_F(FrmMainDriverTest, CloseBoxEndsTheProcessWithExitCodeZero) {
  PostMessageW(program_.form(), WM_SYSCOMMAND, SC_CLOSE, 0);
  DWORD exit_code = 99;
  ASSERT_TRUE(program_.WaitForExit(&exit_code));
  EXPECT_EQ(exit_code, 0u);
}

// The resources of telo.exe, read from the file.
class ExeResourcesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryExW(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module_, nullptr);
  }
  void TearDown() override { FreeLibrary(module_); }

  std::wstring VersionString(const std::vector<BYTE>& info, const wchar_t* name) {
    void* value = nullptr;
    UINT size = 0;
    std::wstring path = std::wstring(L"\\StringFileInfo\\040904E4\\") + name;
    if (!VerQueryValueW(info.data(), path.c_str(), &value, &size)) return L"(missing)";
    return static_cast<const wchar_t*>(value);
  }

  HMODULE module_ = nullptr;
};

TEST_F(ExeResourcesTest, VersionIsTheProjectsInEnglishUnitedStates) {
  const std::wstring path = ProgramPath();
  std::vector<BYTE> info(GetFileVersionInfoSizeW(path.c_str(), nullptr));
  ASSERT_FALSE(info.empty());
  ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT size = 0;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &size));
  const DWORD major_minor = (TELO_VERSION_MAJOR << 16) | TELO_VERSION_MINOR;
  EXPECT_EQ(fixed->dwFileVersionMS, major_minor);
  EXPECT_EQ(fixed->dwFileVersionLS, 0u);
  EXPECT_EQ(fixed->dwProductVersionMS, major_minor);
  EXPECT_EQ(fixed->dwProductVersionLS, 0u);
  WORD* translation = nullptr;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation",
                             reinterpret_cast<void**>(&translation), &size));
  ASSERT_GE(size, 4u);
  EXPECT_EQ(translation[0], 0x0409);
  EXPECT_EQ(translation[1], 1252);
  EXPECT_EQ(VersionString(info, L"FileVersion"), L"" TELO_VERSION);
  EXPECT_EQ(VersionString(info, L"ProductVersion"), L"" TELO_VERSION);
}

#pragma pack(push, 2)
struct IconGroupEntry {
  BYTE width, height, colours, reserved;
  WORD planes, bit_count;
  DWORD bytes;
  WORD id;
};
struct IconGroup {
  WORD reserved, type, count;
  IconGroupEntry entries[1];
};
#pragma pack(pop)

TEST_F(ExeResourcesTest, IconHoldsTwoColourAndSixteenColourImages) {
  HRSRC found = FindResourceW(module_, MAKEINTRESOURCEW(1), RT_GROUP_ICON);
  ASSERT_NE(found, nullptr);
  auto* group = static_cast<const IconGroup*>(LockResource(LoadResource(module_, found)));
  ASSERT_EQ(group->count, 3);
  std::vector<std::string> images;
  for (int i = 0; i < group->count; ++i) {
    const IconGroupEntry& e = group->entries[i];
    images.push_back(std::to_string(e.width) + "x" + std::to_string(e.height) + " " +
                     std::to_string(e.bit_count) + "bpp");
  }
  EXPECT_THAT(images, ::testing::ElementsAre("32x32 1bpp", "32x32 4bpp", "16x16 4bpp"));
}

BOOL CALLBACK CollectType(HMODULE, LPWSTR type, LONG_PTR types) {
  if (IS_INTRESOURCE(type)) {
    reinterpret_cast<std::vector<int>*>(types)->push_back(
        static_cast<int>(reinterpret_cast<ULONG_PTR>(type)));
  }
  return TRUE;
}

TEST_F(ExeResourcesTest, CarriesNoManifestAndSoNoRequestedExecutionLevel) {
  std::vector<int> types;
  EnumResourceTypesW(module_, &CollectType, reinterpret_cast<LONG_PTR>(&types));
  EXPECT_THAT(types, ::testing::Contains(16));                  // RT_VERSION
  EXPECT_THAT(types, ::testing::Not(::testing::Contains(24)));  // RT_MANIFEST
}

}  // namespace
}  // namespace telo::win32
