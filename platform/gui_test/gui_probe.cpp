// gui_probe: what a person sees of the Windows program, for the window tests under wine.
//   gui_probe window TITLE [SECONDS]   waits for a top-level window so titled and describes it
//   gui_probe release EVENT            lets a run held by SCENGEN_TEST_HOLD_EVENT go on
// The description is one fact per line:
//   window "TITLE" class "CLASS" owner "OWNER TITLE"
//   dpi X Y
//   client W H                 the client area in pixels
//   client-origin X Y          where the client area starts inside the whole window
//   child "CLASS" visible V rect X Y W H text "TEXT"
// Child rectangles are relative to the client area; texts are UTF-8. (A font belongs to the
// process that made it, so the label's font is tested inside the program's own tests.)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "testing/win32_windows.h"

namespace {

std::string utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                    0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}

std::wstring wide(const char* text) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text, -1, out.data(), n);
  out.resize(static_cast<size_t>(n > 0 ? n - 1 : 0));
  return out;
}

using scengen::testing::class_of;
using scengen::testing::text_of;

BOOL CALLBACK describe_child(HWND child, LPARAM parent_handle) {
  const HWND parent = reinterpret_cast<HWND>(parent_handle);
  if (GetParent(child) != parent) return TRUE;  // only the direct children
  RECT rect;
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  std::printf("child \"%s\" visible %d rect %ld %ld %ld %ld text \"%s\"\n",
              utf8(class_of(child)).c_str(), IsWindowVisible(child) ? 1 : 0, rect.left, rect.top,
              rect.right - rect.left, rect.bottom - rect.top, utf8(text_of(child)).c_str());
  return TRUE;
}

int describe_window(const std::wstring& title, int seconds) {
  HWND window = nullptr;
  for (int waited = 0; waited <= seconds * 1000; waited += 20) {
    window = FindWindowW(nullptr, title.c_str());
    if (window != nullptr && IsWindowVisible(window)) break;
    window = nullptr;
    Sleep(20);
  }
  if (window == nullptr) {
    std::fprintf(stderr, "gui_probe: no window titled \"%s\"\n", utf8(title).c_str());
    return 1;
  }
  const HWND owner = GetWindow(window, GW_OWNER);
  std::printf("window \"%s\" class \"%s\" owner \"%s\"\n", utf8(text_of(window)).c_str(),
              utf8(class_of(window)).c_str(), owner != nullptr ? utf8(text_of(owner)).c_str() : "");
  HDC screen = GetDC(nullptr);
  std::printf("dpi %d %d\n", GetDeviceCaps(screen, LOGPIXELSX), GetDeviceCaps(screen, LOGPIXELSY));
  ReleaseDC(nullptr, screen);
  RECT client;
  GetClientRect(window, &client);
  std::printf("client %ld %ld\n", client.right, client.bottom);
  RECT frame;
  GetWindowRect(window, &frame);
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  std::printf("client-origin %ld %ld\n", origin.x - frame.left, origin.y - frame.top);
  EnumChildWindows(window, describe_child, reinterpret_cast<LPARAM>(window));
  return 0;
}

int release(const std::wstring& name) {
  HANDLE event = OpenEventW(EVENT_MODIFY_STATE, FALSE, name.c_str());
  if (event == nullptr) {
    std::fprintf(stderr, "gui_probe: no event \"%s\"\n", utf8(name).c_str());
    return 1;
  }
  SetEvent(event);
  CloseHandle(event);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  // Pixels as the program sees them: the program declares itself DPI-aware too.
  SetProcessDPIAware();
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "window" && (argc == 3 || argc == 4)) {
    return describe_window(wide(argv[2]), argc == 4 ? std::atoi(argv[3]) : 20);
  }
  if (command == "release" && argc == 3) return release(wide(argv[2]));
  std::fprintf(stderr, "usage: gui_probe window TITLE [SECONDS] | gui_probe release EVENT\n");
  return 2;
}
