// A Norva on the simulated OS and the headless toolkit for benchmarks of the
// main window: the benchmark sets the figures the OS shows, then Start()
// makes the application and the main form and lets the first tick pass, as
// the process entry starts it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/Main.h"
#include "platform/fake/FakePlatform.h"
#include "toolkit/Application.h"
#include "toolkit/headless/HeadlessBackend.h"

namespace norva::bench {

class StartedNorva {
 public:
  StartedNorva() = default;
  ~StartedNorva() {
    form.reset();
    MainForm = nullptr;
    tk::Application = nullptr;
  }
  StartedNorva(const StartedNorva&) = delete;
  StartedNorva& operator=(const StartedNorva&) = delete;

  // The fakes and the headless toolkit keep a record of every call; keep it
  // from growing over millions of ticks.
  void ForgetRecords() {
    backend.ForgetInvalidations();
    os.kernel.libraryLoads.clear();
    os.kernel.procLookups.clear();
  }

  platform::fake::FakePlatform os;
  tk::HeadlessBackend backend;
  std::unique_ptr<tk::TApplication> app;
  tk::FormPtr<TMainForm> form;

 protected:
  void Start() {
    app = std::make_unique<tk::TApplication>(std::vector<std::string>{});
    tk::Application = app.get();
    app->Initialize("Norva");
    form = tk::CreateForm<TMainForm>(nullptr);
    MainForm = form.get();
    app->MainForm = form.get();
    backend.AdvanceTime(100);
  }
};

}  // namespace norva::bench
