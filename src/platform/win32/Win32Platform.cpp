#include "platform/win32/Win32Platform.h"

#include "platform/win32/Win32Areas.h"
#include "platform/win32/Win32Desktop.h"
#include "platform/win32/Win32Toolhelp.h"
#include "platform/win32/WinApi.h"
#include "platform/win32/WinText.h"

#include <shellapi.h>

#include <cwchar>

namespace norva::platform::win32 {

Platform& Win32Platform() {
  static Win32Kernel kernel;
  static Win32Profile profile;
  static Win32User user;
  static Win32Shell shell;
  static Win32Sound sound;
  static Win32Registry registry;
  static Win32Toolhelp toolhelp;
  static Win32Desktop desktop;
  static Win32UserRegistry userRegistry;
  static Platform platform{kernel,   profile,  user,    shell,       sound,
                           registry, toolhelp, toolhelp, desktop, userRegistry};
  return platform;
}

std::vector<std::string> CommandLineArgs() {
  std::vector<std::string> args;
  int count = 0;
  wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (argv == nullptr) return args;
  for (int i = 1; i < count; ++i) args.push_back(Utf8(argv[i], std::wcslen(argv[i])));
  ::LocalFree(argv);
  return args;
}

}  // namespace norva::platform::win32
