// The real operating system behind the platform interface: every area
// implemented with the Win32 calls it is named after.
#pragma once

#include <string>
#include <vector>

#include "platform/Platform.h"

namespace norva::platform::win32 {

// The one instance of every area, ready to install with InstallPlatform.
Platform& Win32Platform();

// The process's arguments after the program name, as UTF-8.
std::vector<std::string> CommandLineArgs();

}  // namespace norva::platform::win32
