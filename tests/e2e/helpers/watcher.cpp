// Long-lived test helper: keeps the Wine desktop (and so the clipboard)
// alive, records every message box that appears and dismisses it.
//   watcher LOG CONTROL_FOLDER
// For each box it appends one record: the caption, the text, then the title
// of the program's main window (class "Tulvex") in the same process and the
// cells of its progress list, row by row, four columns each. While the file
// CONTROL_FOLDER\hold exists, boxes are recorded but left open; while
// CONTROL_FOLDER\norows exists, the progress list is not read (timed runs).
// The file CONTROL_FOLDER\stop ends the watcher.
#include <windows.h>
#include <commctrl.h>

#include <set>
#include <string>
#include <vector>

#include "record.h"

namespace {

std::string window_text(HWND window) {
  char text[4096] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

std::string class_name(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

struct MainWindowSearch {
  DWORD process;
  HWND found;
};

BOOL CALLBACK find_main_window(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<MainWindowSearch*>(param);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == search->process && class_name(window) == "Tulvex") {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

// The cells of another process's list view, read through memory allocated
// in that process.
std::vector<std::string> list_cells(HWND list, DWORD process_id) {
  std::vector<std::string> cells;
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process_id);
  if (!process) return cells;
  const SIZE_T text_size = 1024;
  char* remote = static_cast<char*>(
      VirtualAllocEx(process, nullptr, sizeof(LVITEMA) + text_size, MEM_COMMIT, PAGE_READWRITE));
  if (remote) {
    const int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < rows; ++row) {
      for (int column = 0; column < 4; ++column) {
        LVITEMA item = {};
        item.iSubItem = column;
        item.pszText = remote + sizeof(LVITEMA);
        item.cchTextMax = text_size;
        WriteProcessMemory(process, remote, &item, sizeof item, nullptr);
        const int length = static_cast<int>(SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(remote)));
        std::string text(text_size, '\0');
        ReadProcessMemory(process, remote + sizeof(LVITEMA), &text[0], text_size, nullptr);
        text.resize(length > 0 ? length : 0);
        cells.push_back(text);
      }
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  CloseHandle(process);
  return cells;
}

std::vector<std::string> describe_box(HWND box, bool with_rows) {
  std::string text;
  for (HWND child = FindWindowExA(box, nullptr, "Static", nullptr); child;
       child = FindWindowExA(box, child, "Static", nullptr)) {
    text = window_text(child);
    if (!text.empty()) break;
  }
  std::vector<std::string> fields = {window_text(box), text};
  MainWindowSearch search = {0, nullptr};
  GetWindowThreadProcessId(box, &search.process);
  EnumWindows(find_main_window, reinterpret_cast<LPARAM>(&search));
  fields.push_back(search.found ? window_text(search.found) : std::string());
  if (search.found && with_rows) {
    if (HWND list = FindWindowExA(search.found, nullptr, "SysListView32", nullptr)) {
      for (std::string& cell : list_cells(list, search.process)) fields.push_back(cell);
    }
  }
  return fields;
}

struct Boxes {
  std::vector<HWND> found;
};

BOOL CALLBACK collect_boxes(HWND window, LPARAM param) {
  if (IsWindowVisible(window) && class_name(window) == "#32770")
    reinterpret_cast<Boxes*>(param)->found.push_back(window);
  return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 1;
  const std::string log = argv[1];
  const std::string control = argv[2];
  std::set<HWND> recorded;
  append_record(control + "\\ready", {"ready"});
  while (!exists(control + "\\stop")) {
    Boxes boxes;
    EnumWindows(collect_boxes, reinterpret_cast<LPARAM>(&boxes));
    const bool hold = exists(control + "\\hold");
    for (HWND box : boxes.found) {
      if (recorded.insert(box).second) append_record(log, describe_box(box, !exists(control + "\\norows")));
      if (!hold) PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
    Sleep(40);
  }
  return 0;
}
