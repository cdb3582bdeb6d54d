// accessible_peek.exe: reads Norva's main window as a screen reader does,
// through oleacc's AccessibleObjectFromWindow, for the end-to-end cases.
//
//   accessible_peek             prints the client object and each child, one
//                               tab-separated line each (UTF-8):
//                               "child N NAME ROLE VALUE STATE ACTION"; then
//                               "figures OK n" or "figures WRONG ..." for the
//                               figures this program can sample itself
//   accessible_peek press N     runs the default action of child N (the
//                               names are not ASCII, which the command line
//                               of a console program may not carry)
//   accessible_peek events S    the value-change events the window raises in
//                               S seconds: "events N in S s, shortest gap
//                               G ms"
//   accessible_peek focus       the active and focus windows of the
//                               window's thread: "active HWND CLASS "TITLE""
//
// The figures are checked against this program's own memory sample in the
// window's forms (any of the texts the figure may take to fit its room):
// the load, the physical row and the page file's total, which are the same
// for every process; the virtual row is the process's own.
#include "app/Figures.h"

// clang-format off
#include <windows.h>
#include <oleacc.h>
// clang-format on

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// MinGW's import library hands IID_IAccessible out as an import thunk's
// address: spelled out here.
const GUID kIidAccessible = {
    0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

std::string Utf8(const wchar_t* text) {
  if (text == nullptr) return {};
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return {};
  std::string out(static_cast<size_t>(size - 1), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
  return out;
}

BOOL CALLBACK FindMain(HWND window, LPARAM found) {
  wchar_t cls[64] = {}, title[64] = {};
  ::GetClassNameW(window, cls, 64);
  ::GetWindowTextW(window, title, 64);
  if (std::wcscmp(cls, L"NorvaWindow") != 0 || std::wcscmp(title, L"Norva") != 0 ||
      !::IsWindowVisible(window))
    return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

HWND MainWindow() {
  HWND found = nullptr;
  ::EnumWindows(&FindMain, reinterpret_cast<LPARAM>(&found));
  return found;
}

struct Child {
  std::string name, value, action;
  long role = 0, state = 0;
};

VARIANT Id(long id) {
  VARIANT v;
  ::VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = id;
  return v;
}

// One of the object's texts of child id (the getter called here, so that
// the BSTR is read after the call has filled it).
template <class Getter>
std::string Text(IAccessible* object, Getter getter, long id) {
  BSTR text = nullptr;
  const HRESULT hr = (object->*getter)(Id(id), &text);
  std::string out = SUCCEEDED(hr) ? Utf8(text) : "<error>";
  if (text != nullptr) ::SysFreeString(text);
  return out;
}

// The texts a figure of the window may show for this many bytes.
// Whether a shown figure is within slackMb (and half its last digit) of
// bytes: "22.2G" stands for 22.15..22.25 GB.
bool Near(const std::string& shown, unsigned long long bytes, double slackMb) {
  char* end = nullptr;
  const double number = std::strtod(shown.c_str(), &end);
  if (end == shown.c_str()) return false;
  std::string unit(end);
  unit.erase(0, unit.find_first_not_of(' '));
  const double scale = unit.empty() || unit == "MB"  ? 1.0
                       : unit == "G" || unit == "GB" ? 1024.0
                       : unit == "T" || unit == "TB" ? 1048576.0
                                                     : 0.0;
  if (scale == 0.0) return false;
  const size_t point = shown.find('.');
  const double half =
      (point == std::string::npos || point > static_cast<size_t>(end - shown.c_str()) ? 0.5
                                                                                      : 0.05) *
      scale;
  const double mb = static_cast<double>(bytes) / 1048576.0;
  return mb >= number * scale - half - slackMb && mb <= number * scale + half + slackMb;
}

bool OneOfTheForms(const std::string& shown, unsigned long long bytes, norva::FigureKind kind,
                   std::string* forms) {
  const double mb = static_cast<double>(bytes) / 1048576.0;
  for (int step = 0; step < norva::FigureSteps(mb); ++step) {
    std::string form = norva::FigureForm(mb, kind, step);
    const size_t start = form.find_first_not_of(' ');
    form = start == std::string::npos ? "" : form.substr(start);
    if (form == shown) return true;
    *forms += (forms->empty() ? "" : "|") + form;
  }
  return false;
}

std::vector<Child> Children(IAccessible* client) {
  long count = 0;
  client->get_accChildCount(&count);
  std::vector<Child> children;
  for (long i = 1; i <= count; ++i) {
    Child c;
    c.name = Text(client, &IAccessible::get_accName, i);
    c.value = Text(client, &IAccessible::get_accValue, i);
    c.action = Text(client, &IAccessible::get_accDefaultAction, i);
    VARIANT v;
    ::VariantInit(&v);
    if (SUCCEEDED(client->get_accRole(Id(i), &v)) && v.vt == VT_I4) c.role = v.lVal;
    ::VariantInit(&v);
    if (SUCCEEDED(client->get_accState(Id(i), &v)) && v.vt == VT_I4) c.state = v.lVal;
    children.push_back(c);
  }
  return children;
}

// The figures this program can sample itself, by the children's names: what
// differs, empty when all are as sampled; checked counts those that are.
std::string FiguresWrong(const std::vector<Child>& children, int* checked, double slackMb) {
  MEMORYSTATUSEX m{};
  m.dwLength = sizeof(m);
  ::GlobalMemoryStatusEx(&m);
  const struct {
    const char* name;
    unsigned long long bytes;
    norva::FigureKind kind;
  } figures[] = {
      {"物理メモリ 空き", m.ullAvailPhys, norva::FigureKind::Plain},
      {"物理メモリ 使用", m.ullTotalPhys - m.ullAvailPhys, norva::FigureKind::Plain},
      {"物理メモリ 合計", m.ullTotalPhys, norva::FigureKind::Total},
      {"ページメモリ 合計", m.ullTotalPageFile, norva::FigureKind::Total},
      {"仮想メモリ 合計", m.ullTotalVirtual, norva::FigureKind::Total},
  };
  *checked = 0;
  std::string wrong;
  for (const auto& f : figures) {
    const Child* shown = nullptr;
    for (const Child& c : children)
      if (c.name == f.name) shown = &c;
    std::string forms;
    if (shown == nullptr)
      wrong += std::string(" ") + f.name + ": missing;";
    else if (!OneOfTheForms(shown->value, f.bytes, f.kind, &forms) &&
             !(slackMb > 0 && Near(shown->value, f.bytes, slackMb)))
      wrong += std::string(" ") + f.name + ": " + shown->value + " not " + forms + ";";
    else
      ++*checked;
  }
  const std::string load = std::to_string(m.dwMemoryLoad) + "%";
  bool loadShown = false;
  for (const Child& c : children)
    loadShown |= c.name == "メモリ使用率" &&
                 (c.value == load ||
                  (slackMb > 0 &&
                   std::abs(std::atoi(c.value.c_str()) - static_cast<int>(m.dwMemoryLoad)) <= 1));
  if (!loadShown)
    wrong += " メモリ使用率: not " + load + ";";
  else
    ++*checked;
  return wrong;
}

// The value-change events the window raises in the seconds given, heard
// through an out-of-context WinEvent hook: their number and the shortest gap.
HWND gWatched = nullptr;
std::vector<DWORD> gTicks;

void CALLBACK Heard(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG, DWORD, DWORD time) {
  if (event == EVENT_OBJECT_VALUECHANGE && window == gWatched && object == OBJID_CLIENT)
    gTicks.push_back(time);
}

int CountEvents(HWND window, int seconds) {
  gWatched = window;
  DWORD process = 0;
  ::GetWindowThreadProcessId(window, &process);
  const HWINEVENTHOOK hook = ::SetWinEventHook(EVENT_OBJECT_VALUECHANGE, EVENT_OBJECT_VALUECHANGE,
                                               nullptr, &Heard, process, 0, WINEVENT_OUTOFCONTEXT);
  if (hook == nullptr) {
    std::printf("no hook\n");
    return 1;
  }
  const DWORD start = ::GetTickCount();
  while (::GetTickCount() - start < static_cast<DWORD>(seconds) * 1000) {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
  }
  ::UnhookWinEvent(hook);
  long shortest = -1;
  for (size_t i = 1; i < gTicks.size(); ++i) {
    const auto gap = static_cast<long>(gTicks[i] - gTicks[i - 1]);
    if (shortest < 0 || gap < shortest) shortest = gap;
  }
  std::printf("events %zu in %d s, shortest gap %ld ms\n", gTicks.size(), seconds, shortest);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const HWND window = MainWindow();
  if (window == nullptr) {
    std::printf("no window\n");
    return 1;
  }
  if (argc == 2 && std::strcmp(argv[1], "focus") == 0) {
    // The window's thread's active and focus windows, as the system keeps them.
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info)) return 1;
    const struct {
      const char* what;
      HWND window;
    } shown[] = {{"active", info.hwndActive}, {"focus", info.hwndFocus}};
    for (const auto& w : shown) {
      wchar_t cls[64] = {}, title[64] = {};
      ::GetClassNameW(w.window, cls, 64);
      ::GetWindowTextW(w.window, title, 64);
      std::printf("%s %p %s \"%s\"\n", w.what, static_cast<void*>(w.window), Utf8(cls).c_str(),
                  Utf8(title).c_str());
    }
    std::printf("main %p\n", static_cast<void*>(window));
    return 0;
  }
  if (argc == 3 && std::strcmp(argv[1], "events") == 0)
    return CountEvents(window, std::atoi(argv[2]));
  ::CoInitialize(nullptr);
  IAccessible* client = nullptr;
  const HRESULT hr = ::AccessibleObjectFromWindow(
      window, static_cast<DWORD>(OBJID_CLIENT), kIidAccessible, reinterpret_cast<void**>(&client));
  if (FAILED(hr) || client == nullptr) {
    std::printf("AccessibleObjectFromWindow failed 0x%08lx\n", static_cast<unsigned long>(hr));
    return 1;
  }
  const std::string clientName = Text(client, &IAccessible::get_accName, CHILDID_SELF);
  VARIANT role;
  ::VariantInit(&role);
  client->get_accRole(Id(CHILDID_SELF), &role);
  std::vector<Child> children = Children(client);
  const auto count = static_cast<long>(children.size());

  if (argc == 3 && std::strcmp(argv[1], "press") == 0) {
    const long id = std::strtol(argv[2], nullptr, 10);
    if (id < 1 || id > count) return 1;
    const HRESULT done = client->accDoDefaultAction(Id(id));
    std::printf("pressed %ld (%s) 0x%08lx\n", id,
                children[static_cast<size_t>(id - 1)].name.c_str(),
                static_cast<unsigned long>(done));
    client->Release();
    return SUCCEEDED(done) ? 0 : 1;
  }

  std::printf("client\t%s\t%ld\t%ld\n", clientName.c_str(), role.vt == VT_I4 ? role.lVal : -1,
              count);
  for (size_t i = 0; i < children.size(); ++i) {
    const Child& c = children[i];
    std::printf("child\t%zu\t%s\t%ld\t%s\t0x%lx\t%s\n", i + 1, c.name.c_str(), c.role,
                c.value.c_str(), static_cast<unsigned long>(c.state), c.action.c_str());
  }

  // The figures as sampled here. The program shows them afresh ten times a
  // second and they change as the machine runs, so a sample that differs is
  // taken again with the window's figures read again, a few times.
  std::string wrong;
  int checked = 0;
  for (int attempt = 1; attempt <= 10; ++attempt) {
    wrong = FiguresWrong(children, &checked, 0);
    if (wrong.empty()) {
      std::printf("figures OK %d (attempt %d)\n", checked, attempt);
      break;
    }
    ::Sleep(300);
    children = Children(client);
  }
  // Where the figures never held still between the window's tick and this
  // sample (an emulated 32-bit Wine, which the stand-in /proc/meminfo does
  // not reach): each within 1 % of physical memory.
  if (!wrong.empty()) {
    MEMORYSTATUSEX m{};
    m.dwLength = sizeof(m);
    ::GlobalMemoryStatusEx(&m);
    const double slack = static_cast<double>(m.ullTotalPhys) / 1048576.0 / 100.0;
    if (FiguresWrong(children, &checked, slack).empty()) {
      std::printf("figures NEAR %d (within %.0f MB)\n", checked, slack);
      wrong.clear();
    }
  }
  if (!wrong.empty()) std::printf("figures WRONG%s\n", wrong.c_str());
  client->Release();
  return wrong.empty() ? 0 : 1;
}
