// inspector_peek.exe: reads and drives the inspector window of a running
// norva.exe from outside, for the end-to-end cases (cases_inspector.sh). The
// list view's texts live in norva's address space, so the records the list
// view fills are placed there (VirtualAllocEx) and read back. Build it with
// the same bitness as the norva.exe it looks at.
//
//   inspector_peek rows             the process list: ID, parent, threads, name, priority (tabs)
//   inspector_peek select ID        selects the row of process ID (hex), as a click would
//   inspector_peek priority N       chooses entry N of the priority combo, as a user would
//   inspector_peek click TEXT [N]   clicks the N-th button captioned TEXT (left to right)
//   inspector_peek tab N            prints the screen position "x y" of main tab N
//   inspector_peek refresh N        runs the refresh N times, waiting for each; prints ms per
//   refresh
#include <windows.h>
// After <windows.h>, which they need.
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "peek_text.h"

namespace {

std::wstring ClassOf(HWND h) {
  wchar_t name[64] = {};
  GetClassNameW(h, name, 64);
  return name;
}

struct ChildSearch {
  const wchar_t* cls;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectChild(HWND h, LPARAM p) {
  auto* s = reinterpret_cast<ChildSearch*>(p);
  if (_wcsicmp(ClassOf(h).c_str(), s->cls) == 0) s->found.push_back(h);
  return TRUE;
}

std::vector<HWND> Children(HWND parent, const wchar_t* cls) {
  ChildSearch search{cls, {}};
  EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// A piece of memory in the inspector's process.
class Remote {
 public:
  explicit Remote(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    FProcess = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (FProcess) FMemory = VirtualAllocEx(FProcess, nullptr, kSize, MEM_COMMIT, PAGE_READWRITE);
  }
  ~Remote() {
    if (FMemory) VirtualFreeEx(FProcess, FMemory, 0, MEM_RELEASE);
    if (FProcess) CloseHandle(FProcess);
  }
  bool Ok() const { return FMemory != nullptr; }
  char* At(size_t offset) const { return static_cast<char*>(FMemory) + offset; }
  void Write(size_t offset, const void* data, size_t size) {
    WriteProcessMemory(FProcess, At(offset), data, size, nullptr);
  }
  void Read(size_t offset, void* data, size_t size) {
    ReadProcessMemory(FProcess, At(offset), data, size, nullptr);
  }
  static constexpr size_t kSize = 8192;

 private:
  HANDLE FProcess = nullptr;
  void* FMemory = nullptr;
};

std::wstring ItemText(Remote& r, HWND list, int item, int column) {
  LVITEMW it{};
  it.mask = LVIF_TEXT;
  it.iItem = item;
  it.iSubItem = column;
  it.pszText = reinterpret_cast<wchar_t*>(r.At(512));
  it.cchTextMax = 1024;
  r.Write(0, &it, sizeof(it));
  const LRESULT n = SendMessageW(list, LVM_GETITEMTEXTW, WPARAM(item), LPARAM(r.At(0)));
  std::wstring text(size_t(std::max<LRESULT>(n, 0)), L'\0');
  if (n > 0) r.Read(512, text.data(), size_t(n) * sizeof(wchar_t));
  return text;
}

// The process list: the list view with seven columns.
HWND ProcessListView(HWND inspector) {
  for (HWND h : Children(inspector, L"SysListView32")) {
    HWND header = reinterpret_cast<HWND>(SendMessageW(h, LVM_GETHEADER, 0, 0));
    if (header && SendMessageW(header, HDM_GETITEMCOUNT, 0, 0) == 7) return h;
  }
  return nullptr;
}

int Fail(const char* what) {
  std::fprintf(stderr, "inspector_peek: %s\n", what);
  return 1;
}

}  // namespace

int main() {
  // The arguments as UTF-16 (the ANSI ones lose the Japanese captions).
  int argc = 0;
  wchar_t** wideArgs = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::vector<std::string> args;
  for (int i = 0; i < argc; ++i) args.push_back(Utf8(wideArgs[i]));
  std::vector<const char*> argvList;
  for (const std::string& a : args) argvList.push_back(a.c_str());
  const char* const* argv = argvList.data();
  if (argc < 2) return Fail("usage: rows | select ID | priority N | click TEXT [N] | tab N");
  // Its title in Japanese, or in English ([EXTRA] Language=en).
  HWND inspector = FindWindowW(nullptr, L"システム情報 詳細表示");
  if (inspector == nullptr) inspector = FindWindowW(nullptr, L"System information");
  if (!inspector) return Fail("no inspector window");
  const std::string command = argv[1];
  Remote remote(inspector);
  if (!remote.Ok()) return Fail("cannot reach the inspector's memory");

  if (command == "rows" || command == "select") {
    HWND list = ProcessListView(inspector);
    if (!list) return Fail("no process list");
    const int count = int(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      if (command == "rows") {
        std::string line;
        for (int c = 0; c < 5; ++c) line += (c ? "\t" : "") + Utf8(ItemText(remote, list, i, c));
        std::printf("%s\n", line.c_str());
      } else if (argc > 2 && Utf8(ItemText(remote, list, i, 0)) == argv[2]) {
        LVITEMW it{};
        it.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        it.state = LVIS_SELECTED | LVIS_FOCUSED;
        remote.Write(0, &it, sizeof(it));
        SendMessageW(list, LVM_SETITEMSTATE, WPARAM(i), LPARAM(remote.At(0)));
        SendMessageW(list, LVM_ENSUREVISIBLE, WPARAM(i), FALSE);
        std::printf("%d\n", i);
        return 0;
      }
    }
    return command == "rows" ? 0 : Fail("no such row");
  }
  if (command == "priority" && argc > 2) {
    // The priority combo is the narrow one.
    HWND combo = nullptr;
    int narrowest = 1 << 30;
    for (HWND h : Children(inspector, L"ComboBox")) {
      RECT rc;
      GetWindowRect(h, &rc);
      if (rc.right - rc.left < narrowest) narrowest = rc.right - rc.left, combo = h;
    }
    if (!combo) return Fail("no priority combo");
    SendMessageW(combo, CB_SETCURSEL, WPARAM(std::atoi(argv[2])), 0);
    // What the combo tells its parent after a user's choice.
    SendMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                 LPARAM(combo));
    return 0;
  }
  if (command == "click" && argc > 2) {
    const std::wstring caption = Wide(argv[2]);
    std::vector<std::pair<LONG, HWND>> buttons;
    for (HWND h : Children(inspector, L"Button")) {
      wchar_t text[128] = {};
      GetWindowTextW(h, text, 128);
      RECT rc;
      GetWindowRect(h, &rc);
      if (caption == text && IsWindowVisible(h)) buttons.push_back({rc.left, h});
    }
    std::sort(buttons.begin(), buttons.end());
    const size_t n = argc > 3 ? size_t(std::atoi(argv[3])) : 1;
    if (n == 0 || n > buttons.size()) return Fail("no such button");
    if (!IsWindowEnabled(buttons[n - 1].second)) return Fail("button disabled");
    PostMessageW(buttons[n - 1].second, BM_CLICK, 0, 0);
    return 0;
  }
  if (command == "refresh" && argc > 2) {
    for (HWND h : Children(inspector, L"Button")) {
      wchar_t text[128] = {};
      GetWindowTextW(h, text, 128);
      if (std::wstring(text) != L"最新の情報に更新") continue;
      const int n = std::max(1, std::atoi(argv[2]));
      LARGE_INTEGER f, a, b;
      QueryPerformanceFrequency(&f);
      QueryPerformanceCounter(&a);
      // Sent, not posted: each returns once the lists are rebuilt.
      for (int i = 0; i < n; ++i) SendMessageW(h, BM_CLICK, 0, 0);
      QueryPerformanceCounter(&b);
      std::printf("%.2f\n", double(b.QuadPart - a.QuadPart) * 1000.0 / double(f.QuadPart) / n);
      return 0;
    }
    return Fail("no refresh button");
  }
  if (command == "tab" && argc > 2) {
    for (HWND tabs : Children(inspector, L"SysTabControl32")) {
      if (SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0) != 4) continue;
      SendMessageW(tabs, TCM_GETITEMRECT, WPARAM(std::atoi(argv[2])), LPARAM(remote.At(0)));
      RECT rc{};
      remote.Read(0, &rc, sizeof(rc));
      POINT p{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
      ClientToScreen(tabs, &p);
      std::printf("%ld %ld\n", long(p.x), long(p.y));
      return 0;
    }
    return Fail("no main tabs");
  }
  return Fail("unknown command");
}
