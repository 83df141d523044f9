// Clipboard capture: the text in the format its owner placed, the Unicode
// one converted to Windows-1251 straight into the one string the program
// keeps.
#include "launcher/clipboard_win.h"

#include <windows.h>

#include <cwchar>
#include <new>
#include <optional>
#include <utility>

#include "launcher/launcher.h"

namespace {

// How long opening the clipboard is retried, in milliseconds.
constexpr DWORD kBusyWait = 3000;

// The clipboard, open for this scope. Clipboard viewers and the clipboard
// sync of remote desktops hold it for seconds at a time: opening is retried
// for about 3 s.
class OpenClipboardScope {
 public:
  OpenClipboardScope() {
    CloseClipboard();
    const DWORD start = GetTickCount();
    while (!(open_ = OpenClipboard(nullptr)) && GetTickCount() - start < kBusyWait) Sleep(50);
  }
  OpenClipboardScope(const OpenClipboardScope&) = delete;
  OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
  ~OpenClipboardScope() {
    if (open_) CloseClipboard();
  }
  bool open() const { return open_; }

 private:
  bool open_ = false;
};

// A clipboard block, locked for this scope. The block stays the
// clipboard's: it is never freed here.
class LockedBlock {
 public:
  explicit LockedBlock(HANDLE block) : block_(block), data_(block ? GlobalLock(block) : nullptr) {}
  LockedBlock(const LockedBlock&) = delete;
  LockedBlock& operator=(const LockedBlock&) = delete;
  ~LockedBlock() {
    if (data_) GlobalUnlock(block_);
  }
  const void* data() const { return data_; }
  std::size_t size() const { return GlobalSize(block_); }

 private:
  HANDLE block_;
  void* data_;
};

// Windows-1251 of the wide text, converted once into the string's own
// memory; none when the conversion fails (it can only fail for size).
std::optional<std::string> windows_1251(const wchar_t* text, std::size_t length) {
  if (length == 0) return std::string();
  if (length > 0x7FFFFFFF) return std::nullopt;
  const int wide = static_cast<int>(length);
  const int size = WideCharToMultiByte(1251, 0, text, wide, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return std::nullopt;
  std::optional<std::string> converted(std::in_place, static_cast<std::size_t>(size), '\0');
  if (WideCharToMultiByte(1251, 0, text, wide, &(*converted)[0], size, nullptr, nullptr) != size) {
    return std::nullopt;
  }
  return converted;
}

// The first of CF_UNICODETEXT and CF_TEXT in the clipboard's own order,
// which lists its owner's formats before those Windows makes from them; 0
// when it holds neither. Windows makes the Unicode text from CF_TEXT with
// the code page of CF_LOCALE, the keyboard layout's at the time, so the
// Windows-1251 bytes of a program that placed them under the English layout
// would come back garbled through it.
UINT owners_text_format() {
  UINT format = 0;
  while ((format = EnumClipboardFormats(format)) != 0 && format != CF_UNICODETEXT && format != CF_TEXT) {
  }
  return format;
}

}  // namespace

ClipboardCapture capture_clipboard_text() {
  constexpr ClipboardRead too_large = ClipboardRead::too_large;
  try {
    const OpenClipboardScope clipboard;
    if (!clipboard.open()) return {ClipboardRead::busy, {}};
    const UINT format = owners_text_format();
    if (format == 0) return {};
    // A block that is offered but cannot be handed over is one too large
    // for this process.
    const LockedBlock block(GetClipboardData(format));
    if (!block.data()) return {too_large, {}};
    if (format == CF_TEXT) {
      return {ClipboardRead::text, text_from_clipboard_block(static_cast<const char*>(block.data()), block.size())};
    }
    const auto* text = static_cast<const wchar_t*>(block.data());
    std::optional<std::string> converted = windows_1251(text, wcsnlen(text, block.size() / sizeof(wchar_t)));
    if (!converted) return {too_large, {}};
    return {ClipboardRead::text, std::move(*converted)};
  } catch (const std::bad_alloc&) {
    return {too_large, {}};
  }
}
