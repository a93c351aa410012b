#include "cli/cli.h"

#include <array>
#include <cstring>
#include <map>
#include <optional>
#include <ostream>
#include <string_view>

#include "engine/file_system.h"
#include "engine/messages.h"
#include "engine/report_file.h"
#include "engine/run.h"

namespace corvanel {

namespace {

constexpr char kProgram[] = "corvanel-cli";
constexpr char kVersion[] = "0.94";

struct OptionSpec {
  std::string_view name;
  std::string_view value;  // empty: a flag without a value
  std::string_view commands;
  std::string_view help;
};

// The single source of the options: parsing and --help both read it.
constexpr std::array<OptionSpec, 7> kOptions{{
    {"--type", "auto|text|binary", "analyze export",
     "log type: detect from the first 2048 bytes (default), or force text or binary"},
    {"-o", "REPORT", "analyze", "write the report to REPORT with CR LF line ends"},
    {"--mode", "keep|remove|outside", "export",
     "good frames keeping their stuffing, without it (default), or the data outside frames"},
    {"--no-details", "", "export", "write the frame lines only, without decoded details"},
    {"--address", "TEXT", "export", "only frames whose address word in 4 hex digits is TEXT"},
    {"--mecs", "TEXT", "export",
     "only frames with an element whose code (2 hex digits) is in TEXT"},
    {"--help", "", "", "show this help and exit"},
}};

// One line of the option list, its help starting in column 31.
void PrintOptionLine(std::ostream& out, const std::string& head, std::string_view help) {
  out << head << std::string(head.size() < 30 ? 30 - head.size() : 1, ' ') << help << "\n";
}

void PrintHelp(std::ostream& out) {
  out << "Usage:\n"
      << "  " << kProgram << " analyze [--type auto|text|binary] [-o REPORT] LOG\n"
      << "  " << kProgram << " export  [--type auto|text|binary] [--mode keep|remove|outside]\n"
      << "                       [--no-details] [--address TEXT] [--mecs TEXT] LOG OUTPUT\n"
      << "  " << kProgram << " --help | --version\n\n"
      << "Checks every UECP frame of a log of raw bytes or hexadecimal text. 'analyze' prints\n"
      << "the three-section report; 'export' writes the good frames as hexadecimal text, or\n"
      << "the bytes outside frames, to OUTPUT.\n\nOptions:\n";
  for (const OptionSpec& option : kOptions) {
    std::string head = "  ";
    head += option.name;
    if (!option.value.empty()) {
      head += ' ';
      head += option.value;
    }
    PrintOptionLine(out, head, option.help);
  }
  PrintOptionLine(out, "  --version", "show the version and exit");
  out << "\nExit status: 0 success, 1 the run failed (message on stderr), 2 usage error.\n";
}

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct ParsedCommand {
  std::string command;
  std::map<std::string_view, std::string> options;
  std::vector<std::string> operands;
};

const OptionSpec* FindOption(std::string_view name) {
  for (const OptionSpec& option : kOptions) {
    if (option.name == name) return &option;
  }
  return nullptr;
}

ParsedCommand Parse(const std::vector<std::string>& args) {
  ParsedCommand parsed;
  parsed.command = args.front();
  bool options_end = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (options_end || arg.size() < 2 || arg[0] != '-') {
      parsed.operands.push_back(arg);
      continue;
    }
    if (arg == "--") {
      options_end = true;
      continue;
    }
    const auto equals = arg.find('=');
    const std::string_view name = std::string_view(arg).substr(0, equals);
    const OptionSpec* option = FindOption(name);
    if (!option || option->name == "--help" ||
        option->commands.find(parsed.command) == std::string_view::npos) {
      throw UsageError("unknown option '" + arg + "' for '" + parsed.command + "'");
    }
    if (option->value.empty()) {
      if (equals != std::string::npos)
        throw UsageError("option '" + std::string(name) + "' takes no value");
      parsed.options[option->name] = "";
    } else if (equals != std::string::npos) {
      parsed.options[option->name] = arg.substr(equals + 1);
    } else if (i + 1 < args.size()) {
      parsed.options[option->name] = args[++i];
    } else {
      throw UsageError("option '" + std::string(name) + "' needs a value");
    }
  }
  return parsed;
}

LogTypeSelection ParseType(const ParsedCommand& parsed) {
  const auto it = parsed.options.find("--type");
  if (it == parsed.options.end() || it->second == "auto") return LogTypeSelection::Autodetect;
  if (it->second == "text") return LogTypeSelection::Text;
  if (it->second == "binary") return LogTypeSelection::Binary;
  throw UsageError("--type must be auto, text or binary, not '" + it->second + "'");
}

ExportMode ParseMode(const ParsedCommand& parsed) {
  const auto it = parsed.options.find("--mode");
  if (it == parsed.options.end() || it->second == "remove") return kFramesRemoveStuffing;
  if (it->second == "keep") return kFramesKeepStuffing;
  if (it->second == "outside") return kOutsideData;
  throw UsageError("--mode must be keep, remove or outside, not '" + it->second + "'");
}

void ExpectOperands(const ParsedCommand& parsed, std::size_t count, const char* names) {
  if (parsed.operands.size() < count) throw UsageError(std::string("missing ") + names);
  if (parsed.operands.size() > count) {
    throw UsageError("unexpected argument '" + parsed.operands[count] + "'");
  }
}

// Shows errors on stderr; report lines go to stdout or are kept for a report file.
class CliHost final : public RunHost {
 public:
  CliHost(std::ostream& out, std::ostream& err, bool keep_lines)
      : out_(out), err_(err), keep_lines_(keep_lines) {}

