// Benchmark host that draws nothing: the progress window's routines as
// no-ops, linked in place of progress_win.cpp to time the download mode
// without its window.
#include "download/progress_win.h"

void progress_start(HINSTANCE, HWND) {}
void progress_show_row() {}
void progress_flush() {}
void pump_messages() {}
void drain_and_wait() {}
