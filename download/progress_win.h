// The progress window of the save-all-links mode: the list of rows in the
// main window, its title, and the routines that keep the window alive while
// the only thread downloads.
#pragma once

#include <windows.h>

// Shows the main window, makes the progress list with its four columns in
// it and starts the window's 100 ms timer (id 1), which bounds every wait
// of drain_and_wait. Called once, before any row; the window's first paint
// comes with the first row, or with the flush when there is none.
void progress_start(HINSTANCE instance, HWND main_window);

// Brings the list and the title to the download state's current row (a new
// row is added and scrolled into sight), then handles the messages waiting.
// Unless rows take long beside a paint, the screen follows every 100 ms
// (less often where painting is slow): changes in between reach the list
// unpainted, and a new chunk offset not even that, since the next paint
// shows a later one.
void progress_show_row();

// Puts the whole state on screen now: called before a box appears or the
// program waits.
void progress_flush();

// Handles the messages waiting for the thread and returns without waiting
// for more. Looks at the queue at most every 10 ms: under Wine even a look
// costs a call to its server, more than a chunk's whole work.
void pump_messages();

// Drops what waits for the main window (a repaint is handled, since it
// cannot leave the queue otherwise), then waits for the next message; the
// main window's timer bounds the wait.
void drain_and_wait();
