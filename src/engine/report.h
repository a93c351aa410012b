// The analysis report: a header and three sections (errors, content, addressing),
// appended line by line to the results pane.
#pragma once

#include <string>

#include "engine/run_host.h"
#include "engine/run_stats.h"
#include "util/regional.h"

namespace corvanel {

void AppendReport(const RunStats& stats, const std::string& log_path,
                  const RegionalSettings& regional, RunHost& host);

}  // namespace corvanel
