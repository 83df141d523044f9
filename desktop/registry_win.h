// Reading one registry value, whatever its length, with read access only.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

// The raw bytes of a value (its type is not looked at), or none when the key
// or the value cannot be read. `value` null or "" reads the default value.
std::optional<std::string> registry_value(HKEY root, const char* key, const char* value);
