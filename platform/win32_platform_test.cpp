#include "platform/win32_platform.h"

#include <gtest/gtest.h>

#include <atomic>
#include <iostream>
#include <thread>

#include "platform/win32_text.h"
#include "testing/win32_windows.h"

namespace scengen {
namespace {

// Pixels for a length in twips (1/1440 inch) at `dpi`, to the nearest pixel.
int pixels(int twips, int dpi) {
  return (twips * dpi + 720) / 1440;
}

int screen_dpi(int axis) {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, axis);
  ReleaseDC(nullptr, screen);
  return dpi;
}

// A top-level window of this process with exactly this title and class, or null.
HWND find_own_window(const wchar_t* title, const wchar_t* window_class) {
  HWND window = nullptr;
  while ((window = FindWindowExW(nullptr, window, window_class, title)) != nullptr) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() && IsWindowVisible(window)) return window;
  }
  return nullptr;
}

using testing::class_of;
using testing::text_of;

std::vector<HWND> children_of(HWND window) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(child);
  }
  return children;
}

TEST(TwipsToPixels, RoundsToTheNearestPixel) {
  struct Case {
    int twips, dpi, pixels;
  };
  const Case cases[] = {
      {4200, 96, 280}, {2688, 96, 179},                                      // 179.2
      {2652, 96, 177},                                                       // 176.8
      {792, 96, 53},   {960, 96, 64},   {4200, 144, 420}, {2688, 144, 269},  // 268.8
      {6, 120, 1},                                                           // 0.5
      {0, 96, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(twips_to_pixels(c.twips, c.dpi), c.pixels) << c.twips << " twips at " << c.dpi;
  }
}

TEST(Win32Platform, StatusWindowIsForm1WithItsLabelAtTheScreensDpi) {
  Win32Platform platform;
  platform.show_status_window();
  HWND form = find_own_window(L"Form1", nullptr);
  if (form == nullptr) GTEST_SKIP() << "no window can be shown here (no display)";

  const int dpi_x = screen_dpi(LOGPIXELSX);
  const int dpi_y = screen_dpi(LOGPIXELSY);
  RECT client;
  GetClientRect(form, &client);
  EXPECT_EQ(client.right, pixels(4200, dpi_x));
  EXPECT_EQ(client.bottom, pixels(2688, dpi_y));

  const std::vector<HWND> children = children_of(form);
  ASSERT_EQ(children.size(), 1u);
  HWND label = children[0];
  EXPECT_EQ(class_of(label), L"Static");
  EXPECT_EQ(text_of(label), L"Attendere");
  EXPECT_TRUE(IsWindowVisible(label));
  RECT place;
  GetWindowRect(label, &place);
  MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&place), 2);
  EXPECT_EQ(place.left, pixels(960, dpi_x));
  EXPECT_EQ(place.top, pixels(960, dpi_y));
  EXPECT_EQ(place.right - place.left, pixels(2652, dpi_x));
  EXPECT_EQ(place.bottom - place.top, pixels(792, dpi_y));

  // 24 points bold: a character height of 24/72 inch.
  const auto font = reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0));
  ASSERT_NE(font, nullptr);
  LOGFONTW look{};
  ASSERT_EQ(GetObjectW(font, sizeof look, &look), static_cast<int>(sizeof look));
  EXPECT_EQ(std::wstring(look.lfFaceName), L"MS Sans Serif");
  EXPECT_EQ(look.lfHeight, -((24 * dpi_y + 36) / 72));
  EXPECT_EQ(look.lfWeight, 700);

  // Shown once: a second call makes no second window.
  platform.show_status_window();
  int forms = 0;
  for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, nullptr, L"Form1")) != nullptr;) {
    DWORD process = 0;
    GetWindowThreadProcessId(w, &process);
    if (process == GetCurrentProcessId()) ++forms;
  }
  EXPECT_EQ(forms, 1);
}

// Reads the message box of this process that `show` opens, then presses its OK button.
struct SeenBox {
  std::wstring title, text;
  std::vector<std::wstring> buttons;
  bool found = false;
};

template <typename Show>
SeenBox watch_message_box(Show show) {
  SeenBox seen;
  std::atomic<bool> done{false};
  std::thread watcher([&] {
    for (int waited = 0; waited < 20000 && !done; waited += 10) {
      HWND box = find_own_window(nullptr, L"#32770");
      if (box != nullptr) {
        seen.found = true;
        seen.title = text_of(box);
        for (HWND child : children_of(box)) {
          if (!IsWindowVisible(child)) continue;
          if (class_of(child) == L"Button") seen.buttons.push_back(text_of(child));
          if (class_of(child) == L"Static" && !text_of(child).empty()) seen.text = text_of(child);
        }
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        return;
      }
      Sleep(10);
    }
  });
  show();
  done = true;
  watcher.join();
  return seen;
}

TEST(Win32Platform, MessageBoxShowsTheTextWithOkAndTheProgramsName) {
  Win32Platform platform;
  const SeenBox seen = watch_message_box([&] { platform.message_box(" Errore n. 1250"); });
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(seen.title, L"scengen");
  EXPECT_EQ(seen.text, L" Errore n. 1250");
  EXPECT_EQ(seen.buttons, std::vector<std::wstring>{L"OK"});
}

TEST(Win32Platform, ReportsAndOutputShowTogetherInOneBoxInTheirOrder) {
  Win32Platform platform;
  platform.report("scengen: cannot write 'C:\\d\\x.dat': Permission denied");
  std::ostream(platform.message_buffer()) << "second \xC3\xA8\n";
  platform.report("third");
  const SeenBox seen = watch_message_box([&] { platform.show_messages(true); });
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(seen.title, L"scengen");
  EXPECT_EQ(seen.text,
            L"scengen: cannot write 'C:\\d\\x.dat': Permission denied\nsecond \u00E8\nthird");

  // Nothing reported, no box.
  const SeenBox none = watch_message_box([&] { platform.show_messages(false); });
  EXPECT_FALSE(none.found);
}

TEST(Win32Platform, ProgramFolderHoldsTheRunningProgram) {
  Win32Platform platform;
  const std::filesystem::path folder = platform.program_folder();
  EXPECT_TRUE(folder.is_absolute());
  EXPECT_TRUE(std::filesystem::exists(folder / "platform_tests.exe")) << narrow(folder.native());
}

}  // namespace
}  // namespace scengen
