// What a run needs from its front end: the gauge, error messages and report lines.
#pragma once

#include <string>

namespace corvanel {

class RunHost {
 public:
  virtual ~RunHost() = default;
  // Redraws the whole window once as the run starts; afterwards only the gauge redraws.
  virtual void RepaintWindow() {}
  // Moves the progress gauge to `position` (0 to 100); the gauge redraws itself at once.
  virtual void SetGauge(int position) = 0;
  // Shows an error; the text may hold line breaks ("\n").
  virtual void ShowError(const std::string& message) = 0;
  // Appends one line to the results pane.
  virtual void AppendReportLine(const std::string& line) = 0;
};

}  // namespace corvanel
