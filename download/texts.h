// Texts of the save-all-links mode: the row statuses, the two connection
// messages, the summary and the status bar. The source is UTF-8; the build
// stores these literals as Windows-1251.
#pragma once

namespace download_texts {
// Row statuses.
inline constexpr char kChecking[] = "Проверка";
inline constexpr char kLoading[] = "Загружается";
inline constexpr char kNoSize[] = "Без размера";
inline constexpr char kUnavailable[] = "Недоступен";
inline constexpr char kTooLarge[] = "Слишком большой";
inline constexpr char kUnreadable[] = "Не читается";
inline constexpr char kWriteError[] = "Ош. записи";
inline constexpr char kLoaded[] = "Загружен";
inline constexpr char kStopped[] = "Остановлен";

// Information boxes of the fetch: the first with the default caption, the
// second as the caption of a box whose message is the address.
inline constexpr char kNoInternet[] = "Не удалось подключиться к интернету.   ";
inline constexpr char kAddressFails[] = "Адрес не открывается.   ";

// The walk's summary: files saved, rows taken.
inline constexpr char kSummary[] = "Загружено файлов: %d из %d     ";

// The status bar under the list and the button beside it.
inline constexpr char kFilesPart[] = "Файлов: ";
inline constexpr char kOf[] = " из ";
inline constexpr char kSeparator[] = " · ";
inline constexpr char kTimeLeft[] = "осталось ";
inline constexpr const char* kSizeUnits[] = {"Б", "КБ", "МБ", "ГБ"};
inline constexpr char kPerSecond[] = "/с";
inline constexpr char kSecond[] = "с";
inline constexpr char kMinute[] = "мин";
inline constexpr char kHour[] = "ч";
inline constexpr char kStop[] = "Остановить";
}  // namespace download_texts
