// Entry points of Windows DLLs that only one mode needs (WinINet, the common
// controls, the shell), looked up on first use: the other modes' processes
// never map those DLLs, which matters when a huge clipboard text is held.
#pragma once

#include <windows.h>

// The named function of the DLL, or nullptr when the DLL or the function is
// missing. The DLL stays loaded for the rest of the process.
template <typename Function>
Function* dll_function(const char* dll, const char* name) {
  const HMODULE module = LoadLibraryA(dll);
  const FARPROC entry = module ? GetProcAddress(module, name) : nullptr;
  // Through void(*)(): the one cast between function types GCC takes as meant.
  return reinterpret_cast<Function*>(reinterpret_cast<void (*)()>(entry));
}
