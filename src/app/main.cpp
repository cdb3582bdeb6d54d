// Windows start-up: the real platform and toolkit back end, then the program.
#include "app/Entry.h"
#include "platform/win32/Win32Platform.h"
#include "toolkit/win32/Win32Backend.h"

int main() {
  norva::platform::InstallPlatform(&norva::platform::win32::Win32Platform());
  norva::tk::InstallBackend(&norva::tk::win32::Win32Backend());
  return norva::RunNorva(norva::platform::win32::CommandLineArgs());
}
