// Mode table, the rules that turn raw start-up inputs into texts, and the
// boxes that stop start-up.
#include "launcher/launcher.h"

#include <cstring>
#include <iterator>

#include "launcher/texts.h"

namespace {
struct ModeRow {
  const char* keyword;
  Mode mode;
};

// Tested in this order; the first keyword found wins.
constexpr ModeRow kModeTable[] = {
    {"(tulvex_loud_links)", Mode::save_all_links},
    {"(tulvex_showi)", Mode::reopen},
    {"(tulvex_img)", Mode::media},
    {"(tulvex_swf)", Mode::media},
    {"(tulvex_bit)", Mode::readable_text},
    {"(tulvex_html)", Mode::source},
    {"(tulvex_links)", Mode::links},
};
}  // namespace

Mode mode_for(std::string_view command_line) {
  for (const ModeRow& row : kModeTable) {
    if (command_line.find(row.keyword) != std::string_view::npos) return row.mode;
  }
  return Mode::help;
}

bool keeps_every_character(Mode mode) {
  return mode == Mode::media || mode == Mode::readable_text || mode == Mode::source || mode == Mode::links;
}

std::optional<std::string> install_folder_from_value(std::string_view raw) {
  std::string_view text = raw.substr(0, raw.find('\0'));
  if (text.size() > kMaxInstallFolder) text = text.substr(0, kMaxInstallFolder);
  if (text.empty()) return std::nullopt;
  return std::string(text);
}

std::string text_from_clipboard_block(const char* block, std::size_t size) {
  if (block == nullptr) return {};
  const void* zero = std::memchr(block, '\0', size);
  std::size_t length = zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - block) : size;
  return std::string(block, length);
}

std::optional<StartupBox> startup_box(bool install_folder_found, ClipboardRead clipboard) {
  using namespace launcher_texts;
  if (!install_folder_found) return StartupBox{kNoInstallFolder, kProgramCaption};
  if (clipboard == ClipboardRead::busy) return StartupBox{kClipboardBusy, kProgramCaption};
  if (clipboard == ClipboardRead::too_large) return StartupBox{kTextTooLarge, " "};
  return std::nullopt;
}
