// Texts that a run shows to the user.
#pragma once

namespace corvanel::messages {

inline constexpr char kNoLogFileOpened[] = "No log file opened.";
inline constexpr char kLogFileNotExists[] = "Log file not exists.";
inline constexpr char kExportIsLogFile[] = "The export file cannot be the log file.";
inline constexpr char kReportIsLogFile[] = "The report file cannot be the log file.";
// Followed by a line break and the failure's own text.
inline constexpr char kUnableToFinish[] = "Unable to finish the file processing";
inline constexpr char kOutOfMemory[] = "Out of memory";

}  // namespace corvanel::messages
