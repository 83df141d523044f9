// Progress list, title, message pump and drain-and-wait.
//
// Painting costs more than the downloads it shows when files are small: under
// Wine every row added below the list's visible part repaints the themed
// scroll bar, about 10 ms. Such rows are therefore gathered with the list's
// redraw off and put on screen together at most every kRowBatchMs; every
// other change is painted at once, and only what changed is sent.
#include "download/progress_win.h"

#include <commctrl.h>

#include <cstring>
#include <string>

#include "download/state.h"

namespace {

constexpr int kListId = 101;
// Bounds on one pump or drain, should a window keep asking for more.
constexpr int kMostMessages = 256;
constexpr DWORD kRowBatchMs = 100;

struct Column {
  const char* caption;
  int width;
};
constexpr Column kColumns[] = {{"N", 20}, {"Адрес файла", 370}, {"Размер", 100}, {"Статус", 100}};

// The main window, as the latest progress call gave it.
HWND g_main_window = nullptr;
HWND g_list = nullptr;
// What the list and the title show now; unchanged texts are not sent again,
// so a chunk costs one status and one title update.
std::string g_shown[4];
std::string g_title;
bool g_title_known = false;
HCURSOR g_arrow = nullptr;
// The window has changes that are not painted yet.
bool g_changed = false;
// The list's redraw is off: rows below its visible part wait for the batch.
bool g_held = false;
DWORD g_last_batch = 0;

void create_list(HINSTANCE instance) {
  g_list = CreateWindowExA(WS_EX_CLIENTEDGE, "SysListView32", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LVS_REPORT,
                           0, 0, 630, 170, g_main_window,
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
  g_changed = true;
}

// Redraw on again: the list brings its scroll bar up to date and repaints.
void release_rows() {
  if (!g_held) return;
  SendMessageA(g_list, WM_SETREDRAW, TRUE, 0);
  g_held = false;
  g_changed = true;
  g_last_batch = GetTickCount();
}

// Whether a row added now lands wholly below the rows the list shows.
bool lands_out_of_sight() {
  const LRESULT count = SendMessageA(g_list, LVM_GETITEMCOUNT, 0, 0);
  const LRESULT top = SendMessageA(g_list, LVM_GETTOPINDEX, 0, 0);
  const LRESULT per_page = SendMessageA(g_list, LVM_GETCOUNTPERPAGE, 0, 0);
  return count > top + per_page;
}

void insert_row(const ProgressRow& row) {
  if (!lands_out_of_sight()) {
    release_rows();  // a row in sight is painted at once
  } else if (!g_held && GetTickCount() - g_last_batch < kRowBatchMs) {
    SendMessageA(g_list, WM_SETREDRAW, FALSE, 0);
    g_held = true;
  }
  for (std::string& text : g_shown) text.clear();
  g_shown[0] = row.number;
  LVITEMA item = {};
  item.mask = LVIF_TEXT;
  item.iItem = row.item;
  item.pszText = &g_shown[0][0];
  SendMessageA(g_list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
  g_changed = true;
  if (!g_held) g_last_batch = GetTickCount();
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
  g_changed = true;
}

void show_row() {
  const ProgressRow row = progress_row(g_download);
  if (row.insert) insert_row(row);
  set_cell(row.item, 1, g_download.address);
  set_cell(row.item, 2, row.size);
  set_cell(row.item, 3, g_download.status);
}

// UpdateWindow paints the main window and the list with it.
void paint(bool now) {
  if (g_held && (now || GetTickCount() - g_last_batch >= kRowBatchMs)) release_rows();
  if (g_changed && !g_held) {
    UpdateWindow(g_main_window);
    g_changed = false;
  }
}

void show_title(const std::string& title) {
  const HWND main_window = g_main_window;
  if (!g_title_known) {
    char shown[64] = {};
    GetWindowTextA(main_window, shown, sizeof shown);
    g_title = shown;
    g_title_known = true;
  }
  if (title == g_title) return;
  g_title = title;
  SetWindowTextA(main_window, title.c_str());
}

}  // namespace

int progress(HINSTANCE instance, HWND main_window, const char* word) {
  g_main_window = main_window;
  // Only what would change anything is asked of the window system.
  if (!g_arrow) g_arrow = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  if (GetCursor() != g_arrow) SetCursor(g_arrow);
  if (!IsWindowVisible(g_main_window)) {
    ShowWindow(g_main_window, SW_SHOW);
    g_changed = true;
  }

  if (std::strstr(word, "start")) {
    // Its WM_TIMER messages bound every wait for a message.
    SetTimer(main_window, 1, 100, nullptr);
    create_list(instance);
  }
  if (std::strstr(word, "data") && g_list) show_row();
  paint(false);

  show_title(progress_title(g_download.current_row, progress_percent(g_download.size, g_download.status)));

  pump_messages();
  return 1;
}

void progress_flush() { paint(true); }

void pump_messages() {
  MSG message;
  for (int handled = 0; handled < kMostMessages && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE); ++handled) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

void drain_and_wait() {
  progress_flush();
  MSG message;
  for (int seen = 0; seen < kMostMessages && PeekMessageA(&message, g_main_window, 0, 0, PM_REMOVE);
       ++seen) {
    if (message.message == WM_PAINT) DispatchMessageA(&message);
  }
  WaitMessage();
}