  void SetGauge(int) override {}
  void ShowError(const std::string& message) override {
    err_ << message << "\n";
    failed_ = true;
  }
  void AppendReportLine(const std::string& line) override {
    if (keep_lines_) {
      lines_.push_back(line);
    } else {
      out_ << line << '\n';
    }
  }

  bool failed() const { return failed_; }
  const std::vector<std::string>& lines() const { return lines_; }

 private:
  std::ostream& out_;
  std::ostream& err_;
  bool keep_lines_;
  bool failed_ = false;
  std::vector<std::string> lines_;
};

int Analyze(const ParsedCommand& parsed, std::ostream& out, std::ostream& err) {
  ExpectOperands(parsed, 1, "LOG");
  RunInputs inputs;
  inputs.LogPath = parsed.operands[0];
  inputs.LogType = ParseType(parsed);
  const auto report_path = parsed.options.find("-o");
  const bool to_file = report_path != parsed.options.end();
  // Writing the report over the log would lose the log.
  if (to_file && PosixFileSystem().SameFile(inputs.LogPath, report_path->second)) {
    err << messages::kReportIsLogFile << "\n";
    return kExitFailure;
  }
  CliHost host(out, err, to_file);
  ProcessUECP(inputs, host);
  bool failed = host.failed();
  if (to_file && !host.lines().empty()) {
    try {
      WriteReportFile(host.lines(), report_path->second);
    } catch (const FileError& error) {
      err << error.what() << "\n";
      failed = true;
    }
  }
  out.flush();
  if (!out) {
    err << kProgram << ": cannot write the report to standard output\n";
    failed = true;
  }
  return failed ? kExitFailure : kExitSuccess;
}

int Export(const ParsedCommand& parsed, std::ostream& out, std::ostream& err) {
  ExpectOperands(parsed, 2, "LOG and OUTPUT");
  RunInputs inputs;
  inputs.LogPath = parsed.operands[0];
  inputs.ExportPath = parsed.operands[1];
  inputs.LogType = ParseType(parsed);
  inputs.Mode = ParseMode(parsed);
  inputs.Export.IncludeDetails = !parsed.options.count("--no-details");
  if (const auto it = parsed.options.find("--address"); it != parsed.options.end()) {
    inputs.Export.FilterAddress = true;
    inputs.Export.AddressText = it->second;
  }
  if (const auto it = parsed.options.find("--mecs"); it != parsed.options.end()) {
    inputs.Export.FilterMecs = true;
    inputs.Export.MecText = it->second;
  }
  CliHost host(out, err, false);
  ProcessUECP(inputs, host);
  return host.failed() ? kExitFailure : kExitSuccess;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
    PrintHelp(out);
    return kExitSuccess;
  }
  if (!args.empty() && args[0] == "--version") {
    out << kProgram << " " << kVersion << "\n";
    return kExitSuccess;
  }
  try {
    if (args.empty()) throw UsageError("missing command (analyze or export)");
    if (args[0] != "analyze" && args[0] != "export") {
      throw UsageError("unknown command '" + args[0] + "'");
    }
    for (const std::string& arg : args) {
      if (arg == "--help" || arg == "-h") {
        PrintHelp(out);
        return kExitSuccess;
      }
    }
    const ParsedCommand parsed = Parse(args);
    return parsed.command == "analyze" ? Analyze(parsed, out, err) : Export(parsed, out, err);
  } catch (const UsageError& error) {
    err << kProgram << ": " << error.what() << "\nTry '" << kProgram << " --help'.\n";
    return kExitUsage;
  }
}

}  // namespace corvanel
