// Stands in for Internet Explorer, Explorer and the program that opens .htm
// files: appends its own name, its command line and its current folder to
// launches.log beside it, then ends.
#include <windows.h>

#include <string>

#include "record.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char module[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, module, MAX_PATH);
  std::string path = module;
  const std::string folder = path.substr(0, path.find_last_of('\\'));
  const std::string name = path.substr(path.find_last_of('\\') + 1);
  char current[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, current);
  append_record(folder + "\\launches.log", {name, GetCommandLineA(), current});
  return 0;
}
