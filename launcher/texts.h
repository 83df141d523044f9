// Messages and captions of start-up. The source is UTF-8; the build stores
// these literals as Windows-1251.
#pragma once

namespace launcher_texts {
inline constexpr char kProgramCaption[] = "Tulvex";
inline constexpr char kNoWindow[] = "Не удаётся создать окно программы.     ";
inline constexpr char kNoInstallFolder[] = "Путь к программе не найден. \nПереустановите программу.";
// The clipboard text, or what a mode needs beside it, cannot be held.
inline constexpr char kTextTooLarge[] = "Не хватает памяти для текста из буфера обмена.";
// Another program held the clipboard open for as long as start-up tried.
inline constexpr char kClipboardBusy[] = "Буфер обмена занят другой программой. Повторите команду.";
}  // namespace launcher_texts
