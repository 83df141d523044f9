// Reading one registry value with read access only: raw bytes of any
// length, or a number.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

// The raw bytes of a value (its type is not looked at), or none when the key
// or the value cannot be read. `value` null or "" reads the default value.
std::optional<std::string> registry_value(HKEY root, const char* key, const char* value);

// A REG_DWORD value, or none when the key or the value is missing or holds
// another type.
std::optional<std::uint32_t> registry_dword(HKEY root, const char* key, const char* value);
