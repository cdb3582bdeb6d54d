// Whole files the program owns besides its settings (the cleaning history):
// read at once, written as a new file beside and put in place in one step,
// so that a crash or a full disk leaves either the old file or the new one.
// Shaped after CreateFileW/ReadFile/WriteFile/FlushFileBuffers, MoveFileExW
// and DeleteFileW; results are Win32 error codes.
#pragma once

#include <string>

#include "platform/Desktop.h"
#include "platform/Platform.h"
#include "platform/Toolhelp.h"

namespace norva::win {
constexpr DWORD ERROR_SHARING_VIOLATION = 32;
constexpr DWORD ERROR_DISK_FULL = 112;
}  // namespace norva::win

namespace norva::platform {

class IFiles {
 public:
  virtual ~IFiles() = default;
  // The whole file; ERROR_FILE_NOT_FOUND when there is none.
  virtual DWORD ReadWholeFile(const std::string& path, std::string& bytes) = 0;
  // Creates or truncates the file and writes every byte, flushed to the
  // disk; any failure is returned (the file may then hold part of them).
  virtual DWORD WriteNewFile(const std::string& path, const std::string& bytes) = 0;
  // Puts from in the place of to in one step, replacing it.
  virtual DWORD MoveFileReplacing(const std::string& from, const std::string& to) = 0;
  virtual DWORD RemoveFile(const std::string& path) = 0;
};

// Where none is installed: no file exists and none can be written.
IFiles& NoFiles();

}  // namespace norva::platform
