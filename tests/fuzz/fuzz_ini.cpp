// The settings file of any bytes (any keys, any values, duplicated or broken
// sections) through the program's own reading and writing: the simulated
// private-profile store holds the fuzzed text as norva.ini, the main window
// is created (which reads every setting into the settings dialog and the
// window) and closed (which writes them all back into the same text).
#include <cstdint>
#include <memory>
#include <string>

#include "app/Main.h"
#include "platform/fake/FakePlatform.h"
#include "toolkit/Application.h"
#include "toolkit/headless/HeadlessBackend.h"

using namespace norva;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  platform::fake::FakePlatform os;
  tk::HeadlessBackend backend;
  auto& ex = os.kernel.memoryEx;
  ex.dwMemoryLoad = 50;
  ex.ullTotalPhys = uint64_t{512} << 20;
  ex.ullAvailPhys = uint64_t{256} << 20;
  ex.ullTotalPageFile = uint64_t{1} << 30;
  ex.ullAvailPageFile = uint64_t{768} << 20;
  ex.ullTotalVirtual = uint64_t{2} << 30;
  ex.ullAvailVirtual = uint64_t{1900} << 20;
  auto& m = os.kernel.memory;
  m.dwMemoryLoad = 50;
  m.dwTotalPhys = 512u << 20;
  m.dwAvailPhys = 256u << 20;
  os.profile.SetFileText(os.IniPath(), std::string(reinterpret_cast<const char*>(data), size));
  {
    auto app = std::make_unique<tk::TApplication>(std::vector<std::string>{});
    tk::Application = app.get();
    app->Initialize("Norva");
    auto form = tk::CreateForm<TMainForm>(nullptr);
    MainForm = form.get();
    app->MainForm = form.get();
    form->Perform(win::WM_CLOSE);
    form.reset();
    MainForm = nullptr;
    tk::Application = nullptr;
  }
  return 0;
}
