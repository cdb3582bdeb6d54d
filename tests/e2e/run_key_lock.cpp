// run_key_lock.exe: denies or gives back the right to change the start-up
// key HKCU\Software\Microsoft\Windows\CurrentVersion\Run, as a policy or
// another program's security settings would, for the end-to-end case of a
// start-up entry the registry refuses (cases_extra.sh).
//
//   run_key_lock deny     changes to the key's values are refused to everyone
//   run_key_lock allow    everyone may change them again
//
// Prints "denied" or "allowed" once a write is refused or taken as asked.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// Whether the key opens for changing its values.
bool Writable() {
  HKEY key;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
    return false;
  ::RegCloseKey(key);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const bool deny = argc == 2 && std::strcmp(argv[1], "deny") == 0;
  if (argc != 2 || (!deny && std::strcmp(argv[1], "allow") != 0)) {
    std::fprintf(stderr, "usage: run_key_lock deny|allow\n");
    return 2;
  }
  HKEY key;
  LONG status = ::RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0,
                                  WRITE_DAC | READ_CONTROL, nullptr, &key, nullptr);
  if (status != ERROR_SUCCESS) {
    std::printf("open failed %ld\n", status);
    return 1;
  }
  SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
  PSID everyone = nullptr;
  if (!::AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone)) {
    std::printf("no sid %lu\n", ::GetLastError());
    return 1;
  }
  alignas(DWORD) BYTE buffer[256];
  PACL acl = reinterpret_cast<PACL>(buffer);
  SECURITY_DESCRIPTOR sd;
  const bool built =
      ::InitializeAcl(acl, sizeof buffer, ACL_REVISION) &&
      (!deny || ::AddAccessDeniedAce(acl, ACL_REVISION, KEY_SET_VALUE | DELETE, everyone)) &&
      ::AddAccessAllowedAce(acl, ACL_REVISION, KEY_ALL_ACCESS, everyone) &&
      ::InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION) &&
      ::SetSecurityDescriptorDacl(&sd, TRUE, acl, FALSE);
  status = built ? ::RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &sd)
                 : static_cast<LONG>(::GetLastError());
  ::RegCloseKey(key);
  ::FreeSid(everyone);
  if (status != ERROR_SUCCESS) {
    std::printf("security not set %ld\n", status);
    return 1;
  }
  if (Writable() == deny) {
    std::printf("the key is %s writable\n", deny ? "still" : "not");
    return 1;
  }
  std::printf(deny ? "denied\n" : "allowed\n");
  return 0;
}
