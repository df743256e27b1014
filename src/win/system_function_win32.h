// Functions of system DLLs that older Windows versions lack, looked up at run time: importing
// one would keep the program from loading there at all.
#pragma once

#include <windows.h>

namespace tavi {

// The function, or null where the module has none.
template <typename Function>
Function SystemFunction(HMODULE module, const char* name) {
  if (!module) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

}  // namespace tavi
