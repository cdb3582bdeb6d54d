#include "toolkit/Application.h"

#include "platform/Platform.h"
#include "toolkit/Backend.h"

namespace norva::tk {

TApplication* Application = nullptr;

TApplication::TApplication(std::vector<std::string> args) : FArgs(std::move(args)) {}

void TApplication::Initialize(const std::string& title) {
  FHandle = CurrentBackend().CreateApplicationWindow(title);
}

void TApplication::Run() {
  if (FTerminated) return;
  CurrentBackend().RunMessageLoop();
}

void TApplication::Terminate() {
  FTerminated = true;
  CurrentBackend().QuitMessageLoop();
}

void TApplication::ProcessMessages() { CurrentBackend().ProcessMessages(); }

void TApplication::Minimize() { CurrentBackend().MinimizeApplication(); }

void TApplication::Restore() { CurrentBackend().RestoreApplication(); }

void TApplication::RestoreTopMosts() { CurrentBackend().RestoreTopMosts(); }

std::string TApplication::ParamStr(int index) const {
  if (index < 1 || index > ParamCount()) return {};
  return FArgs[static_cast<size_t>(index - 1)];
}

void TApplication::ShowException(const std::exception& error) {
  platform::Os().user.MessageBoxA(FHandle, error.what(), "Norva", win::MB_OK | win::MB_ICONERROR);
}

void TApplication::DoActivate() {
  if (OnActivate) OnActivate(this);
}
void TApplication::DoDeactivate() {
  if (OnDeactivate) OnDeactivate(this);
}
void TApplication::DoMinimize() {
  if (OnMinimize) OnMinimize(this);
}
void TApplication::DoRestore() {
  if (OnRestore) OnRestore(this);
}

}  // namespace norva::tk
