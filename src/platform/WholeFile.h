// A file read whole, and a file replaced whole or not at all: the new bytes
// go to a file beside the old one, every write is checked, and one rename
// puts them in the old one's place. On any failure the new file is removed
// and the old one stays as it was.
#pragma once

#include <optional>
#include <string>

#include "platform/Files.h"

namespace norva::platform {

struct FileRead {
  std::optional<std::string> bytes;  // nullopt: missing (error 0) or unreadable
  DWORD error = 0;                   // why an existing file could not be read
};
FileRead ReadWholeFile(IFiles& files, const std::string& path);

// The file beside path that a replacement is written to first.
std::string ReplacementPath(const std::string& path);
// 0 when path now holds exactly bytes; otherwise the system's error code,
// and path is untouched.
DWORD ReplaceWholeFile(IFiles& files, const std::string& path, const std::string& bytes);

}  // namespace norva::platform
