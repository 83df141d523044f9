// The end-to-end tests' helper program; what it does follows from the name it is started under
// (the build keeps a copy under each):
//   clip set FILE | unicode FILE LCID | fill COUNT | empty
//     CF_TEXT from the file; CF_UNICODETEXT (a UTF-16LE file) and CF_LOCALE alone; COUNT characters
//     of the tests' pattern as CF_UNICODETEXT, made in place; no text
//   watcher LOG DIR  keeps Wine's desktop, and so the clipboard, alive; records each message box and
//     the Tulvex window's state, then closes the box unless DIR\hold exists (DIR\norows: no cells);
//     DIR\stop ends it
//   rows LOG  records the foreground window's title and the Tulvex window's state now, without the cells
//   any other name  stands in for IExplore.exe, Explorer.exe and htmopen.exe: records its name,
//     command line and current folder in launches.log beside it
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {
using Fields = std::vector<std::string>;
std::string g_log;

// Fields "<length>:<bytes>," and a line feed, so that any bytes reach the driver; one write.
void record(const Fields& fields, const std::string& log = g_log) {
  std::string line;
  for (const std::string& field : fields) line += std::to_string(field.size()) + ":" + field + ",";
  line += "\n";
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

// The Tulvex window's title; of its list the top index, rows per page, row count and cells (read
// through memory in the list's process).
Fields tulvex_window(bool cells) {
  const HWND main = FindWindowA("Tulvex", nullptr), list = FindWindowExA(main, nullptr, "SysListView32", nullptr);
  const LRESULT rows = list ? ask(list, LVM_GETITEMCOUNT) : 0;
  Fields fields = {text_of(main), std::to_string(ask(list, LVM_GETTOPINDEX)),
                   std::to_string(ask(list, LVM_GETCOUNTPERPAGE)), std::to_string(rows)};
  DWORD id = 0;
  GetWindowThreadProcessId(list, &id);
  const std::unique_ptr<void, decltype(&CloseHandle)> process(OpenProcess(PROCESS_ALL_ACCESS, FALSE, id), CloseHandle);
  auto* remote = static_cast<char*>(cells && process ? VirtualAllocEx(process.get(), nullptr, 4096, MEM_COMMIT,
                                                                      PAGE_READWRITE) : nullptr);
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

int watch(const char* log, const std::string& dir) {
  std::set<HWND> seen;
  g_log = log;
  record({"ready"}, dir + "\\ready");
  for (; !exists(dir + "\\stop"); Sleep(40)) {
    for (HWND box = nullptr; (box = FindWindowExA(nullptr, box, "#32770", nullptr));) {
      if (IsWindowVisible(box) && seen.insert(box).second) {
        std::string text;  // the first Static child holds the icon, the next the text
        for (HWND child = nullptr; text.empty() && (child = FindWindowExA(box, child, "Static", nullptr));) text = text_of(child);
        Fields fields = {text_of(box), text};
        for (const std::string& field : tulvex_window(!exists(dir + "\\norows"))) fields.push_back(field);
        record(fields);
      }
      if (IsWindowVisible(box) && !exists(dir + "\\hold")) PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
  }
  return 0;
}

int clip(int argc, char** argv) {
  const std::string command = argc > 2 ? argv[1] : "empty", file = argc > 2 ? argv[2] : "";
  if (command == "unicode" && argc != 4) return 1;
  std::string bytes;
  if (FILE* in = command == "set" || command == "unicode" ? std::fopen(file.c_str(), "rb") : nullptr) {
    for (int c; (c = std::fgetc(in)) != EOF;) bytes += static_cast<char>(c);
    std::fclose(in);
  }
  const std::size_t count = command == "fill" ? std::strtoul(file.c_str(), nullptr, 10) : 0;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes.size() + 2 * count + 2);
  if (auto* data = static_cast<char*>(GlobalLock(block))) {
    std::memcpy(data, bytes.data(), bytes.size());
    for (std::size_t i = 0; i < count; ++i) reinterpret_cast<wchar_t*>(data)[i] = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_\n"[i % 64];
    GlobalUnlock(block);
  }
  for (int attempt = 0; !OpenClipboard(nullptr); ++attempt) {
    if (attempt == 100) return 2;
    Sleep(20);
  }
  int code = block ? 0 : 2;
  if (EmptyClipboard() && command != "empty") {
    HGLOBAL locale = command == "unicode" ? GlobalAlloc(GMEM_MOVEABLE, sizeof(LCID)) : nullptr;
    if (auto* lcid = static_cast<LCID*>(GlobalLock(locale))) {
      *lcid = std::strtoul(argv[3], nullptr, 16);
      GlobalUnlock(locale);
    }
    if (!SetClipboardData(command == "set" ? CF_TEXT : CF_UNICODETEXT, block) || (locale && !SetClipboardData(CF_LOCALE, locale))) code = 2;
  }
  CloseClipboard();
  return code;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char module[MAX_PATH] = {}, current[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, module, MAX_PATH);
  const std::string path = module, folder = path.substr(0, path.find_last_of('\\')), own = path.substr(folder.size() + 1);
  std::string name = own;
  CharLowerA(&name[0]);
  if (name == "clip.exe") return clip(__argc, __argv);
  if (name == "watcher.exe" && __argc == 3) return watch(__argv[1], __argv[2]);
  if (name == "rows.exe" && __argc == 2) {
    Fields fields = tulvex_window(false);
    fields.insert(fields.begin(), text_of(GetForegroundWindow()));
    record(fields, __argv[1]);
    return 0;
  }
  GetCurrentDirectoryA(MAX_PATH, current);
  record({own, GetCommandLineA(), current}, folder + "\\launches.log");
  return 0;
}
