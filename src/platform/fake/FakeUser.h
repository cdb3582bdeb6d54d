// The simulated user interface side of the OS for tests: message boxes with
// scripted answers, screen, cursor and keyboard, window calls recorded, a
// queue of posted messages (delivered by the headless toolkit), icons and
// bitmap files; plus the tray, sound and registry calls. Every field is
// public so a test sets and reads it directly.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace norva::platform::fake {

class FakeKernel;

struct MessageBoxCall {
  HWND owner;
  std::string text;
  std::string caption;
  UINT type;
};

struct PostedMessage {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

struct ShowWindowCall {
  HWND window;
  int command;
};

struct SetWindowPosCall {
  HWND window;
  HWND insertAfter;
  int x, y, cx, cy;
  UINT flags;
};

class FakeUser : public IUser {
 public:
  explicit FakeUser(FakeKernel& kernel) : FKernel(kernel) {}

  // Message boxes: answered from the queue first, then IDYES for a Yes/No
  // box and IDOK for any other.
  std::vector<MessageBoxCall> messageBoxes;
  std::deque<int> messageBoxAnswers;
  int yesNoAnswer = IDYES;
  // Runs while a message box is up (its own loop dispatches messages), with
  // the box's owner.
  std::function<void(HWND owner)> whileMessageBox;

  int screenWidth = 1280;
  int screenHeight = 1024;
  // The monitors DisplayMonitors reports, in this order; none scripted: the
  // primary screen alone, as where the monitor calls are missing.
  std::vector<MONITORINFO> monitors;
  // Adds a monitor; primary also sets the screen size to its size.
  void AddMonitor(RECT area, bool primary = false);
  POINT cursor{0, 0};
  std::vector<POINT> cursorMoves;  // every SetCursorPos
  // GetKeyState per virtual key; SetKeyDown sets the "down" bit.
  std::map<int, int16_t> keyState;
  void SetKeyDown(int virtualKey, bool down);

  // PostMessageA appends to both: the queue is what the headless toolkit
  // still has to deliver, the log keeps everything.
  std::deque<PostedMessage> messageQueue;
  std::vector<PostedMessage> postedMessages;

  std::vector<ShowWindowCall> showWindowCalls;
  std::vector<SetWindowPosCall> setWindowPosCalls;
  std::vector<HWND> foregroundCalls;
  std::vector<PostedMessage> defWindowProcCalls;
  HWND desktopWindow = reinterpret_cast<HWND>(uintptr_t{0x10010});

  // Icon resources the executable holds; LoadIconResource gives null for
  // any other name.
  std::set<std::string> knownIcons{"TASKTRAY00", "TASKTRAY01"};
  std::vector<std::string> iconLoads;
  // Loaded without LR_SHARED (at a size other than the standard one): a new
  // icon of that size each time, which DestroyIcon must free (the platform
  // keeps it among the desktop's resource icons).
  std::function<HICON(int size)> makeOwnedIcon;
  HICON applicationIcon = reinterpret_cast<HICON>(uintptr_t{0x20010});
  // Which icon name a handle stands for ("" for the application icon or an
  // unknown handle).
  std::string IconName(HICON icon) const;

  // Bitmaps load from the kernel's bitmap files; each load is a new handle.
  std::set<HBITMAP> liveBitmaps;
  std::vector<HBITMAP> deletedBitmaps;
  int bitmapLoads = 0;

  std::vector<UINT> beeps;  // every MessageBeep type
  // The installed font families (the program's two faces by default) and
  // the system's message font.
  std::set<std::string> installedFonts{"ＭＳ Ｐゴシック", "ＭＳ ゴシック"};
  std::string messageFont = "Tahoma";

  // --- IUser ---------------------------------------------------------------
  int MessageBoxA(HWND owner, const std::string& text, const std::string& caption,
                  UINT type) override;
  BOOL MessageBeep(UINT type) override {
    beeps.push_back(type);
    return 1;
  }
  int GetSystemMetrics(int index) override;
  BOOL GetCursorPos(POINT* point) override;
  BOOL SetCursorPos(int x, int y) override;
  int16_t GetKeyState(int virtualKey) override;
  UINT RegisterWindowMessageA(const char* name) override;
  BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
  BOOL ShowWindow(HWND window, int command) override;
  BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy,
                    UINT flags) override;
  BOOL SetForegroundWindow(HWND window) override;
  HWND GetDesktopWindow() override { return desktopWindow; }
  LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
  HICON LoadIconResource(const char* name, int cx, int cy, UINT flags) override;
  HICON ApplicationIcon() override { return applicationIcon; }
  LoadedBitmap LoadBitmapFile(const std::string& path) override;
  void DeleteBitmap(HBITMAP bitmap) override;
  bool FontFamilyInstalled(const std::string& face) override {
    return installedFonts.count(face) != 0;
  }
  std::string MessageFontFace() override { return messageFont; }
  unsigned short uiLanguage = 0x0411;  // Japanese (Japan)
  unsigned short UserDefaultUILanguage() override { return uiLanguage; }
  std::vector<MONITORINFO> DisplayMonitors() override;

 private:
  FakeKernel& FKernel;
  std::map<std::string, UINT> FRegisteredMessages;  // by lower-case name
  std::map<std::string, HICON> FIcons;
  std::map<HICON, std::string> FOwnedIcons;
  std::map<HWND, bool> FVisible;
  uintptr_t FNextBitmap = 0x30000;
};

struct NotifyIconCall {
  DWORD message;
  NotifyIconData data;
};

class FakeShell : public IShell {
 public:
  std::vector<NotifyIconCall> notifyIconCalls;
  BOOL result = 1;
  // Whether an icon of the window was added and not deleted since.
  bool IconAdded(HWND window) const;
  // The icon as the tray shows it now: the fields of the ADD and of every
  // MODIFY since, as their flags say; nullopt when there is none.
  std::optional<NotifyIconData> CurrentIcon(HWND window) const;

  BOOL Shell_NotifyIconA(DWORD message, const NotifyIconData& data) override;
};

struct SoundCall {
  std::string path;
  UINT flags;
};

class FakeSound : public ISound {
 public:
  std::vector<SoundCall> plays;
  BOOL result = 1;
  BOOL sndPlaySoundA(const std::string& path, UINT flags) override;
};

struct RegistryCall {
  enum Kind { Open, Query, Close } kind;
  std::string name;  // the key path (Open) or value name (Query)
  LONG result;
};

// The dynamic data under HKEY_DYN_DATA that the 9x family offers.
class FakeRegistry : public IRegistry {
 public:
  // Keys that open (letter case does not matter); the three processor
  // statistics keys exist unless removed.
  std::set<std::string> dynDataKeys{"PerfStats\\StartStat", "PerfStats\\StatData",
                                    "PerfStats\\StopStat"};
  // DWORD values by key path and value name.
  void SetDynData(const std::string& key, const std::string& value, DWORD data);
  std::vector<RegistryCall> calls;
  // Keys opened and not closed yet.
  int OpenKeys() const { return static_cast<int>(FOpen.size()); }

  LONG RegOpenKeyExA(HKEY root, const char* subKey, DWORD options, DWORD access,
                     HKEY* result) override;
  LONG RegQueryValueExA(HKEY key, const char* valueName, DWORD* type, void* data,
                        DWORD* size) override;
  LONG RegCloseKey(HKEY key) override;

 private:
  bool KeyExists(const std::string& key) const;
  std::map<std::pair<std::string, std::string>, DWORD> FValues;  // lower-case names
  std::map<HKEY, std::string> FOpen;
  uintptr_t FNextKey = 0x4000;
};

}  // namespace norva::platform::fake
