// Messages of the page modes. The source is UTF-8; the build stores these
// literals as Windows-1251.
#pragma once

namespace page_texts {
inline constexpr char kNameTooLong[] = "Слишком длинное имя файла!    ";
// A result file that could not be written or closed whole (a full disk),
// captioned with the file's name like "Не могу открыть файл.".
inline constexpr char kCannotWriteFile[] = "Не могу записать файл.";
}  // namespace page_texts
