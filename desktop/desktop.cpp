// Text rules of the information box and of open-or-quit.
#include "desktop/desktop.h"

#include "desktop/texts.h"

std::string box_message(std::string_view message) {
  return std::string(message.substr(0, kMaxBoxText));
}

std::string box_caption(std::string_view caption) {
  if (caption.empty() || caption.front() == ' ') return desktop_texts::kDefaultCaption;
  return std::string(caption.substr(0, kMaxBoxText));
}

std::string open_failure_caption(std::string_view path) {
  const std::size_t last = path.find_last_of("\\/");
  std::string_view tail = last == std::string_view::npos ? path : path.substr(last);
  return std::string(tail.substr(0, kMaxOpenCaption));
}
