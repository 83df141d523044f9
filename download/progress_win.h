// The progress window of the save-all-links mode: the list of rows in the
// main window and its title, brought up to the walk on the window's timer.
#pragma once

#include <windows.h>

#include <string>

#include "download/walk.h"

// Shows the main window with the progress list and its four columns in it,
// under it the walk's progress bar, its status bar and the button that
// stops it, and starts the window's 100 ms timer (id 1). When the user
// closes the window, `on_close` runs instead of the window's own close; it
// does not return. The button runs `on_stop` once, then stays disabled.
void progress_start(HINSTANCE instance, HWND main_window, void (*on_close)(), void (*on_stop)());

// Whether a message is the tick of the window's timer.
bool progress_tick(const MSG& message);

// Brings the list, the title, the progress bar and the status bar to the
// view: new rows added, changed cells set, the row in sight scrolled into
// view, then one paint.
void progress_show(const WalkView& view, const std::string& status);

// Brings the progress bar and the status bar alone to the walk: cheap
// enough to keep up with the speed between two paints of the list.
void progress_show_totals(int percent, const std::string& status);

// The walk has ended: the button can stop nothing more.
void progress_end();
