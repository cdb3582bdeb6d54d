// The process entry, apart from the native start-up: the single-instance
// rule, the application and the main window's life.
#pragma once

#include <string>
#include <vector>

namespace norva {

// Runs the program with the arguments after its name; returns the exit code.
int RunNorva(std::vector<std::string> args);

}  // namespace norva
