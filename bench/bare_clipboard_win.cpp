// The floor of the clipboard benchmark: a bare Win32 program that opens a
// hidden window, reads the clipboard's text as tulvex.exe takes it
// (CF_UNICODETEXT, else CF_TEXT), touches every byte of it, and starts the
// program named on its command line.
//   bare_clipboard COMMAND LINE
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command, int) {
  WNDCLASSA window_class = {};
  window_class.lpfnWndProc = DefWindowProcA;
  window_class.hInstance = instance;
  window_class.lpszClassName = "BareClipboard";
  RegisterClassA(&window_class);
  CreateWindowExA(0, window_class.lpszClassName, "Bare", WS_OVERLAPPEDWINDOW, 100, 100, 630, 200, nullptr, nullptr,
                  instance, nullptr);
  unsigned sum = 0;
  if (OpenClipboard(nullptr)) {
    if (HANDLE block = GetClipboardData(IsClipboardFormatAvailable(CF_UNICODETEXT) ? CF_UNICODETEXT : CF_TEXT)) {
      const auto* bytes = static_cast<const unsigned char*>(GlobalLock(block));
      const SIZE_T size = bytes ? GlobalSize(block) : 0;
      for (SIZE_T i = 0; i < size; ++i) sum += bytes[i];
      GlobalUnlock(block);
    }
    CloseClipboard();
  }
  WinExec(command, SW_SHOWDEFAULT);
  return sum == 0xFFFFFFFFu;  // uses the sum, so that the reading stays
}
