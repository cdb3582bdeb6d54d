#include "inspector/Toolhelp.h"

namespace norva {

using platform::Os;

namespace {

// LoadLibrary of 16-bit heritage: values below 32 are error codes.
bool Loaded(win::HMODULE module) { return reinterpret_cast<uintptr_t>(module) >= 32; }

// Whether a handle is one (toolhelp reports a failure as either value).
bool IsHandle(win::HANDLE h) { return h != nullptr && h != win::INVALID_HANDLE_VALUE; }

}  // namespace

ToolhelpFunctions::ToolhelpFunctions(std::initializer_list<const char*> names) {
  FKernel = Os().kernel.LoadLibraryA("KERNEL32");
  if (!Loaded(FKernel)) return;
  FFound = true;
  for (const char* name : names)
    if (Os().kernel.GetProcAddress(FKernel, name) == nullptr) FFound = false;
}

ToolhelpFunctions::~ToolhelpFunctions() {
  if (Loaded(FKernel)) Os().kernel.FreeLibrary(FKernel);
}

ToolhelpSnapshot::~ToolhelpSnapshot() {
  if (IsHandle(FHandle)) Os().process.CloseHandle(FHandle);
}

bool ToolhelpSnapshot::Take(win::DWORD flags, win::DWORD processId) {
  FHandle = Os().toolhelp.CreateToolhelp32Snapshot(flags, processId);
  return IsHandle(FHandle);
}

ProcessList::ProcessList() {
  if (!FFunctions.Found() || !Snapshot.Take(win::TH32CS_SNAPPROCESS, 0)) return;
  Entry.dwSize = sizeof(Entry);
  Valid = Os().toolhelp.Process32First(Snapshot.Get(), &Entry) != 0;
}

win::BOOL ProcessList::Next() {
  const win::BOOL ok = Valid ? Os().toolhelp.Process32Next(Snapshot.Get(), &Entry) : 0;
  if (!ok) Valid = false;
  return ok;
}

HeapList::HeapList(win::DWORD processId) {
  if (!FFunctions.Found() || !Snapshot.Take(win::TH32CS_SNAPHEAPLIST, processId)) return;
  Entry.dwSize = sizeof(Entry);
  Valid = Os().toolhelp.Heap32ListFirst(Snapshot.Get(), &Entry) != 0;
}

win::BOOL HeapList::Next() {
  const win::BOOL ok = Valid ? Os().toolhelp.Heap32ListNext(Snapshot.Get(), &Entry) : 0;
  if (!ok) Valid = false;
  return ok;
}

Heap32::Heap32(win::DWORD processId, win::ULONG_PTR heapId) {
  if (!FFunctions.Found()) return;
  Entry.dwSize = sizeof(Entry);
  Valid = Os().toolhelp.Heap32First(&Entry, processId, heapId) != 0;
}

win::BOOL Heap32::Next() {
  const win::BOOL ok = Valid ? Os().toolhelp.Heap32Next(&Entry) : 0;
  if (!ok) Valid = false;
  return ok;
}

ModuleList::ModuleList(win::DWORD processId) {
  if (!FFunctions.Found() || !Snapshot.Take(win::TH32CS_SNAPMODULE, processId)) return;
  Entry.dwSize = sizeof(Entry);
  Valid = Os().toolhelp.Module32First(Snapshot.Get(), &Entry) != 0;
}

win::BOOL ModuleList::Next() {
  const win::BOOL ok = Valid ? Os().toolhelp.Module32Next(Snapshot.Get(), &Entry) : 0;
  if (!ok) Valid = false;
  return ok;
}

ThreadList::ThreadList(win::DWORD processId) {
  if (!FFunctions.Found() || !Snapshot.Take(win::TH32CS_SNAPTHREAD, processId)) return;
  Entry.dwSize = sizeof(Entry);
  Valid = Os().toolhelp.Thread32First(Snapshot.Get(), &Entry) != 0;
}

win::BOOL ThreadList::Next() {
  const win::BOOL ok = Valid ? Os().toolhelp.Thread32Next(Snapshot.Get(), &Entry) : 0;
  if (!ok) Valid = false;
  return ok;
}

}  // namespace norva
