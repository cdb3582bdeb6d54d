// Processor-load statistics of the older OS family, kept by the system in its
// dynamic registry data.
#pragma once

#include "platform/Platform.h"

namespace norva {

// Opens rootKey\keyPath, reads the 32-bit value named valueName and closes the
// key; a failed open or read yields 0.
win::DWORD ReadPerfCounter(win::HKEY rootKey, const char* keyPath, const char* valueName);

}  // namespace norva
