#include "platform/win32_platform.h"

#include "platform/win32_text.h"

namespace scengen {
namespace {

constexpr wchar_t kWindowClass[] = L"scengen.Form1";
constexpr wchar_t kProgramName[] = L"scengen";

// Nothing on the window reacts to input, and the run processes no message while it works:
// the default handling is all the window needs.
LRESULT CALLBACK form_procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  return DefWindowProcW(window, message, w, l);
}

void register_window_class(HINSTANCE instance) {
  WNDCLASSEXW form{};
  form.cbSize = sizeof form;
  form.lpfnWndProc = form_procedure;
  form.hInstance = instance;
  form.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  form.hIcon = LoadIconW(nullptr, MAKEINTRESOURCEW(32512));      // IDI_APPLICATION
  form.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  form.lpszClassName = kWindowClass;
  RegisterClassExW(&form);
}

// The window tests look at the window while the run stands still after its one paint: when
// SCENGEN_TEST_HOLD_EVENT names an event, the run waits here (processing nothing, as the run never
// does) until the test sets it, or a minute has passed.
void hold_for_inspection() {
  wchar_t name[256];
  const DWORD n = GetEnvironmentVariableW(L"SCENGEN_TEST_HOLD_EVENT", name, 256);
  if (n == 0 || n >= 256) return;
  HANDLE event = CreateEventW(nullptr, TRUE, FALSE, name);
  if (event == nullptr) return;
  WaitForSingleObject(event, 60000);
  CloseHandle(event);
}

int screen_dpi(int axis) {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, axis);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

}  // namespace

int twips_to_pixels(int twips, int dpi) {
  return MulDiv(twips, dpi, 1440);
}

Win32Platform::Win32Platform() {
  // Sizes are given in twips: the window must learn the real DPI, not a scaled 96.
  SetProcessDPIAware();
}

Win32Platform::~Win32Platform() {
  if (window_ != nullptr) DestroyWindow(window_);
  if (font_ != nullptr) DeleteObject(font_);
}

std::filesystem::path Win32Platform::program_folder() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n < buffer.size()) {
      buffer.resize(n);
      break;
    }
    buffer.resize(buffer.size() * 2);  // the path was cut: try again with more room
  }
  return std::filesystem::path(buffer).parent_path();
}

void Win32Platform::show_status_window() {
  if (window_ != nullptr) return;
  HINSTANCE instance = GetModuleHandleW(nullptr);
  register_window_class(instance);
  const int dpi_x = screen_dpi(LOGPIXELSX);
  const int dpi_y = screen_dpi(LOGPIXELSY);
  using L = StatusWindowLayout;

  const DWORD style = WS_OVERLAPPEDWINDOW;
  RECT frame{0, 0, twips_to_pixels(L::kClientWidth, dpi_x),
             twips_to_pixels(L::kClientHeight, dpi_y)};
  AdjustWindowRectEx(&frame, style, FALSE, 0);
  window_ = CreateWindowExW(0, kWindowClass, L"Form1", style, CW_USEDEFAULT, CW_USEDEFAULT,
                            frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                            instance, nullptr);
  if (window_ == nullptr) return;  // no window station: the run goes on without its window

  font_ = CreateFontW(-MulDiv(L::kFontPoints, dpi_y, 72), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                      DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                      DEFAULT_PITCH | FF_SWISS, L"MS Sans Serif");
  label_ = CreateWindowExW(
      0, L"STATIC", L"Attendere", WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX,
      twips_to_pixels(L::kLabelLeft, dpi_x), twips_to_pixels(L::kLabelTop, dpi_y),
      twips_to_pixels(L::kLabelWidth, dpi_x), twips_to_pixels(L::kLabelHeight, dpi_y), window_,
      nullptr, instance, nullptr);
  if (label_ != nullptr && font_ != nullptr) {
    SendMessageW(label_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  }

  ShowWindow(window_, SW_SHOWNORMAL);
  // The one paint: frame, client area and label, now, without a message loop.
  RedrawWindow(window_, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  GdiFlush();
  hold_for_inspection();
}

void Win32Platform::message_box(const std::string& text) {
  MessageBoxW(window_, widen(text).c_str(), kProgramName, MB_OK);
}

void Win32Platform::report(std::string_view line) {
  messages_ << line << '\n';
}

void Win32Platform::show_messages(bool failed) {
  std::string text = messages_.str();
  messages_.str({});
  while (!text.empty() && text.back() == '\n') text.pop_back();
  if (text.empty()) return;
  MessageBoxW(window_, widen(text).c_str(), kProgramName,
              MB_OK | (failed ? MB_ICONERROR : MB_ICONINFORMATION));
}

}  // namespace scengen
