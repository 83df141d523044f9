// Capture of the clipboard text at start-up.
#pragma once

#include "desktop/encoding.h"
#include "launcher/launcher.h"

// What start-up took from the clipboard. The program keeps this one copy of
// the text and no other.
struct ClipboardCapture {
  ClipboardRead read = ClipboardRead::text;
  EncodedText text;  // empty unless read
};

// The clipboard's text, taken once in the format its owner placed it.
// CF_UNICODETEXT is converted by the program itself: with every_character,
// to Windows-1251 when that code page holds every character exactly and to
// UTF-8 otherwise; without, to Windows-1251 alone (characters it lacks
// become what Windows makes of them). CF_TEXT bytes stand as they are, as
// Windows-1251. An empty text when the clipboard holds neither. Too large
// when the text cannot be held (no memory for the block or the copy); busy
// when another program kept the clipboard open for about 3 s, or its owner
// neither handed the text over within about 3 s of being asked nor answered
// meanwhile (a large text still being copied is waited for). In that last
// case a thread of this process stays behind, waiting on the owner with the
// clipboard open, until the process ends.
ClipboardCapture capture_clipboard_text(bool every_character);
