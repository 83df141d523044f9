// Speed of the readable-text formatter on page texts of 100 KB and 10 MB:
// mixed Russian and Latin sentences in lines of about 70 characters ending
// in "\r\n", with an empty line between paragraphs.
//
// CountPass and FormattingPass measure each pass alone, the latter a piece
// at a time into one buffer, as the page is made; ReadablePageFile is the
// mode's whole work: the count, the heading, the formatting pass and the
// stored line ends of the page, whole, handed on in pieces.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <iterator>
#include <string>

#include "pages/formatter.h"

namespace {

std::string page_text(std::size_t size) {
  static const char* const kStarts[] = {"Это", "Когда", "Ёлка", "The", "In", "Мы", "Однако", "Results", "Вода"};
  static const char* const kWords[] = {"текст", "страница", "браузер", "page", "of", "the", "и", "в", "на",
                                       "который", "reader", "новости", "науки", "a < b", "AT&T", "1.", "для",
                                       "самообразования", "program", "читать", "быстро", "with", "\xA0—\xA0"};
  static const char* const kStops[] = {".", ".", ".", "?", "!", ":", ","};
  std::uint32_t seed = 12345;
  auto next = [&seed](std::uint32_t n) {
    seed = seed * 1664525u + 1013904223u;
    return (seed >> 8) % n;
  };
  std::string text;
  text.reserve(size + 256);
  std::size_t line = 0;
  int lines_in_paragraph = 0;
  while (text.size() < size) {
    std::string sentence = kStarts[next(std::size(kStarts))];
    for (std::uint32_t words = 4 + next(12); words > 0; --words) {
      sentence += ' ';
      sentence += kWords[next(std::size(kWords))];
    }
    sentence += kStops[next(std::size(kStops))];
    sentence += next(8) == 0 ? "  " : " ";
    text += sentence;
    line += sentence.size();
    if (line >= 70) {
      text += "\r\n";
      line = 0;
      if (++lines_in_paragraph == 5) {
        text += "\r\n";
        lines_in_paragraph = 0;
      }
    }
  }
  text.resize(size);
  return text;
}

void CountPass(benchmark::State& state) {
  const std::string text = page_text(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(average_line_length(text));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

void FormattingPass(benchmark::State& state) {
  const std::string text = page_text(static_cast<std::size_t>(state.range(0)));
  const LineClass line_class_of_text = line_class(average_line_length(text));
  std::string out(kFormatPiece * kLongestOutput, '\0');
  for (auto _ : state) {
    TextFormatter formatter(line_class_of_text);
    for (std::size_t at = 0; at < text.size(); at += kFormatPiece) {
      benchmark::DoNotOptimize(formatter.format(std::string_view(text).substr(at, kFormatPiece), out.data()));
    }
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

void ReadablePageFile(benchmark::State& state) {
  const std::string text = page_text(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(put_readable_page(text, Encoding::windows_1251, [](std::string_view piece) { return !piece.empty(); }));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

}  // namespace

BENCHMARK(CountPass)->Arg(100 * 1024)->Arg(10 * 1024 * 1024);
BENCHMARK(FormattingPass)->Arg(100 * 1024)->Arg(10 * 1024 * 1024);
BENCHMARK(ReadablePageFile)->Arg(100 * 1024)->Arg(10 * 1024 * 1024);
