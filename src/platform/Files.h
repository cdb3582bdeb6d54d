// Whole files on disk, shaped after the kernel's file calls (CreateFileW,
// ReadFile, WriteFile, FlushFileBuffers, CloseHandle, MoveFileExW,
// DeleteFileW): what a save needs to replace a file whole or not at all.
// Paths cross as UTF-8, as everywhere in the platform.
#pragma once

#include <string>

#include "platform/Desktop.h"
#include "platform/Platform.h"

namespace norva::win {
constexpr DWORD GENERIC_READ = 0x80000000u;
constexpr DWORD GENERIC_WRITE = 0x40000000u;
constexpr DWORD CREATE_ALWAYS = 2;
constexpr DWORD OPEN_EXISTING = 3;
constexpr DWORD MOVEFILE_REPLACE_EXISTING = 0x1;
constexpr DWORD MOVEFILE_WRITE_THROUGH = 0x8;
constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x1;
constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
constexpr DWORD ERROR_WRITE_FAULT = 29;
constexpr DWORD ERROR_SHARING_VIOLATION = 32;
constexpr DWORD ERROR_HANDLE_DISK_FULL = 39;
constexpr DWORD ERROR_DISK_FULL = 112;
}  // namespace norva::win

namespace norva::platform {

class IFiles {
 public:
  virtual ~IFiles() = default;
  // No sharing while open, normal attributes; INVALID_HANDLE_VALUE on failure.
  virtual HANDLE CreateFileW(const std::string& path, DWORD access, DWORD disposition) = 0;
  virtual BOOL ReadFile(HANDLE file, void* buffer, DWORD size, DWORD* read) = 0;
  virtual BOOL WriteFile(HANDLE file, const void* data, DWORD size, DWORD* written) = 0;
  virtual BOOL FlushFileBuffers(HANDLE file) = 0;
  virtual BOOL CloseHandle(HANDLE file) = 0;
  virtual BOOL MoveFileExW(const std::string& from, const std::string& to, DWORD flags) = 0;
  virtual BOOL DeleteFileW(const std::string& path) = 0;
  virtual DWORD GetFileAttributesW(const std::string& path) = 0;
  // The error of the last call that failed.
  virtual DWORD GetLastError() = 0;
  // The system's own text for an error code (FormatMessage), without its
  // line end; "" when the system has none.
  virtual std::string ErrorText(DWORD error) = 0;
  // A text in the system's ANSI code page, as the profile functions' ANSI
  // forms convert it (a character the code page lacks becomes its stand-in).
  virtual std::string ToAnsi(const std::string& utf8) = 0;
};

// Where none is installed: every call fails.
IFiles& NoFiles();

}  // namespace norva::platform
