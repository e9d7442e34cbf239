#pragma once
// The run report (--report FILE): a JSON document of what the run did, for
// the tools that call the program. Written once the run ends, whatever its
// outcome, under a partial name and renamed onto FILE when whole.

#include <string>
#include <vector>

struct RunState;

struct RunReportContext {
  std::vector<std::string> arguments;  // the command line after the program's name
  std::string workingFolder;
  int exitStatus = 0;
};

// The document's format version: raised whenever a field changes meaning
// or goes away (new fields do not raise it).
constexpr int kRunReportVersion = 1;

// The report as JSON text.
std::string runReportText(const RunState& run, const RunReportContext& context);
// Writes the report to the --report file, if the run has one. False, after a
// line on standard error, when it could not be written whole; nothing is
// left under its name then.
bool writeRunReport(const RunState& run, const RunReportContext& context);
