// Messages and captions of the shared desktop routines. The source is UTF-8;
// the build stores these literals as Windows-1251.
#pragma once

namespace desktop_texts {
inline constexpr char kDefaultCaption[] = "Результат";
inline constexpr char kCannotOpenFile[] = "Не могу открыть файл.";
}  // namespace desktop_texts
