#include "app/Entry.h"

#include <stdexcept>

#include "app/Main.h"
#include "settings/ExtraSettings.h"
#include "toolkit/Application.h"

namespace norva {

using platform::Os;

int RunNorva(std::vector<std::string> args) {
  // Every window speaks the chosen language from its first showing, and so
  // does the one message of a second copy (which only reads the file).
  lang::SetCurrent(lang::LanguageOf(ReadExtraSettings(SettingsFilePath()).language,
                                    Os().user.UserDefaultUILanguage()));
  // The mutex stays until the process ends; a second copy only says so.
  Os().kernel.CreateMutexA("NORVA_EXE");
  if (Os().kernel.GetLastError() == win::ERROR_ALREADY_EXISTS) {
    Os().user.MessageBoxA(nullptr, lang::Text(lang::TextId::AlreadyRunning), "Norva", win::MB_OK);
    return 0;
  }

  tk::TApplication app(std::move(args));
  tk::Application = &app;
  app.Initialize("Norva");
  Os().user.ShowWindow(app.Handle(), win::SW_HIDE);
  app.ShowMainForm = false;
  // Anything thrown while the main window is built, runs or goes ends with
  // the error message, never silently.
  try {
    auto main = tk::CreateMainForm<TMainForm>(app, nullptr);
    MainForm = main.get();
    try {
      app.Run();
    } catch (...) {
      app.MainForm = nullptr;
      throw;
    }
    app.MainForm = nullptr;
  } catch (const std::exception& error) {
    app.ShowException(error);
  } catch (...) {
    app.ShowException(std::runtime_error("unexpected error"));
  }
  MainForm = nullptr;
  tk::Application = nullptr;
  return 0;
}

}  // namespace norva
