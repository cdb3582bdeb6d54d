// How the private-profile (INI) functions behave, as one table of cases run
// both natively against the fake profile and under Wine against the real
// calls, so that the fake cannot drift away from Windows.
//
// Standard C++ only: this compiles with the native compiler and with MinGW.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace norva::conformance {

// One call and what it must give.
struct IniStep {
  enum class Kind { ReadInt, ReadString, Write };
  Kind kind = Kind::ReadString;
  const char* section = nullptr;
  const char* key = nullptr;
  const char* value = nullptr;  // Write: the value (null deletes); ReadString: the default
  int defaultInt = 0;           // ReadInt
  int expectInt = 0;            // ReadInt
  const char* expectText = "";  // ReadString
  bool expectSuccess = true;    // Write: whether the call returns non-zero
};

// What the file must look like after the steps.
enum class FileCheck {
  None,
  Exact,               // byte for byte
  IgnoringBlankLines,  // Wine rewrites the file without its blank lines
  Missing,             // there is still no file
};

struct IniCase {
  std::string name;                   // an identifier, also used as the file name
  std::optional<std::string> before;  // the file's text at the start; nullopt: no file
  std::vector<IniStep> steps;
  FileCheck check = FileCheck::None;
  std::string after;
};

const std::vector<IniCase>& IniCases();

// How the runner puts a case's file in place and reads it back: real files
// for the Windows calls, the fake's own store natively.
class IniFileAccess {
 public:
  virtual ~IniFileAccess() = default;
  virtual void Put(const std::string& path, const std::string& text) = 0;
  virtual void Remove(const std::string& path) = 0;
  virtual std::optional<std::string> Get(const std::string& path) = 0;
};

// Real files through the standard streams, in binary so "\r\n" stays as is.
class StreamFileAccess : public IniFileAccess {
 public:
  void Put(const std::string& path, const std::string& text) override;
  void Remove(const std::string& path) override;
  std::optional<std::string> Get(const std::string& path) override;
};

// The file of a case inside directory.
std::string IniCasePath(const IniCase& c, const std::string& directory);

// Runs one case in its own file; returns one line per mismatch (empty when
// the case holds). The file is removed afterwards.
std::vector<std::string> CheckIniCase(const IniCase& c, platform::IProfile& profile,
                                      IniFileAccess& files, const std::string& directory);

// Runs every case; writes one line per failing case and then the closing
// line "N passed, M failed". Returns M.
int RunIniCases(platform::IProfile& profile, IniFileAccess& files, const std::string& directory,
                std::ostream& report);

}  // namespace norva::conformance
