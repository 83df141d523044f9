// The platform's floor for the download benchmark: a bare WinINet one-go
// read of each address into a file, with no window and no progress.
//   probe LIST FOLDER
// LIST holds one address per line; each goes to FOLDER\<last part of the
// address>. Like the program, every address gets its own session, a buffer
// of its announced length and one write. Exit code: the count of failures.
#include <windows.h>
#include <wininet.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

bool fetch_one(const std::string& address, const std::string& path) {
  HINTERNET internet = InternetOpenA("Microsoft Internet Explorer", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  if (!internet) return false;
  HINTERNET url = InternetOpenUrlA(internet, address.c_str(), nullptr, 0, 0, 0);
  bool ok = false;
  if (url) {
    DWORD length = 0;
    DWORD size = sizeof length;
    if (HttpQueryInfoA(url, HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &length, &size, nullptr)) {
      std::vector<char> buffer(length);
      DWORD total = 0;
      DWORD count = 1;
      while (total < length && count != 0 && InternetReadFile(url, buffer.data() + total, length - total, &count)) {
        total += count;
      }
      const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                      nullptr);
      if (total == length && file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        ok = WriteFile(file, buffer.data(), total, &written, nullptr) && written == total;
      }
      if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
    InternetCloseHandle(url);
  }
  InternetCloseHandle(internet);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 255;
  std::ifstream list(argv[1]);
  int failures = 0;
  for (std::string address; std::getline(list, address);) {
    if (!address.empty() && address.back() == '\r') address.pop_back();
    if (address.empty()) continue;
    const std::string path = std::string(argv[2]) + "\\" + address.substr(address.find_last_of('/') + 1);
    if (!fetch_one(address, path)) ++failures;
  }
  return failures;
}
