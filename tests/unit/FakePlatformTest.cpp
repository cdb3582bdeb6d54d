// The simulated OS where tests of the program depend on it behaving like
// Windows: library references and run-time lookups, global memory with
// scripted failures, the mutex namespace, files and bitmaps, message boxes,
// the tray record and the 9x registry statistics.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/fake/FakePlatform.h"

namespace norva {
namespace {

using namespace win;
using platform::Os;
using platform::fake::FakeKernel;
using platform::fake::FakePlatform;

class FakePlatformTest : public ::testing::Test {
 protected:
  FakePlatform os;
  FakeKernel& kernel = os.kernel;
};

TEST_F(FakePlatformTest, IsInstalledForItsLifetimeOnly) {
  EXPECT_EQ(&Os().kernel, &os.kernel);
  EXPECT_EQ(&FakePlatform::Active(), &os);
  {
    FakePlatform inner;
    EXPECT_EQ(&Os().profile, &inner.profile);
  }
  EXPECT_THROW(Os(), std::logic_error);
  EXPECT_THROW(FakePlatform::Active(), std::logic_error);
}

// --- Libraries and run-time lookups ------------------------------------------

TEST_F(FakePlatformTest, EverySpellingOfALibraryNameGivesOneCountedHandle) {
  HMODULE a = Os().kernel.LoadLibraryA("KERNEL32");
  HMODULE b = Os().kernel.LoadLibraryA("kernel32.dll");
  HMODULE c = Os().kernel.LoadLibraryA("C:\\WINDOWS\\system32\\Kernel32.DLL");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a, b);
  EXPECT_EQ(a, c);
  EXPECT_GE(reinterpret_cast<uintptr_t>(a), 32u);
  EXPECT_NE(Os().kernel.LoadLibraryA("ntdll"), a);
  EXPECT_EQ(kernel.LibraryReferences("kernel32"), 3);

