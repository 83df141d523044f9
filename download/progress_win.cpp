// Progress list, title, message pump and drain-and-wait.
//
// Painting costs more than the downloads it shows: under Wine a paint of the
// list takes milliseconds (every new row scrolls it, and a themed scroll bar
// takes over 10 ms to draw), while a small file takes about 5 ms and a chunk
// of a large one microseconds. So unless the rows take long enough that
// painting every change costs little beside them, the screen is brought up
// to the state every kPaintMs at most, and less often where a paint is slow.
// In between the list's redraw is off and rows and statuses reach it
// unpainted; a chunk offset is not even sent, since the next paint shows a
// later one. Every box and every wait is preceded by a flush.
#include "download/progress_win.h"

#include <commctrl.h>

#include <string>

#include "desktop/lazy_win.h"
#include "download/state.h"

namespace {

constexpr int kListId = 101;
constexpr UINT_PTR kTimerId = 1;
constexpr UINT kTimerMs = 100;
constexpr DWORD kPaintMs = 100;
// A paint that took t ms is followed by the next no sooner than
// kPaintShare × t ms later, so that painting takes at most about a
// twentieth of the time wherever it is slow (a moving list under Wine's
// default theme: 20 to 35 ms a paint).
constexpr DWORD kPaintShare = 20;
// The first row counts as slow: nothing is known yet, and it is painted.
constexpr DWORD kFirstRowTime = 0xFFFFFFFF;
constexpr DWORD kPumpMs = 10;
// Windows 7 and before refuse Windows 8's touch and pointer flags: the whole
// GetQueueStatus call fails, and the queue would never be looked at.
static_assert((QS_ALLINPUT & 0x1800) == 0, "QS_ALLINPUT holds flags that Windows 7 refuses");
// Bounds on one pump or drain, should a window keep asking for more.
constexpr int kMostMessages = 256;

struct Column {
  const char* caption;
  int width;
};
constexpr Column kColumns[] = {{"N", 20}, {"Адрес файла", 370}, {"Размер", 100}, {"Статус", 100}};

HWND g_main = nullptr;
HWND g_list = nullptr;
HCURSOR g_arrow = nullptr;
// What the current row and the title show now; unchanged texts are not sent
// again.
std::string g_shown[4];
std::string g_title;
// The list's redraw is off: what it holds is not on screen yet.
bool g_held = false;
// A row was added while the redraw was off and is not scrolled into sight yet.
bool g_scroll_due = false;
// The state has moved on since the last paint.
bool g_behind = false;
// The window has been painted once. Its first paint draws everything for the
// first time (under Wine the themed header alone takes milliseconds), so it
// says nothing about what the next ones cost.
bool g_painted = false;
DWORD g_last_paint = 0;  // when the latest paint ended
DWORD g_paint_gap = kPaintMs;
DWORD g_row_began = 0;  // when the current row was added
DWORD g_row_time = 0;   // how long the row before it took
DWORD g_last_pump = 0;

void create_list(HINSTANCE instance) {
  g_list = CreateWindowExA(WS_EX_CLIENTEDGE, "SysListView32", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LVS_REPORT,
                           0, 0, 630, 170, g_main, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListId)),
                           instance, nullptr);
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

// The state's current row into the list; a new row is scrolled into sight.
void put_row() {
  if (g_download.rows_taken == 0) return;  // a list without rows, painted before its summary
  const ProgressRow row = progress_row(g_download);
  if (!g_list) return;
  if (row.insert) {
    for (std::string& text : g_shown) text.clear();
    g_shown[0] = row.number;
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = row.item;
    item.pszText = &g_shown[0][0];
    SendMessageA(g_list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    // With the redraw off the list keeps its old scroll range (Wine's does),
    // so the scroll waits until the redraw is on again.
    if (g_held) {
      g_scroll_due = true;
    } else {
      SendMessageA(g_list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row.item), FALSE);
    }
  }
  set_cell(row.item, 1, g_download.address);
  set_cell(row.item, 2, row.size);
  set_cell(row.item, 3, g_download.status);
}

