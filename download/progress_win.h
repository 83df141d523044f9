// The progress window of the save-all-links mode: the list of rows in the
// main window, its title, and the two routines that keep the window alive
// while the only thread downloads.
#pragma once

#include <windows.h>

// "start" makes the progress list with its four columns in the main window
// and starts the window's 100 ms timer; "data" puts the
// download state's current row into it. Every call shows the main window,
// sets the title and handles the messages waiting. Rows added below the
// list's visible part reach the screen in batches: with the first call
// 100 ms after the last batch, or with progress_flush. Returns 1.
int progress(HINSTANCE instance, HWND main_window, const char* word);

// Puts everything on screen now, the rows of an open batch included: called
// before a box appears or the program waits.
void progress_flush();

// Handles every message already waiting for the thread and returns without
// waiting for more.
void pump_messages();

// Drops what waits for the main window (a repaint is handled, since it
// cannot leave the queue otherwise), then waits for the next message; the
// main window's 100 ms timer bounds the wait.
void drain_and_wait();
