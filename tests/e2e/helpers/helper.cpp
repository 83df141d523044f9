// The end-to-end tests' helper program; what it does follows from the name it is started under (the build keeps a
// copy under each):
//   clip set|unicode FILE [LCID] | fill COUNT | empty [LCID]: CF_TEXT from the file, or CF_UNICODETEXT (UTF-16LE);
//     COUNT characters of the tests' pattern as CF_UNICODETEXT, made in place; no text; with CF_LOCALE when given
//   frame CLASS answers|hung|clipN READY: a window of that class, closed with the program; once in front it writes
//     READY and, hung: answers no message for a minute; clipN: nor for N seconds, holding the clipboard open meanwhile
//   watcher LOG DIR: keeps Wine's desktop, and so the clipboard, alive; records each message box and the Tulvex
//     window's state, then closes the box unless DIR\hold exists (DIR\norows: no cells); DIR\stop ends it
//   rows LOG: records the foreground window's title and the Tulvex window's state now, without the cells
//   ping LOG SECONDS: asks the Tulvex window every 20 ms for SECONDS whether it answers; records the longest wait in
//     ms and the count of answers
//   closer: closes the Tulvex window as its close button does
//   short PATH LOG: records the short (8.3) name of a file
//   any other name: stands in for IExplore.exe, Explorer.exe and htmopen.exe; records its name and command line in
//     launches.log beside it
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {
using Fields = std::vector<std::string>;

// A record is a line of fields, each in hexadecimal and ended by ',', so that any bytes reach the tests; one write.
void record(const Fields& fields, const std::string& log) {
  std::string line;
  for (const std::string& field : fields) {
    for (const unsigned char c : field) line += {"0123456789abcdef"[c >> 4], "0123456789abcdef"[c & 15]};
    line += ',';
  }
  line += '\n';
  if (FILE* file = std::fopen(log.c_str(), "ab")) {
    std::fwrite(line.data(), 1, line.size(), file);
    std::fclose(file);
  }
}

std::string text_of(HWND window) {
  char text[4096] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// A message to another process's window that never hangs the helper.
LRESULT ask(HWND window, UINT message, WPARAM wparam = 0, LPARAM lparam = 0) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(window, message, wparam, lparam, SMTO_ABORTIFHUNG, 5000, &result);
  return static_cast<LRESULT>(result);
}

// The Tulvex window's title; of its list the top index, rows per page, row count and cells (read through memory in
// the list's process).
Fields tulvex_window(bool cells) {
  const HWND main = FindWindowA("Tulvex", nullptr), list = FindWindowExA(main, nullptr, "SysListView32", nullptr);
  const LRESULT rows = list ? ask(list, LVM_GETITEMCOUNT) : 0;
  Fields fields = {text_of(main), std::to_string(ask(list, LVM_GETTOPINDEX)),
                   std::to_string(ask(list, LVM_GETCOUNTPERPAGE)), std::to_string(rows)};
  DWORD id = 0;
  GetWindowThreadProcessId(list, &id);
  const std::unique_ptr<void, decltype(&CloseHandle)> process(OpenProcess(PROCESS_ALL_ACCESS, FALSE, id), CloseHandle);
  auto* remote = static_cast<char*>(
      cells && process ? VirtualAllocEx(process.get(), nullptr, 4096, MEM_COMMIT, PAGE_READWRITE) : nullptr);
  for (int cell = 0; remote && cell < 4 * rows; ++cell) {
    LVITEMA item = {};
    item.iSubItem = cell % 4;
    item.pszText = remote + sizeof item;
    item.cchTextMax = 4096 - sizeof item;
    WriteProcessMemory(process.get(), remote, &item, sizeof item, nullptr);
    std::string text(ask(list, LVM_GETITEMTEXTA, cell / 4, reinterpret_cast<LPARAM>(remote)), '\0');
    ReadProcessMemory(process.get(), remote + sizeof item, &text[0], text.size(), nullptr);
    fields.push_back(text);
  }
  if (remote) VirtualFreeEx(process.get(), remote, 0, MEM_RELEASE);
  return fields;
}

int watch(const std::string& log, const std::string& dir) {
  std::set<HWND> seen;
  record({"ready"}, dir + "\\ready");
  for (; !exists(dir + "\\stop"); Sleep(40)) {
    for (HWND box = nullptr; (box = FindWindowExA(nullptr, box, "#32770", nullptr));) {
      if (IsWindowVisible(box) && seen.insert(box).second) {
        std::string text;  // the first Static child holds the icon, the next the text
        for (HWND child = nullptr; text.empty() && (child = FindWindowExA(box, child, "Static", nullptr));) {
          text = text_of(child);
        }
        Fields fields = tulvex_window(!exists(dir + "\\norows"));
        fields.insert(fields.begin(), {text_of(box), text});
        record(fields, log);
      }
      if (IsWindowVisible(box) && !exists(dir + "\\hold")) PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
  }
  return 0;
}

int clip(const std::string& command, const char* argument, const char* locale) {
  std::ifstream in(command == "set" || command == "unicode" ? argument : "", std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  const std::size_t count = command == "fill" ? std::strtoul(argument, nullptr, 10) : 0;
  const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes.size() + 2 * count + 2);
  if (auto* data = static_cast<char*>(GlobalLock(block))) {
    std::memcpy(data, bytes.data(), bytes.size());
    const char pattern[] = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_\n";
    for (std::size_t i = 0; i < count; ++i) reinterpret_cast<wchar_t*>(data)[i] = pattern[i % 64];
    GlobalUnlock(block);
  }
  const HGLOBAL lcid = locale ? GlobalAlloc(GMEM_MOVEABLE, sizeof(LCID)) : nullptr;
  if (auto* data = static_cast<LCID*>(GlobalLock(lcid))) {
    *data = std::strtoul(locale, nullptr, 16);
    GlobalUnlock(lcid);
  }
  for (int attempt = 0; !OpenClipboard(nullptr); ++attempt) {
    if (attempt == 100) return 2;
    Sleep(20);
  }
  bool set = block && EmptyClipboard();
  if (command != "empty") set = set && SetClipboardData(command == "set" ? CF_TEXT : CF_UNICODETEXT, block);
  if (lcid) set = set && SetClipboardData(CF_LOCALE, lcid);
  CloseClipboard();
  return set ? 0 : 2;
}

int frame(const char* window_class, const std::string& how, const std::string& ready) {
  const WNDCLASSA frame_class = {0, DefWindowProcA, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, window_class};
  RegisterClassA(&frame_class);
  const HWND window = CreateWindowExA(0, window_class, "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, nullptr,
                                      nullptr, nullptr, nullptr);
  for (MSG message; IsWindow(window); Sleep(10)) {  // a window asked to close is gone
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    if (GetForegroundWindow() != window || exists(ready)) continue;
    record({"front"}, ready);
    const bool clip = how.rfind("clip", 0) == 0 && OpenClipboard(window);
    Sleep(how == "hung" ? 60000 : clip ? 1000 * std::strtoul(how.c_str() + 4, nullptr, 10) : 0);
    if (clip) CloseClipboard();
  }
  return 0;
}
}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char module[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, module, MAX_PATH);
  const std::string path = module, folder = path.substr(0, path.find_last_of('\\'));
  const std::string name = path.substr(folder.size() + 1);  // as the build names the copies
  if (name == "clip.exe" && __argc >= 2) return clip(__argv[1], __argv[2], __argc == 4 ? __argv[3] : nullptr);
  if (name == "watcher.exe" && __argc == 3) return watch(__argv[1], __argv[2]);
  if (name == "ping.exe" && __argc == 3) {
    unsigned longest = 0, answers = 0;
    const DWORD end = GetTickCount() + 1000 * std::strtoul(__argv[2], nullptr, 10);
    for (; GetTickCount() < end; Sleep(20)) {
      const HWND window = FindWindowA("Tulvex", nullptr);
      const DWORD asked = GetTickCount();
      DWORD_PTR result = 0;
      if (!window || !SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result)) continue;
      longest = std::max<unsigned>(longest, GetTickCount() - asked);
      ++answers;
    }
    record({std::to_string(longest), std::to_string(answers)}, __argv[1]);
    return 0;
  }
  if (name == "closer.exe") return PostMessageA(FindWindowA("Tulvex", nullptr), WM_CLOSE, 0, 0) ? 0 : 2;
  if (name == "short.exe" && __argc == 3) {
    char path[MAX_PATH] = {};
    GetShortPathNameA(__argv[1], path, MAX_PATH);
    record({std::string(path).substr(std::string(path).find_last_of('\\') + 1)}, __argv[2]);
    return 0;
  }
  if (name == "frame.exe" && __argc == 4) return frame(__argv[1], __argv[2], __argv[3]);
  if (name == "rows.exe" && __argc == 2) {
    Fields fields = tulvex_window(false);
    fields.insert(fields.begin(), text_of(GetForegroundWindow()));
    record(fields, __argv[1]);
    return 0;
  }
  record({name, GetCommandLineA()}, folder + "\\launches.log");
  return 0;
}
