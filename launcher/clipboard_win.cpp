// Clipboard capture: the text in the format its owner placed, converted
// straight into the one string the program keeps, read on a thread of its
// own so that an owner that never hands the text over cannot hold start-up.
#include "launcher/clipboard_win.h"

#include <windows.h>

#include <memory>
#include <new>
#include <optional>
#include <utility>

#include "desktop/desktop_win.h"
#include "desktop/encoding.h"
#include "launcher/launcher.h"

namespace {

// How long opening the clipboard is retried, how long its owner may take
// to hand the text over once asked, and how long it may then take to answer
// a message that asks nothing, in milliseconds.
constexpr DWORD kBusyWait = 3000;
constexpr DWORD kOwnerWait = 3000;
constexpr DWORD kOwnerAnswer = 500;

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

// Windows-1251 of the wide text as Windows converts it, with its best fit,
// once into the string's own memory; none when the conversion fails (it can
// only fail for size).
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

// What the reading thread and start-up share. Two events tell start-up how
// far the thread has come: asked when it asks for the text (a text that
// its owner renders only when asked is rendered now), answered when it has
// the text's block.
struct Reading {
  explicit Reading(bool keep_every_character) : every_character(keep_every_character) {}
  const bool every_character;
  const Handle asked{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
  const Handle answered{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
  ClipboardCapture capture;
};

ClipboardCapture read_clipboard(const Reading& reading) {
  constexpr ClipboardRead too_large = ClipboardRead::too_large;
  try {
    const OpenClipboardScope clipboard;
    if (!clipboard.open()) return {ClipboardRead::busy, {}};
    const UINT format = owners_text_format();
    if (format == 0) return {};
    SetEvent(reading.asked.get());
    // A block that is offered but cannot be handed over is one too large
    // for this process.
    const LockedBlock block(GetClipboardData(format));
    SetEvent(reading.answered.get());
    if (!block.data()) return {too_large, {}};
    if (format == CF_TEXT) {
      std::string text = text_from_clipboard_block(static_cast<const char*>(block.data()), block.size());
      return {ClipboardRead::text, {std::move(text), Encoding::windows_1251}};
    }
    const std::size_t units = block.size() / sizeof(wchar_t);
    if (reading.every_character) {
      return {ClipboardRead::text, text_from_utf16(static_cast<const char16_t*>(block.data()), units)};
    }
    const auto* text = static_cast<const wchar_t*>(block.data());
    std::optional<std::string> converted = windows_1251(text, wcsnlen(text, units));
    if (!converted) return {too_large, {}};
    return {ClipboardRead::text, {std::move(*converted), Encoding::windows_1251}};
  } catch (const std::bad_alloc&) {
    return {too_large, {}};
  }
}

// Whether the clipboard's owner, if it has one, is free to answer: an
// owner still rendering the text on its window's thread answers nothing else
// meanwhile. A text that takes long to arrive while its owner answers is a
// large one still being copied (under Wine, hundreds of megabytes take
// seconds).
bool owner_answers() {
  const HWND owner = GetClipboardOwner();
  DWORD_PTR result = 0;
  return !owner || SendMessageTimeoutA(owner, WM_NULL, 0, 0, SMTO_NORMAL, kOwnerAnswer, &result) != 0;
}

DWORD WINAPI reading_thread(void* parameter) {
  auto* reading = static_cast<Reading*>(parameter);
  reading->capture = read_clipboard(*reading);
  return 0;
}

}  // namespace

ClipboardCapture capture_clipboard_text(bool every_character) {
  auto reading = std::make_unique<Reading>(every_character);
  const Handle thread(reading->asked.get() && reading->answered.get()
                          ? CreateThread(nullptr, 0, reading_thread, reading.get(), 0, nullptr)
                          : nullptr);
  if (!thread.get()) {
    reading_thread(reading.get());
    return std::move(reading->capture);
  }
  // Opening the clipboard and listing its formats never wait on another
  // program beyond the thread's own 3 s of retries; asking for the text
  // waits on its owner, which may never answer.
  const HANDLE until_asked[] = {thread.get(), reading->asked.get()};
  if (WaitForMultipleObjects(2, until_asked, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
    const HANDLE until_answered[] = {thread.get(), reading->answered.get()};
    while (WaitForMultipleObjects(2, until_answered, FALSE, kOwnerWait) == WAIT_TIMEOUT) {
      if (owner_answers()) continue;
      // The thread keeps its share and the clipboard open until the owner
      // answers or the process ends, which it does after the busy box:
      // ending the process closes the clipboard for it.
      static_cast<void>(reading.release());
      return {ClipboardRead::busy, {}};
    }
  }
  WaitForSingleObject(thread.get(), INFINITE);
  return std::move(reading->capture);
}