void hold() {
  if (g_held || !g_list) return;
  SendMessageA(g_list, WM_SETREDRAW, FALSE, 0);
  g_held = true;
}

// The whole state on screen: row, title, then one paint of what changed
// (redraw on again repaints the list with its scroll bar).
void paint() {
  const DWORD began = GetTickCount();
  SetCursor(g_arrow);
  put_row();
  const std::string title =
      progress_title(g_download.current_row, progress_percent(g_download.size, g_download.status));
  if (title != g_title) {
    g_title = title;
    SetWindowTextA(g_main, title.c_str());
  }
  if (g_held) {
    SendMessageA(g_list, WM_SETREDRAW, TRUE, 0);
    g_held = false;
  }
  if (g_scroll_due) {
    SendMessageA(g_list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(g_download.last_row_inserted), FALSE);
    g_scroll_due = false;
  }
  UpdateWindow(g_main);
  g_behind = false;
  g_last_paint = GetTickCount();
  const DWORD share = g_painted ? (g_last_paint - began) * kPaintShare : 0;
  g_paint_gap = share > kPaintMs ? share : kPaintMs;
  g_painted = true;
}

bool chunk_offset(const std::string& status) { return !status.empty() && status[0] >= '0' && status[0] <= '9'; }

}  // namespace

void progress_start(HINSTANCE instance, HWND main_window) {
  // The list view's classes: the common controls are loaded here, since only
  // this mode needs them.
  if (const auto init = dll_function<decltype(InitCommonControls)>("comctl32.dll", "InitCommonControls")) init();
  g_main = main_window;
  g_arrow = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  SetCursor(g_arrow);
  char title[64] = {};
  GetWindowTextA(g_main, title, sizeof title);
  g_title = title;
  // Made before the window is shown, the list appears with it. The first
  // paint is left to the first row (or to the flush before the summary when
  // there is none), a moment later: the window is drawn once with its row
  // rather than empty and then again.
  create_list(instance);
  ShowWindow(g_main, SW_SHOW);
  SetTimer(g_main, kTimerId, kTimerMs, nullptr);
  g_behind = true;
}

void progress_show_row() {
  const DWORD now = GetTickCount();
  const bool new_row = g_download.rows_taken - 1 != g_download.last_row_inserted;
  if (new_row) {
    g_row_time = g_download.rows_taken > 1 ? now - g_row_began : kFirstRowTime;
    g_row_began = now;
  }
  const bool chunk = !new_row && chunk_offset(g_download.status);
  // A list whose rows take long enough that painting every change costs
  // little beside them is painted at once; otherwise the screen waits for
  // the next paint, and the wait is short, as the rows are.
  const bool slow_list = g_row_time >= 3 * g_paint_gap;
  if (now - g_last_paint >= g_paint_gap || (slow_list && !g_held && !chunk)) {
    paint();
  } else {
    if (!chunk) {
      hold();
      put_row();
    }
    g_behind = true;
  }
  pump_messages();
}

void progress_flush() {
  if (g_behind || g_held) paint();
}

void pump_messages() {
  // Under Wine even asking whether anything waits is a call to the server
  // (about 25 us, ten times a chunk's work): the queue is looked at every
  // kPumpMs, and only the messages found are then taken out one by one.
  const DWORD now = GetTickCount();
  if (now - g_last_pump < kPumpMs) return;
  g_last_pump = now;
  if (HIWORD(GetQueueStatus(QS_ALLINPUT)) == 0) return;
  MSG message;
  for (int handled = 0; handled < kMostMessages && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE); ++handled) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

void drain_and_wait() {
  progress_flush();
  MSG message;
  for (int seen = 0; seen < kMostMessages && PeekMessageA(&message, g_main, 0, 0, PM_REMOVE); ++seen) {
    if (message.message == WM_PAINT) DispatchMessageA(&message);
  }
  WaitMessage();
}
