// Runs the INI case table against the real private-profile functions (under
// Wine or Windows): one line per failing case, then "N passed, M failed".
// The files go to the folder given as the first argument, or else to the
// temporary folder, and are removed again.
#include <exception>
#include <filesystem>
#include <iostream>

#include "IniCases.h"
#include "platform/win32/Win32Platform.h"

int main(int argc, char** argv) {
  try {
    std::string directory = argc > 1 ? argv[1] : std::filesystem::temp_directory_path().string();
    norva::conformance::StreamFileAccess files;
    const int failed = norva::conformance::RunIniCases(
        norva::platform::win32::Win32Platform().profile, files, directory, std::cout);
    return failed == 0 ? 0 : 1;
  } catch (const std::exception& error) {
    std::cout << "error: " << error.what() << "\n";
    return 2;
  }
}
