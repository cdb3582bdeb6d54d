// The application: its hidden top-level window, the message loop, the
// command line and the application-wide events (activation, minimise, restore).
#pragma once

#include <exception>
#include <string>
#include <vector>

#include "toolkit/Form.h"

namespace norva::tk {

class TApplication : public TObject {
 public:
  explicit TApplication(std::vector<std::string> args);

  void Initialize(const std::string& title);
  win::HWND Handle() const { return FHandle; }
  bool ShowMainForm = true;
  TForm* MainForm = nullptr;

  // Runs the message loop until Terminate (the main form's close).
  void Run();
  // Ends the message loop. Asked again, it asks the loop again: a system
  // loop (a popup menu's, under Wine) can swallow the first request.
  void Terminate();
  bool Terminated() const { return FTerminated; }
  void ProcessMessages();

  void Minimize();
  void Restore();
  void RestoreTopMosts();

  // Arguments after the program name, as the process was given them.
  int ParamCount() const { return static_cast<int>(FArgs.size()); }
  std::string ParamStr(int index) const;

  // An error that escaped a handler: the standard error box.
  void ShowException(const std::exception& error);

  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnMinimize;
  TNotifyEvent OnRestore;

  // Reported by the backend.
  void DoActivate();
  void DoDeactivate();
  void DoMinimize();
  void DoRestore();

 private:
  std::vector<std::string> FArgs;
  win::HWND FHandle = nullptr;
  bool FTerminated = false;
};

// The one application of the process.
extern TApplication* Application;

// Creates the program's main form. It is the main form from its creation
// event on: a close asked for while OnCreate waits (a message box pumps
// messages, so timers run) ends the program like any later close, instead
// of only hiding a form that is not yet the main one.
template <class F, class... Args>
FormPtr<F> CreateMainForm(TApplication& app, Args&&... args) {
  FormPtr<F> form(new F(std::forward<Args>(args)...));
  app.MainForm = form.get();
  try {
    form->DoCreate();
    form->FinishCreate();
  } catch (...) {
    app.MainForm = nullptr;
    throw;
  }
  return form;
}

}  // namespace norva::tk