  EXPECT_NE(Os().kernel.FreeLibrary(a), 0);
  EXPECT_NE(Os().kernel.FreeLibrary(a), 0);
  EXPECT_NE(Os().kernel.FreeLibrary(a), 0);
  EXPECT_EQ(kernel.LibraryReferences("kernel32"), 0);
  EXPECT_EQ(kernel.unbalancedFrees, 0);
  // One free too many is counted, not silently accepted.
  EXPECT_EQ(Os().kernel.FreeLibrary(a), 0);
  EXPECT_EQ(kernel.unbalancedFrees, 1);
  EXPECT_EQ(kernel.OutstandingLibraryReferences(), 1);  // the ntdll load above
}

TEST_F(FakePlatformTest, ModuleHandlesTakeNoReference) {
  HMODULE ntdll = Os().kernel.GetModuleHandleA("ntdll");
  ASSERT_NE(ntdll, nullptr);
  EXPECT_EQ(kernel.OutstandingLibraryReferences(), 0);
  // A library that is not resident has no handle until it is loaded.
  kernel.UseNineXFamily();
  EXPECT_EQ(Os().kernel.GetModuleHandleA("rsrc32.dll"), nullptr);
  HMODULE rsrc = Os().kernel.LoadLibraryA("rsrc32.dll");
  EXPECT_EQ(Os().kernel.GetModuleHandleA("RSRC32"), rsrc);
  Os().kernel.FreeLibrary(rsrc);
  EXPECT_EQ(Os().kernel.GetProcAddress(rsrc, "_MyGetFreeSystemResources32@4"), nullptr);
}

TEST_F(FakePlatformTest, MissingLibrariesAndExportsAreNotFound) {
  kernel.missingExports.insert("GlobalMemoryStatusEx");
  HMODULE k = Os().kernel.LoadLibraryA("KERNEL32");
  EXPECT_EQ(Os().kernel.GetProcAddress(k, "GlobalMemoryStatusEx"), nullptr);
  EXPECT_EQ(Os().kernel.GetProcAddress(k, "NoSuchExport"), nullptr);
  Os().kernel.FreeLibrary(k);

  kernel.missingLibraries.insert("KERNEL32.DLL");
  EXPECT_EQ(Os().kernel.LoadLibraryA("kernel32"), nullptr);
  EXPECT_EQ(Os().kernel.GetModuleHandleA("kernel32"), nullptr);
  EXPECT_EQ(kernel.OutstandingLibraryReferences(), 0);
}

TEST_F(FakePlatformTest, GlobalMemoryStatusExIsARealFunctionAnsweringFromTheFake) {
  kernel.SetMemory(uint64_t{6} << 30, uint64_t{5} << 30, 17);
  HMODULE k = Os().kernel.LoadLibraryA("KERNEL32");
  auto proc = reinterpret_cast<GlobalMemoryStatusExProc>(
      Os().kernel.GetProcAddress(k, "GlobalMemoryStatusEx"));
  ASSERT_NE(proc, nullptr);

  MEMORYSTATUSEX status{};
  EXPECT_EQ(proc(&status), 0) << "a record without its length is refused";
  status.dwLength = sizeof(status);
  EXPECT_NE(proc(&status), 0);
  EXPECT_EQ(status.ullTotalPhys, uint64_t{6} << 30);
  EXPECT_EQ(status.ullAvailPhys, uint64_t{5} << 30);
  EXPECT_EQ(status.dwMemoryLoad, 17u);
  EXPECT_EQ(kernel.globalMemoryStatusExCalls, 2);
  EXPECT_EQ(kernel.globalMemoryStatusCalls, 0);

  // The 32-bit call caps what does not fit at 2 GB.
  MEMORYSTATUS old{};
  Os().kernel.GlobalMemoryStatus(&old);
  EXPECT_EQ(old.dwLength, sizeof(MEMORYSTATUS));
  EXPECT_EQ(old.dwTotalPhys, 0x7FFFFFFFu);
  EXPECT_EQ(kernel.globalMemoryStatusCalls, 1);
  Os().kernel.FreeLibrary(k);
}

TEST_F(FakePlatformTest, TheFamiliesDifferInVersionAndLibraries) {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof(info);
  ASSERT_NE(Os().kernel.GetVersionExA(&info), 0);
  EXPECT_EQ(info.dwPlatformId, VER_PLATFORM_WIN32_NT);
  EXPECT_EQ(Os().kernel.LoadLibraryA("rsrc32.dll"), nullptr);

  kernel.UseNineXFamily();
  ASSERT_NE(Os().kernel.GetVersionExA(&info), 0);
  EXPECT_EQ(info.dwPlatformId, VER_PLATFORM_WIN32_WINDOWS);
  HMODULE rsrc = Os().kernel.LoadLibraryA("rsrc32.dll");
  ASSERT_NE(rsrc, nullptr);
  auto resources = reinterpret_cast<GetFreeSystemResourcesProc>(
      Os().kernel.GetProcAddress(rsrc, "_MyGetFreeSystemResources32@4"));
  ASSERT_NE(resources, nullptr);
  kernel.freeResources[1] = 0x00120033;  // only the low word is the percentage
  EXPECT_EQ(resources(0), 80u);
  EXPECT_EQ(resources(1), 0x00120033u);
  EXPECT_EQ(kernel.freeResourcesCalls, 2);
  HMODULE k = Os().kernel.LoadLibraryA("KERNEL32");
  EXPECT_EQ(Os().kernel.GetProcAddress(k, "GlobalMemoryStatusEx"), nullptr);

  kernel.UseNtFamily();
  EXPECT_NE(Os().kernel.GetProcAddress(k, "GlobalMemoryStatusEx"), nullptr);
  EXPECT_EQ(Os().kernel.LoadLibraryA("rsrc32.dll"), nullptr);
}

TEST_F(FakePlatformTest, NtQuerySystemInformationFillsTheFieldsTheProbeReads) {
  auto query =
      reinterpret_cast<platform::fake::NtQuerySystemInformationProc>(Os().kernel.GetProcAddress(
          Os().kernel.GetModuleHandleA("ntdll"), "NtQuerySystemInformation"));
  ASSERT_NE(query, nullptr);
  kernel.ntSystem.processors = 2;
  const uint64_t start = kernel.ntSystem.currentTime;
  kernel.AdvanceSystemTimes(10'000'000, 0.995);

  unsigned char basic[win::SYSTEM_BASIC_INFORMATION_SIZE], performance[312], timeOfDay[32];
  EXPECT_EQ(query(0, basic, sizeof basic, nullptr), 0);
  EXPECT_EQ(query(2, performance, sizeof performance, nullptr), 0);
  EXPECT_EQ(query(3, timeOfDay, sizeof timeOfDay, nullptr), 0);
  uint64_t idle = 0, now = 0;
  std::memcpy(&idle, performance, 8);
  std::memcpy(&now, timeOfDay + 8, 8);
  EXPECT_EQ(basic[win::NUMBER_OF_PROCESSORS_OFFSET], 2);
  EXPECT_EQ(idle, 19'900'000u);
  EXPECT_EQ(now, start + 10'000'000);

  EXPECT_NE(query(2, performance, 100, nullptr), 0) << "too small a buffer";
  EXPECT_NE(query(0, performance, sizeof performance, nullptr), 0) << "not the basic record's size";
  kernel.ntSystem.failingClasses.insert(3);
  EXPECT_NE(query(3, timeOfDay, sizeof timeOfDay, nullptr), 0);
  EXPECT_EQ(kernel.ntQueryCalls, 6);
}

TEST_F(FakePlatformTest, AVersionRecordOfTheWrongSizeIsRefused) {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = 100;
  EXPECT_EQ(Os().kernel.GetVersionExA(&info), 0);
  EXPECT_EQ(info.dwPlatformId, 0u);
}

// --- Global memory -----------------------------------------------------------

TEST_F(FakePlatformTest, AllocationsFailAboveTheLimitAndForTheNextCalls) {
  kernel.failAllocAbove = 1000;
  EXPECT_EQ(Os().kernel.GlobalAlloc(GMEM_MOVEABLE, 1001), nullptr);
  HGLOBAL fits = Os().kernel.GlobalAlloc(GMEM_MOVEABLE, 1000);
  EXPECT_NE(fits, nullptr);

  kernel.failNextAllocs = 2;
  EXPECT_EQ(Os().kernel.GlobalAlloc(GMEM_MOVEABLE, 10), nullptr);
  EXPECT_EQ(Os().kernel.GlobalAlloc(GMEM_MOVEABLE, 10), nullptr);
  HGLOBAL third = Os().kernel.GlobalAlloc(GMEM_MOVEABLE, 10);
  EXPECT_NE(third, nullptr);

  EXPECT_EQ(kernel.allocRequests, (std::vector<size_t>{1001, 1000, 10, 10, 10}));
  EXPECT_EQ(kernel.allocFailures, 3);
  EXPECT_EQ(kernel.LiveBlocks(), 2u);
  EXPECT_EQ(kernel.LiveBytes(), 1010u);
  EXPECT_EQ(Os().kernel.GlobalFree(fits), nullptr);
  EXPECT_EQ(Os().kernel.GlobalFree(third), nullptr);
  EXPECT_EQ(kernel.LiveBlocks(), 0u);
}

TEST_F(FakePlatformTest, ABlockIsRealMemoryThatStartsDirty) {
  HGLOBAL h = Os().kernel.GlobalAlloc(GMEM_MOVEABLE, 4096);
  auto* p = static_cast<unsigned char*>(Os().kernel.GlobalLock(h));
  ASSERT_NE(p, nullptr);
  // Without GMEM_ZEROINIT nothing is zero, so a test sees what was written.
  EXPECT_EQ(p[0], FakeKernel::kFreshByte);
  EXPECT_EQ(p[4095], FakeKernel::kFreshByte);
  std::memset(p + 100, 0, 50);
  const auto [data, size] = kernel.BlockMemory(h);
  EXPECT_EQ(data, p);
  EXPECT_EQ(size, 4096u);
  EXPECT_EQ(data[99], FakeKernel::kFreshByte);
  EXPECT_EQ(data[100], 0);
  EXPECT_EQ(data[150], FakeKernel::kFreshByte);
  // Unlocking answers whether the block is still locked.
  Os().kernel.GlobalLock(h);
  EXPECT_NE(Os().kernel.GlobalUnlock(h), 0);
  EXPECT_EQ(Os().kernel.GlobalUnlock(h), 0);
  Os().kernel.GlobalFree(h);

  HGLOBAL zeroed = Os().kernel.GlobalAlloc(0x40 /* GMEM_ZEROINIT */, 16);
  EXPECT_EQ(static_cast<unsigned char*>(Os().kernel.GlobalLock(zeroed))[15], 0);
  Os().kernel.GlobalFree(zeroed);
}

TEST_F(FakePlatformTest, LocksCanFailAndBadHandlesAreCounted) {
  HGLOBAL h = Os().kernel.GlobalAlloc(GMEM_MOVEABLE, 64);
  kernel.failNextLocks = 1;
  EXPECT_EQ(Os().kernel.GlobalLock(h), nullptr);
  EXPECT_NE(Os().kernel.GlobalLock(h), nullptr);
  EXPECT_EQ(Os().kernel.GlobalLock(nullptr), nullptr);

  EXPECT_EQ(Os().kernel.GlobalFree(h), nullptr);
  EXPECT_EQ(Os().kernel.GlobalFree(h), h) << "a second free fails";
  EXPECT_EQ(kernel.badFrees, 1);
  EXPECT_EQ(Os().kernel.GlobalFree(nullptr), nullptr);
  EXPECT_EQ(kernel.badFrees, 1);
}

TEST_F(FakePlatformTest, HugeBlocksAreAddressableInFullWithoutTheirCost) {
  const size_t gib = size_t{1} << 30;
  HGLOBAL h = Os().kernel.GlobalAlloc(GMEM_MOVEABLE, gib + 123);
  ASSERT_NE(h, nullptr);
  EXPECT_TRUE(kernel.IsSharedWindow(h));
  auto* p = static_cast<unsigned char*>(Os().kernel.GlobalLock(h));
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p[gib + 122], FakeKernel::kFreshByte);
  p[gib + 122] = 0;
  p[0] = 7;
  Os().kernel.GlobalUnlock(h);
  EXPECT_EQ(Os().kernel.GlobalFree(h), nullptr);
  EXPECT_EQ(kernel.LiveBlocks(), 0u);

