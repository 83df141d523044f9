// Messages of the page modes. The source is UTF-8; the build stores these
// literals as Windows-1251.
#pragma once

namespace page_texts {
inline constexpr char kNameTooLong[] = "Слишком длинное имя файла!    ";
}  // namespace page_texts
