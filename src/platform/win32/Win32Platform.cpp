#include "platform/win32/Win32Platform.h"

#include <cwchar>

#include "platform/win32/Win32Accessibility.h"
#include "platform/win32/Win32Areas.h"
#include "platform/win32/Win32Desktop.h"
#include "platform/win32/Win32Foreground.h"
#include "platform/win32/Win32Toolhelp.h"
#include "platform/win32/WinApi.h"
#include "platform/win32/WinText.h"

// The C runtime's own splitting of the wide command line, by the rules every
// C program's argv follows (exported by msvcrt.dll; not in the headers). The
// shell's CommandLineToArgvW would load shell32 and its helpers at start.
extern "C" int __cdecl __wgetmainargs(int* argc, wchar_t*** argv, wchar_t*** env,
                                      int expandWildcards, int* startInfo);

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
  static Win32Foreground foreground;
  static Win32Files files;
  static Win32Accessibility accessibility;
  static Platform platform{kernel,     profile,  user,         shell,   sound,
                           registry,   toolhelp, toolhelp,     desktop, userRegistry,
                           foreground, files,    accessibility};
  return platform;
}

std::vector<std::string> CommandLineArgs() {
  std::vector<std::string> args;
  int count = 0;
  wchar_t** argv = nullptr;
  wchar_t** env = nullptr;
  int newMode = 0;
  if (__wgetmainargs(&count, &argv, &env, 0, &newMode) < 0 || argv == nullptr) return args;
  for (int i = 1; i < count && argv[i] != nullptr; ++i)
    args.push_back(Utf8(argv[i], std::wcslen(argv[i])));
  return args;
}

}  // namespace norva::platform::win32
