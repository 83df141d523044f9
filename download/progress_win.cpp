// Progress list, title, progress bar, status bar, the stop button and the
// window's close.
//
// The window's thread does nothing else: the fetches run on threads of
// their own, and the list follows the walk at every tick of the timer, so
// that the window answers at once whatever the network does. A paint of a
// list that grows costs milliseconds under Wine (the themed scroll bar is
// drawn again for every row added), so the rows of one tick are added with
// the list's redraw off and painted once.
#include "download/progress_win.h"

#include <commctrl.h>

#include <string>

#include "desktop/lazy_win.h"
#include "download/texts.h"

namespace {

constexpr int kListId = 101;
constexpr int kStopId = 102;
// The list's height, and under it the progress bar's and the strip of the
// status bar and the button.
constexpr int kListHeight = 170;
constexpr int kBarHeight = 14;
constexpr int kStripHeight = 24;
constexpr int kButtonWidth = 104;
constexpr UINT_PTR kTimerId = 1;
constexpr UINT kTimerMs = 100;

struct Column {
  const char* caption;
  int width;
};
constexpr Column kColumns[] = {{"N", 20}, {"Адрес файла", 370}, {"Размер", 100}, {"Статус", 100}};

HWND g_main = nullptr;
HWND g_list = nullptr;
HWND g_bar = nullptr;
HWND g_status = nullptr;
HWND g_stop = nullptr;
WNDPROC g_window_procedure = nullptr;
void (*g_on_close)() = nullptr;
void (*g_on_stop)() = nullptr;
std::size_t g_rows = 0;
std::string g_title;
std::string g_status_text;
int g_percent = -1;
std::optional<std::size_t> g_in_sight;

LRESULT CALLBACK progress_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_CLOSE) {
    g_on_close();
    return 0;
  }
  if (message == WM_COMMAND && LOWORD(wparam) == kStopId && HIWORD(wparam) == BN_CLICKED) {
    progress_end();
    g_on_stop();
    return 0;
  }
  return CallWindowProcA(g_window_procedure, window, message, wparam, lparam);
}

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
}

// The window grows to hold the strip under the list: the progress bar, and
// the status bar with the stop button at its right.
void create_strip(HINSTANCE instance) {
  RECT client = {};
  RECT outer = {};
  GetClientRect(g_main, &client);
  GetWindowRect(g_main, &outer);
  const int grow = kListHeight + kBarHeight + kStripHeight + 4 - client.bottom;
  SetWindowPos(g_main, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top + grow,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  GetClientRect(g_main, &client);
  const int width = client.right;
  const int strip_top = kListHeight + kBarHeight + 3;
  const auto child = [instance](const char* window_class, const char* text, DWORD style, int x, int y, int w, int h,
                                int id) {
    return CreateWindowExA(0, window_class, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, g_main,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
  };
  g_bar = child("msctls_progress32", "", 0, 0, kListHeight + 2, width, kBarHeight, 0);
  g_status = child("msctls_statusbar32", "", CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER, 0, strip_top,
                   width - kButtonWidth - 2, kStripHeight - 2, 0);
  g_stop = child("BUTTON", download_texts::kStop, BS_PUSHBUTTON, width - kButtonWidth, strip_top, kButtonWidth,
                 kStripHeight - 2, kStopId);
  if (g_stop) SendMessageA(g_stop, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
}

void set_cell(std::size_t item, int column, std::string text) {
  LVITEMA cell = {};
  cell.mask = LVIF_TEXT;
  cell.iItem = static_cast<int>(item);
  cell.iSubItem = column;
  cell.pszText = &text[0];
  SendMessageA(g_list, LVM_SETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&cell));
}

}  // namespace

void progress_start(HINSTANCE instance, HWND main_window, void (*on_close)(), void (*on_stop)()) {
  // The list view's classes: the common controls are loaded here, since only
  // this mode needs them.
  if (const auto init = dll_function<decltype(InitCommonControls)>("comctl32.dll", "InitCommonControls")) init();
  g_main = main_window;
  g_on_close = on_close;
  g_on_stop = on_stop;
  g_window_procedure = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(main_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(progress_procedure)));
  char title[64] = {};
  GetWindowTextA(g_main, title, sizeof title);
  g_title = title;
  create_list(instance);  // made before the window is shown, they appear with it
  create_strip(instance);
  ShowWindow(g_main, SW_SHOW);
  UpdateWindow(g_main);
  SetTimer(g_main, kTimerId, kTimerMs, nullptr);
}

bool progress_tick(const MSG& message) {
  return message.message == WM_TIMER && message.hwnd == g_main && message.wParam == kTimerId;
}

void progress_end() {
  if (g_stop) EnableWindow(g_stop, FALSE);
}

void progress_show_totals(int percent, const std::string& status) {
  if (percent != g_percent) {
    g_percent = percent;
    SendMessageA(g_bar, PBM_SETPOS, static_cast<WPARAM>(g_percent), 0);
  }
  if (status != g_status_text) {
    g_status_text = status;
    SendMessageA(g_status, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(g_status_text.c_str()));
    UpdateWindow(g_status);
  }
}

void progress_show(const WalkView& view, const std::string& status) {
  if (view.title != g_title) {
    g_title = view.title;
    SetWindowTextA(g_main, g_title.c_str());
  }
  progress_show_totals(view.percent, status);
  if (!g_list) return;
  const bool adding = view.rows > g_rows;
  if (adding) SendMessageA(g_list, WM_SETREDRAW, FALSE, 0);
  for (const ShownRow& row : view.changed) {
    if (row.index >= g_rows) {
      std::string number = row.number;
      LVITEMA item = {};
      item.mask = LVIF_TEXT;
      item.iItem = static_cast<int>(row.index);
      item.pszText = &number[0];
      SendMessageA(g_list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
      g_rows = row.index + 1;
      set_cell(row.index, 1, row.address);
    }
    set_cell(row.index, 2, row.size);
    set_cell(row.index, 3, row.status);
  }
  // With the redraw off the list keeps its old scroll range (Wine's does),
  // so the scroll waits until the redraw is on again.
  if (adding) {
    SendMessageA(g_list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(g_list, nullptr, FALSE);
  }
  if (view.in_sight && (view.in_sight != g_in_sight || adding)) {
    SendMessageA(g_list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(*view.in_sight), FALSE);
  }
  g_in_sight = view.in_sight;
  UpdateWindow(g_list);
}
