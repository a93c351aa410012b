#include "engine/report_file.h"

#include "engine/file_system.h"
#include "export/export_file.h"

namespace corvanel {

void WriteReportFile(const std::vector<std::string>& lines, const std::string& path) {
  std::unique_ptr<OutputStream> stream;
  try {
    stream = PosixFileSystem().CreateOutput(path);
  } catch (const FileError&) {
    throw FileError("Cannot create file " + path);
  }
  ExportFile file(std::move(stream));
  try {
    for (const std::string& line : lines) {
      file.Write(line);
      file.Write("\r\n");
    }
    file.Close();
  } catch (const FileError& error) {
    throw FileError("Cannot write file " + path + ": " + error.what());
  }
}

}  // namespace corvanel
