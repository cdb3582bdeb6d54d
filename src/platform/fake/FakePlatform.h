// The simulated operating system for tests: one fake per area, installed as
// the platform for as long as the object lives.
//
//   platform::fake::FakePlatform os;        // installed from here on
//   os.kernel.SetMemory(256 << 20, 64 << 20, 75);
//   os.profile.SetFileText("C:\\Norva\\norva.ini", "[SYSTEM]\r\nXPos=10\r\n");
#pragma once

#include "platform/Platform.h"
#include "platform/fake/FakeAccessibility.h"
#include "platform/fake/FakeDesktop.h"
#include "platform/fake/FakeForeground.h"
#include "platform/fake/FakeKernel.h"
#include "platform/fake/FakeProfile.h"
#include "platform/fake/FakeToolhelp.h"
#include "platform/fake/FakeUser.h"

namespace norva::platform::fake {

class FakePlatform {
 public:
  FakePlatform();
  ~FakePlatform();
  FakePlatform(const FakePlatform&) = delete;
  FakePlatform& operator=(const FakePlatform&) = delete;

  // The installed fake; throws when there is none.
  static FakePlatform& Active();
  static FakePlatform* ActiveOrNull();

  FakeKernel kernel;
  FakeProfile profile;
  FakeUser user{kernel};
  FakeShell shell;
  FakeSound sound;
  FakeRegistry registry;
  FakeProcesses processes{kernel};
  FakeDesktop desktop;
  FakeUserRegistry userRegistry;
  FakeForeground foreground;
  FakeFiles files{profile};
  FakeAccessibility accessibility{kernel};
  Platform platform{kernel,    profile, user,         shell,      sound, registry,     processes,
                    processes, desktop, userRegistry, foreground, files, accessibility};

  // The settings file of the program: the module path with its last three
  // characters replaced by "ini".
  std::string IniPath() const;
};

}  // namespace norva::platform::fake
