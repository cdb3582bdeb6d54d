// soak_probe.exe: the object counts of one process that Wine can give, for
// scripts/soak.sh.
//
//   soak_probe NAME
//
// Finds the process whose image is NAME (e.g. norva.exe) and prints one line
// "pid P handles H threads T windows W answers A gdi G user U table S":
//   H  the handles the process holds: its entries in the system's handle list
//      (NtQuerySystemInformation, SystemExtendedHandleInformation, or
//      SystemHandleInformation where that is missing), which Wine's server
//      lists from its handle tables; "-" when neither list can be read;
//   T  its threads, from the system's process list;
//   W  the windows it owns (top-level and child windows, USER objects Wine
//      does keep in its server);
//   A  1 when its first visible top-level window answers a WM_NULL within
//      10 s, 0 when it does not;
//   G, U  GetGuiResources' answers (0 under Wine 8, printed for Windows);
//   S  the process list's HandleCount, which Wine fills with the size of the
//      process's handle table (grown in steps), not with the handles in it:
//      printed to compare, never a count to judge by.
// Exits 1 when no such process runs.
#include <windows.h>
// After <windows.h>, which it needs.
#include <winternl.h>

#include <algorithm>
#include <cstddef>
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

// The system information classes of the handle lists and their records (not
// in MinGW's headers).
constexpr auto kSystemHandleInformation = SYSTEM_INFORMATION_CLASS(16);
constexpr auto kSystemExtendedHandleInformation = SYSTEM_INFORMATION_CLASS(64);

struct HandleEntry {
  USHORT process;
  USHORT creatorBackTrace;
  UCHAR objectType;
  UCHAR attributes;
  USHORT value;
  PVOID object;
  ULONG access;
};
struct HandleList {
  ULONG count;
  HandleEntry entries[1];
};
struct HandleEntryEx {
  PVOID object;
  ULONG_PTR process;
  ULONG_PTR value;
  ULONG access;
  USHORT creatorBackTrace;
  USHORT objectType;
  ULONG attributes;
  ULONG reserved;
};
struct HandleListEx {
  ULONG_PTR count;
  ULONG_PTR reserved;
  HandleEntryEx entries[1];
};

// Fills buffer with system information of the given class, growing it while
// the call asks for more room (up to 256 MB); false when the call fails.
bool Query(QuerySystemInformation query, SYSTEM_INFORMATION_CLASS what,
           std::vector<unsigned char>& buffer) {
  for (;;) {
    ULONG needed = 0;
    const NTSTATUS status = query(what, buffer.data(), ULONG(buffer.size()), &needed);
    if (status == 0) return true;
    // STATUS_INFO_LENGTH_MISMATCH and STATUS_BUFFER_TOO_SMALL: more room.
    if (status != NTSTATUS(0xC0000004L) && status != NTSTATUS(0xC0000023L)) return false;
    if (buffer.size() >= (256u << 20)) return false;
    buffer.resize(std::max<size_t>(buffer.size() * 2, size_t(needed) + 4096));
  }
}

// The handles process pid holds, as the system's handle list has them; -1
// when no list can be read (or it is cut short by its own count).
long CountHandles(QuerySystemInformation query, DWORD pid) {
  std::vector<unsigned char> buffer(1 << 20);
  if (Query(query, kSystemExtendedHandleInformation, buffer)) {
    const auto* list = reinterpret_cast<const HandleListEx*>(buffer.data());
    const size_t room = (buffer.size() - offsetof(HandleListEx, entries)) / sizeof(HandleEntryEx);
    if (list->count > room) return -1;
    long n = 0;
    for (ULONG_PTR i = 0; i < list->count; ++i)
      if (list->entries[i].process == pid) ++n;
    return n;
  }
  if (Query(query, kSystemHandleInformation, buffer)) {
    const auto* list = reinterpret_cast<const HandleList*>(buffer.data());
    const size_t room = (buffer.size() - offsetof(HandleList, entries)) / sizeof(HandleEntry);
    if (list->count > room || pid > 0xffff) return -1;
    long n = 0;
    for (ULONG i = 0; i < list->count; ++i)
      if (list->entries[i].process == pid) ++n;
    return n;
  }
  return -1;
}

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
  if (!Query(query, SystemProcessInformation, buffer)) {
    std::fprintf(stderr, "the process list cannot be read\n");
    return 1;
  }
  long table = -1, threads = -1;
  DWORD pid = 0;
  for (size_t at = 0;;) {
    const auto* info = reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(buffer.data() + at);
    const std::wstring image(info->ImageName.Buffer != nullptr ? info->ImageName.Buffer : L"",
                             info->ImageName.Length / sizeof(wchar_t));
    if (_wcsicmp(image.c_str(), name) == 0) {
      pid = DWORD(reinterpret_cast<ULONG_PTR>(info->UniqueProcessId));
      table = long(info->HandleCount);
      threads = long(info->NumberOfThreads);
      break;
    }
    if (info->NextEntryOffset == 0) break;
    at += info->NextEntryOffset;
  }
  if (table < 0) {
    std::fprintf(stderr, "no process %s\n", argv[1]);
    return 1;
  }
  const long handles = CountHandles(query, pid);
  if (handles < 0) std::fprintf(stderr, "the handle list cannot be read\n");
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
  char counted[16] = "-";
  if (handles >= 0) std::snprintf(counted, sizeof counted, "%ld", handles);
  std::printf("pid %lu handles %s threads %ld windows %u answers %d gdi %ld user %ld table %ld\n",
              static_cast<unsigned long>(pid), counted, threads, windows.count, answers, gdi, user,
              table);
  return 0;
}
