// The progress window of the save-all-links mode: the list of rows in the
// main window and its title, brought up to the walk on the window's timer.
#pragma once

#include <windows.h>

#include "download/walk.h"

// Shows the main window with the progress list and its four columns in it,
// and starts the window's 100 ms timer (id 1). When the user closes the
// window, `on_close` runs instead of the window's own close; it does not
// return.
void progress_start(HINSTANCE instance, HWND main_window, void (*on_close)());

// Whether a message is the tick of the window's timer.
bool progress_tick(const MSG& message);

// Brings the list and the title to the view: new rows added, changed cells
// set, the row in sight scrolled into view, then one paint.
void progress_show(const WalkView& view);