  HGLOBAL small = Os().kernel.GlobalAlloc(GMEM_MOVEABLE, 1 << 20);
  EXPECT_FALSE(kernel.IsSharedWindow(small));
  Os().kernel.GlobalFree(small);
}

// --- Mutexes, files, clock -----------------------------------------------------

TEST_F(FakePlatformTest, ASecondMutexOfTheSameNameReportsThatItExists) {
  EXPECT_NE(Os().kernel.CreateMutexA("NORVA_EXE"), nullptr);
  EXPECT_EQ(Os().kernel.GetLastError(), 0u);
  Os().kernel.CreateMutexA("NORVA_EXE");
  EXPECT_EQ(Os().kernel.GetLastError(), ERROR_ALREADY_EXISTS);
  Os().kernel.CreateMutexA("norva_exe");  // names are case-sensitive
  EXPECT_EQ(Os().kernel.GetLastError(), 0u);

  FakePlatform other;
  other.kernel.existingMutexes.insert("NORVA_EXE");
  Os().kernel.CreateMutexA("NORVA_EXE");
  EXPECT_EQ(Os().kernel.GetLastError(), ERROR_ALREADY_EXISTS);
}

TEST_F(FakePlatformTest, FileAttributesTellFoldersFilesAndNothing) {
  kernel.AddFolder("C:\\Pictures\\");
  kernel.AddFile("C:\\Sounds\\alarm.wav");
  EXPECT_EQ(Os().kernel.GetFileAttributesA("c:\\pictures"), FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(Os().kernel.GetFileAttributesA("C:\\Pictures\\"), FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(Os().kernel.GetFileAttributesA("C:\\SOUNDS\\ALARM.WAV"), 0x80u);
  EXPECT_EQ(Os().kernel.GetFileAttributesA("C:\\Sounds\\other.wav"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(Os().kernel.GetFileAttributesA(""), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(Os().kernel.GetFileAttributesA("C:\\Norva\\norva.exe"), 0x80u);

  // The settings file exists once the profile has written it.
  EXPECT_EQ(Os().kernel.GetFileAttributesA(os.IniPath()), INVALID_FILE_ATTRIBUTES);
  Os().profile.WritePrivateProfileStringA("SYSTEM", "XPos", "0", os.IniPath());
  EXPECT_EQ(Os().kernel.GetFileAttributesA("C:\\Norva\\NORVA.INI"), 0x80u);
}

TEST_F(FakePlatformTest, OnlyBitmapFilesLoadAsBitmaps) {
  kernel.AddBitmap("C:\\Pictures\\back.bmp", 200, 80);
  kernel.AddFile("C:\\Pictures\\notes.txt");
  kernel.AddFolder("C:\\Pictures");

  const auto bitmap = Os().user.LoadBitmapFile("c:\\pictures\\BACK.BMP");
  ASSERT_NE(bitmap.handle, nullptr);
  EXPECT_EQ(bitmap.width, 200);
  EXPECT_EQ(bitmap.height, 80);
  const auto again = Os().user.LoadBitmapFile("C:\\Pictures\\back.bmp");
  EXPECT_NE(again.handle, bitmap.handle);
  EXPECT_EQ(Os().user.LoadBitmapFile("C:\\Pictures\\notes.txt").handle, nullptr);
  EXPECT_EQ(Os().user.LoadBitmapFile("C:\\Pictures").handle, nullptr);
  EXPECT_EQ(Os().user.LoadBitmapFile("C:\\Pictures\\gone.bmp").handle, nullptr);

  EXPECT_EQ(os.user.liveBitmaps.size(), 2u);
  Os().user.DeleteBitmap(bitmap.handle);
  Os().user.DeleteBitmap(again.handle);
  EXPECT_TRUE(os.user.liveBitmaps.empty());
}

TEST_F(FakePlatformTest, SleepMovesTheClockAndCallsTheHook) {
  std::vector<uint64_t> seen;
  kernel.onSleep = [&](DWORD) { seen.push_back(kernel.nowMs); };
  Os().kernel.Sleep(10);
  Os().kernel.Sleep(300);
  EXPECT_EQ(Os().kernel.GetTickCount(), 310u);
  EXPECT_EQ(kernel.sleeps, (std::vector<DWORD>{10, 300}));
  EXPECT_EQ(seen, (std::vector<uint64_t>{10, 310}));
}

// --- User, shell, registry ---------------------------------------------------

TEST_F(FakePlatformTest, MessageBoxesAnswerFromTheQueueThenByTheirButtons) {
  os.user.messageBoxAnswers.push_back(IDNO);
  EXPECT_EQ(Os().user.MessageBoxA(nullptr, "a", "エラー", MB_YESNO | MB_ICONEXCLAMATION), IDNO);
  EXPECT_EQ(Os().user.MessageBoxA(nullptr, "b", "c", MB_YESNO | MB_ICONEXCLAMATION), IDYES);
  EXPECT_EQ(Os().user.MessageBoxA(nullptr, "d", "e", MB_OK | MB_ICONERROR), IDOK);
  os.user.yesNoAnswer = IDNO;
  EXPECT_EQ(Os().user.MessageBoxA(nullptr, "f", "g", MB_YESNO), IDNO);
  ASSERT_EQ(os.user.messageBoxes.size(), 4u);
  EXPECT_EQ(os.user.messageBoxes[0].caption, "エラー");
  EXPECT_EQ(os.user.messageBoxes[2].type, MB_OK | MB_ICONERROR);
}

TEST_F(FakePlatformTest, RegisteredMessagesAreStablePerName) {
  const UINT icon = Os().user.RegisterWindowMessageA("IconNotify");
  const UINT other = Os().user.RegisterWindowMessageA("Other");
  EXPECT_GE(icon, 0xC000u);
  EXPECT_NE(icon, other);
  EXPECT_EQ(Os().user.RegisterWindowMessageA("ICONNOTIFY"), icon);
}

TEST_F(FakePlatformTest, TheTrayIconFollowsAddModifyAndDelete) {
  HWND window = reinterpret_cast<HWND>(uintptr_t{0x5000});
  EXPECT_FALSE(os.shell.IconAdded(window));
  Os().shell.Shell_NotifyIconA(NIM_ADD, {window, NIF_MESSAGE | NIF_ICON | NIF_TIP, 0xC000,
                                         reinterpret_cast<HICON>(uintptr_t{1}), "Norva"});
  // A change of the tip alone keeps the icon.
  Os().shell.Shell_NotifyIconA(NIM_MODIFY, {window, NIF_TIP, 0, nullptr, "512.0MB Free"});
  auto icon = os.shell.CurrentIcon(window);
  ASSERT_TRUE(icon.has_value());
  EXPECT_EQ(icon->szTip, "512.0MB Free");
  EXPECT_EQ(icon->hIcon, reinterpret_cast<HICON>(uintptr_t{1}));
  EXPECT_EQ(icon->uCallbackMessage, 0xC000u);

  Os().shell.Shell_NotifyIconA(NIM_DELETE, {window});
  EXPECT_FALSE(os.shell.IconAdded(window));
}

TEST_F(FakePlatformTest, IconResourcesLoadByNameOnly) {
  HICON normal = Os().user.LoadIconResource("TASKTRAY00", 16, 16, LR_SHARED | LR_DEFAULTSIZE);
  HICON cleaning = Os().user.LoadIconResource("TASKTRAY01", 16, 16, LR_SHARED | LR_DEFAULTSIZE);
  EXPECT_NE(normal, nullptr);
  EXPECT_NE(cleaning, nullptr);
  EXPECT_NE(normal, cleaning);
  EXPECT_EQ(Os().user.LoadIconResource("TASKTRAY00", 16, 16, LR_SHARED), normal);
  EXPECT_EQ(os.user.IconName(cleaning), "TASKTRAY01");
  os.user.knownIcons.erase("TASKTRAY01");
  EXPECT_EQ(Os().user.LoadIconResource("TASKTRAY01", 16, 16, LR_SHARED), nullptr);
}

TEST_F(FakePlatformTest, DynamicDataReadsLikeTheRegistryOfThe9xFamily) {
  os.registry.SetDynData("PerfStats\\StatData", "KERNEL\\CPUUsage", 42);
  HKEY key = nullptr;
  ASSERT_EQ(
      Os().registry.RegOpenKeyExA(HKEY_DYN_DATA, "PERFSTATS\\STATDATA", 0, KEY_ALL_ACCESS, &key),
      0);
  DWORD type = REG_DWORD, size = 4, value = 0;
  EXPECT_EQ(Os().registry.RegQueryValueExA(key, "KERNEL\\CPUUsage", &type, &value, &size), 0);
  EXPECT_EQ(value, 42u);
  EXPECT_EQ(size, 4u);
  EXPECT_NE(Os().registry.RegQueryValueExA(key, "KERNEL\\Other", &type, &value, &size), 0);
  EXPECT_EQ(os.registry.OpenKeys(), 1);
  EXPECT_EQ(Os().registry.RegCloseKey(key), 0);
  EXPECT_EQ(os.registry.OpenKeys(), 0);
  EXPECT_NE(Os().registry.RegCloseKey(key), 0) << "a key closes once";

  // Keys that do not exist (or another root) do not open.
  HKEY none = nullptr;
  EXPECT_NE(
      Os().registry.RegOpenKeyExA(HKEY_DYN_DATA, "PerfStats\\Nothing", 0, KEY_ALL_ACCESS, &none),
      0);
  os.registry.dynDataKeys.clear();
  EXPECT_NE(
      Os().registry.RegOpenKeyExA(HKEY_DYN_DATA, "PerfStats\\StatData", 0, KEY_ALL_ACCESS, &none),
      0);
  EXPECT_EQ(os.registry.OpenKeys(), 0);
}

}  // namespace
}  // namespace norva
