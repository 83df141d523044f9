// Registry reading for the install folder, the browser's place and the
// download settings.
#include "desktop/registry_win.h"

#include <vector>

std::optional<std::string> registry_value(HKEY root, const char* key, const char* value) {
  HKEY opened = nullptr;
  if (RegOpenKeyExA(root, key, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) return std::nullopt;
  std::vector<char> data(512);
  DWORD size = static_cast<DWORD>(data.size());
  LONG result = RegQueryValueExA(opened, value, nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()), &size);
  if (result == ERROR_MORE_DATA) {
    data.resize(size);
    result = RegQueryValueExA(opened, value, nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()), &size);
  }
  RegCloseKey(opened);
  if (result != ERROR_SUCCESS) return std::nullopt;
  return std::string(data.data(), size < data.size() ? size : data.size());
}

std::optional<std::uint32_t> registry_dword(HKEY root, const char* key, const char* value) {
  HKEY opened = nullptr;
  if (RegOpenKeyExA(root, key, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) return std::nullopt;
  DWORD type = 0, data = 0, size = sizeof data;
  const LONG result = RegQueryValueExA(opened, value, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
  RegCloseKey(opened);
  if (result != ERROR_SUCCESS || type != REG_DWORD || size != sizeof data) return std::nullopt;
  return data;
}
