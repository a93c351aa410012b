// The command-line companion: runs the engine as the desktop program would and prints
// what its results pane would show.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace corvanel {

// Exit statuses.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// Runs the command line `args` (without the program name); returns the exit status.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace corvanel
