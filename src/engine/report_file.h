// Writes report lines to a file as Save Report does: each line followed by CR LF.
#pragma once

#include <string>
#include <vector>

namespace corvanel {

// Creates or replaces the file. Throws FileError "Cannot create file <path>" when it
// cannot be created, or "Cannot write file <path>: " and the system's text when writing
// or closing fails.
void WriteReportFile(const std::vector<std::string>& lines, const std::string& path);

}  // namespace corvanel
