// Clipboard helper for the tests.
//   clip set FILE     put the file's bytes on the clipboard as CF_TEXT (with a terminator)
//   clip empty        leave the clipboard without any text
//   clip get FILE     write the CF_TEXT bytes (up to the terminator) to FILE; code 3 if none
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

bool open_clipboard() {
  for (int attempt = 0; attempt < 100; ++attempt) {
    if (OpenClipboard(nullptr)) return true;
    Sleep(20);
  }
  return false;
}

std::string read_file(const char* path) {
  std::string bytes;
  if (FILE* f = std::fopen(path, "rb")) {
    char chunk[65536];
    for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, f)) > 0;) bytes.append(chunk, n);
    std::fclose(f);
  }
  return bytes;
}

int set_text(const std::string& bytes) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes.size() + 1);
  if (!block) return 2;
  char* data = static_cast<char*>(GlobalLock(block));
  std::memcpy(data, bytes.data(), bytes.size());
  GlobalUnlock(block);
  if (!open_clipboard()) return 2;
  EmptyClipboard();
  const bool ok = SetClipboardData(CF_TEXT, block) != nullptr;
  CloseClipboard();
  return ok ? 0 : 2;
}

int get_text(const char* path) {
  if (!open_clipboard()) return 2;
  int code = 3;
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    const char* text = static_cast<const char*>(GlobalLock(data));
    const size_t size = GlobalSize(data);
    const void* zero = std::memchr(text, '\0', size);
    const size_t length = zero ? static_cast<const char*>(zero) - text : size;
    if (FILE* f = std::fopen(path, "wb")) {
      std::fwrite(text, 1, length, f);
      std::fclose(f);
      code = 0;
    }
    GlobalUnlock(data);
  }
  CloseClipboard();
  return code;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 1;
  const std::string command = argv[1];
  if (command == "set" && argc == 3) return set_text(read_file(argv[2]));
  if (command == "get" && argc == 3) return get_text(argv[2]);
  if (command == "empty") {
    if (!open_clipboard()) return 2;
    EmptyClipboard();
    CloseClipboard();
    return 0;
  }
  return 1;
}
