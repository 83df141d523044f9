// Progress list, title, message pump and drain-and-wait.
#include "download/progress_win.h"

#include <commctrl.h>

#include <cstring>
#include <string>

#include "download/state.h"
#include "launcher/state_win.h"

namespace {

constexpr int kListId = 101;
// Bounds on one pump or drain, should a window keep asking for more.
constexpr int kMostMessages = 256;

struct Column {
  const char* caption;
  int width;
};
constexpr Column kColumns[] = {{"N", 20}, {"Адрес файла", 370}, {"Размер", 100}, {"Статус", 100}};

HWND g_list = nullptr;
// What the list and the title show now; unchanged texts are not sent again,
// so a chunk costs one status and one title update.
std::string g_shown[4];
std::string g_title;

void create_list(HINSTANCE instance) {
  g_list = CreateWindowExA(WS_EX_CLIENTEDGE, "SysListView32", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LVS_REPORT,
                           0, 0, 630, 170, g_launcher.main_window,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListId)), instance, nullptr);
  if (!g_list) return;
  for (int i = 0; i < 4; ++i) {
    std::string caption = kColumns[i].caption;
    LVCOLUMNA column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_RIGHT;
    column.cx = kColumns[i].width;
    column.pszText = &caption[0];
    column.iSubItem = i;
    SendMessageA(g_list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
  }
  ShowWindow(g_list, SW_SHOW);
}

void set_cell(int item, int column, const std::string& text) {
  if (g_shown[column] == text) return;
  g_shown[column] = text;
  LVITEMA cell = {};
  cell.mask = LVIF_TEXT;
  cell.iItem = item;
  cell.iSubItem = column;
  cell.pszText = &g_shown[column][0];
  SendMessageA(g_list, LVM_SETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&cell));
}

void show_row() {
  const ProgressRow row = progress_row(g_download);
  if (row.insert) {
    for (std::string& text : g_shown) text.clear();
    g_shown[0] = row.number;
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = row.item;
    item.pszText = &g_shown[0][0];
    SendMessageA(g_list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
  }
  set_cell(row.item, 1, g_download.address);
  set_cell(row.item, 2, row.size);
  set_cell(row.item, 3, g_download.status);
}

}  // namespace

int progress(HINSTANCE instance, const char* word) {
  SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
  const HWND main_window = g_launcher.main_window;
  ShowWindow(main_window, SW_SHOW);
  UpdateWindow(main_window);

  if (std::strstr(word, "start")) create_list(instance);
  if (std::strstr(word, "data") && g_list) show_row();

  UpdateWindow(main_window);
  if (g_list) UpdateWindow(g_list);

  const std::string title =
      progress_title(g_download.current_row, progress_percent(g_download.size, g_download.status));
  if (title != g_title) {
    g_title = title;
    SetWindowTextA(main_window, title.c_str());
  }

  pump_messages();
  return 1;
}

void pump_messages() {
  MSG message;
  for (int handled = 0; handled < kMostMessages && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE); ++handled) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

void drain_and_wait() {
  MSG message;
  for (int seen = 0; seen < kMostMessages && PeekMessageA(&message, g_launcher.main_window, 0, 0, PM_REMOVE);
       ++seen) {
    if (message.message == WM_PAINT) DispatchMessageA(&message);
  }
  WaitMessage();
}
