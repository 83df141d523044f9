// Messages and captions that the launcher and the page modes show.
// The source is UTF-8; the build stores these literals as Windows-1251.
#pragma once

namespace texts {
inline constexpr char kDefaultCaption[] = "Результат";
inline constexpr char kProgramCaption[] = "Tulvex";
inline constexpr char kNoWindow[] = "Не удаётся создать окно программы.     ";
inline constexpr char kNoInstallFolder[] = "Путь к программе не найден. \nПереустановите программу.";
inline constexpr char kCannotOpenFile[] = "Не могу открыть файл.";
inline constexpr char kNameTooLong[] = "Слишком длинное имя файла!    ";
}  // namespace texts
