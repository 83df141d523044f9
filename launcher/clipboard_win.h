// Capture of the clipboard text at start-up, as Windows-1251 bytes.
#pragma once

#include <string>

#include "launcher/launcher.h"

// What start-up took from the clipboard. The program keeps this one copy of
// the text and no other.
struct ClipboardCapture {
  ClipboardRead read = ClipboardRead::text;
  std::string text;  // Windows-1251; empty unless read
};

// The clipboard's text, taken once in the format its owner placed it:
// CF_UNICODETEXT converted to Windows-1251 by the program itself (characters
// Windows-1251 lacks become what Windows makes of them), CF_TEXT bytes as
// they stand; an empty text when the clipboard holds neither. Too large when
// the text cannot be held (no memory for the block or the copy); busy when
// another program kept the clipboard open for about 3 s.
ClipboardCapture capture_clipboard_text();
