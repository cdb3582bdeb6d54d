// A running Norva on the simulated OS: the fake platform, the headless
// toolkit, the application and the main window, created as the process
// entry creates them.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/Main.h"
#include "platform/fake/FakePlatform.h"
#include "toolkit/Application.h"
#include "toolkit/headless/HeadlessBackend.h"

namespace norva::testing {

constexpr uint64_t MiB = 1048576;
constexpr uint64_t GiB = 1024 * MiB;

class NorvaTest : public ::testing::Test {
 protected:
  platform::fake::FakePlatform os;
  tk::HeadlessBackend backend;
  std::unique_ptr<tk::TApplication> app;
  tk::FormPtr<TMainForm> form;

  NorvaTest() { SetMemory(512 * MiB, 256 * MiB, 50); }

  ~NorvaTest() override {
    form.reset();
    MainForm = nullptr;
    tk::Application = nullptr;
  }

  // Both records from one set of figures (the 32-bit one cut to 32 bits).
  void SetMemory(uint64_t totalPhys, uint64_t availPhys, uint32_t load,
                 uint64_t totalPage = 1 * GiB, uint64_t availPage = 768 * MiB,
                 uint64_t totalVirtual = 2 * GiB, uint64_t availVirtual = 1900 * MiB) {
    auto& ex = os.kernel.memoryEx;
    ex.dwMemoryLoad = load;
    ex.ullTotalPhys = totalPhys;
    ex.ullAvailPhys = availPhys;
    ex.ullTotalPageFile = totalPage;
    ex.ullAvailPageFile = availPage;
    ex.ullTotalVirtual = totalVirtual;
    ex.ullAvailVirtual = availVirtual;
    auto& m = os.kernel.memory;
    m.dwMemoryLoad = load;
    m.dwTotalPhys = static_cast<uint32_t>(totalPhys);
    m.dwAvailPhys = static_cast<uint32_t>(availPhys);
    m.dwTotalPageFile = static_cast<uint32_t>(totalPage);
    m.dwAvailPageFile = static_cast<uint32_t>(availPage);
    m.dwTotalVirtual = static_cast<uint32_t>(totalVirtual);
    m.dwAvailVirtual = static_cast<uint32_t>(availVirtual);
  }

  std::string Ini() const { return os.IniPath(); }
  void WriteIni(const std::string& text) { os.profile.SetFileText(Ini(), text); }
  std::string IniText() const { return os.profile.FileText(Ini()); }
  std::string Key(const char* section, const char* key, const char* fallback = "<absent>") {
    return os.profile.GetPrivateProfileStringA(section, key, fallback, Ini());
  }

  // Creates the application and the main window as the process entry does.
  void Start(std::vector<std::string> args = {}) {
    app = std::make_unique<tk::TApplication>(std::move(args));
    tk::Application = app.get();
    app->Initialize("Norva");
    form = tk::CreateMainForm<TMainForm>(*app, nullptr);
    MainForm = form.get();
  }

  // The system asks the window to close; the close then runs as from the loop.
  void CloseBySystem() { form->Perform(win::WM_CLOSE); }

  // Closes and destroys the main window like the end of the process.
  void Stop() {
    CloseBySystem();
    form.reset();
    MainForm = nullptr;
  }

  TSettingFrm& Settings() { return *SettingFrm; }
};

}  // namespace norva::testing
