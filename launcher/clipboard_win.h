// Capture of the clipboard text at start-up, as Windows-1251 bytes.
#pragma once

#include <optional>
#include <string>

// The clipboard's text, taken once in the format its owner placed it:
// CF_UNICODETEXT converted to Windows-1251 by the program itself (characters
// Windows-1251 lacks become what Windows makes of them), CF_TEXT bytes as
// they stand; an empty text when the clipboard holds neither. None when
// the text is too large to be held (no memory for the block or the copy).
// The program keeps this one copy of the text and no other.
std::optional<std::string> capture_clipboard_text();
