// soak_probe.exe: the object counts of one process that Wine can give, for
// scripts/soak.sh.
//
//   soak_probe NAME
//
// Finds the process whose image is NAME (e.g. norva.exe) and prints one line
// "pid P handles H threads T windows W answers A gdi G user U": H and T from
// the system's process list (NtQuerySystemInformation, which Wine's server
// fills from its own handle table), W the windows the process owns (top-level
// and child windows, USER objects Wine does keep in its server), A 1 when its
// first visible top-level window answers a WM_NULL within 10 s (0 when it
// does not), G and U as GetGuiResources answers (0 under Wine 8, printed for
// Windows). Exits 1 when no such process runs.
#include <windows.h>
// After <windows.h>, which it needs.
#include <winternl.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct WindowCount {
  DWORD pid;
  unsigned count;
  HWND firstVisible;
};

BOOL CALLBACK CountChild(HWND h, LPARAM p) {
  auto* c = reinterpret_cast<WindowCount*>(p);
  DWORD owner = 0;
  GetWindowThreadProcessId(h, &owner);
  if (owner == c->pid) ++c->count;
  return TRUE;
}

BOOL CALLBACK CountTop(HWND h, LPARAM p) {
  auto* c = reinterpret_cast<WindowCount*>(p);
  DWORD owner = 0;
  GetWindowThreadProcessId(h, &owner);
  if (owner == c->pid && c->firstVisible == nullptr && IsWindowVisible(h)) c->firstVisible = h;
  CountChild(h, p);
  EnumChildWindows(h, CountChild, p);
  return TRUE;
}

using QuerySystemInformation = NTSTATUS(WINAPI*)(SYSTEM_INFORMATION_CLASS, PVOID, ULONG, PULONG);

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: soak_probe NAME\n");
    return 2;
  }
  wchar_t name[MAX_PATH] = {};
  MultiByteToWideChar(CP_UTF8, 0, argv[1], -1, name, MAX_PATH);
  auto query = reinterpret_cast<QuerySystemInformation>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
  if (query == nullptr) return 1;
  std::vector<unsigned char> buffer(1 << 20);
  ULONG needed = 0;
  while (query(SystemProcessInformation, buffer.data(), ULONG(buffer.size()), &needed) != 0) {
    if (buffer.size() > (64u << 20)) return 1;
    buffer.resize(buffer.size() * 2);
  }
  long handles = -1, threads = -1;
  DWORD pid = 0;
  for (size_t at = 0;;) {
    const auto* info = reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(buffer.data() + at);
    const std::wstring image(info->ImageName.Buffer != nullptr ? info->ImageName.Buffer : L"",
                             info->ImageName.Length / sizeof(wchar_t));
    if (_wcsicmp(image.c_str(), name) == 0) {
      pid = DWORD(reinterpret_cast<ULONG_PTR>(info->UniqueProcessId));
      handles = long(info->HandleCount);
      threads = long(info->NumberOfThreads);
      break;
    }
    if (info->NextEntryOffset == 0) break;
    at += info->NextEntryOffset;
  }
  if (handles < 0) {
    std::fprintf(stderr, "no process %s\n", argv[1]);
    return 1;
  }
  WindowCount windows{pid, 0, nullptr};
  EnumWindows(CountTop, reinterpret_cast<LPARAM>(&windows));
  DWORD_PTR ignored = 0;
  const int answers =
      windows.firstVisible != nullptr &&
      SendMessageTimeoutW(windows.firstVisible, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored) != 0;
  long gdi = -1, user = -1;
  if (HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, pid)) {
    gdi = long(GetGuiResources(process, GR_GDIOBJECTS));
    user = long(GetGuiResources(process, GR_USEROBJECTS));
    CloseHandle(process);
  }
  std::printf("pid %lu handles %ld threads %ld windows %u answers %d gdi %ld user %ld\n",
              static_cast<unsigned long>(pid), handles, threads, windows.count, answers, gdi, user);
  return 0;
}
