// vantle_submit <submit description>
//
// Queues the jobs of a submit description on the batch pool. Before it
// accepts a description it checks that the description is well formed and
// that every file the jobs need lies in the current directory, since the
// jobs find their input files there by bare name. An entry of the transfer
// line may be a folder there, sent with its layout, when it holds nothing
// but folders and plain files: a link or a device would send something
// else than what the folder seems to hold, or nothing.
//
// A description is the user's header (free "key = value" lines, comments
// and blank lines), at most one "transfer_input_files = a, b, c" line, and
// one or more jobs, each an "Arguments = ..." line followed at once by a
// "Queue" line. The last word of an Arguments line is the scene the job
// renders. After the header only the transfer line and the jobs may
// stand, with blank lines before each job: a line slipped in there by a
// file name that held a line break would be a key or a job nobody wrote.
//
// Exit status: 0 when the jobs were queued, 1 for a wrong command line,
// 2 when the description is malformed or names a file that is not there.
//
// Plain C++17 and <filesystem> only: the tool is built for every platform
// the pool's users submit from.

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <system_error>
#include <vector>

namespace {

constexpr int kQueued = 0;
constexpr int kUsage = 1;
constexpr int kRejected = 2;

const char kTool[] = "vantle_submit: ";

struct Line {
  std::size_t number = 0;  // 1-based, as an editor shows it
  std::string text;        // without its line end
};

struct Job {
  std::size_t line = 0;
  std::string scene;
};

std::string trim(const std::string& text) {
  const char* blanks = " \t";
  std::size_t first = text.find_first_not_of(blanks);
  if (first == std::string::npos) return std::string();
  std::size_t last = text.find_last_not_of(blanks);
  return text.substr(first, last - first + 1);
}

std::string lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// A name as the file system takes it. Names are UTF-8 (on Windows the
// code page the manifest sets); a path built from a plain std::string
// would be read in another code page there.
std::filesystem::path fileSystemPath(const std::string& name) { return std::filesystem::u8path(name); }

// Reads the whole file; nullopt when it cannot be read.
std::optional<std::string> readWhole(const std::string& path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(fileSystemPath(path), error)) return std::nullopt;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return std::nullopt;
  std::string bytes;
  char buffer[4096];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
  bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) return std::nullopt;
  return bytes;
}

// Splits at line feeds; a carriage return before a line feed belongs to the
// line end. A last line without a line end is still a line.
std::vector<Line> splitLines(const std::string& bytes) {
  std::vector<Line> lines;
  std::size_t start = 0;
  std::size_t number = 1;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    std::size_t next = end == std::string::npos ? bytes.size() : end + 1;
    if (end == std::string::npos) end = bytes.size();
    std::string text = bytes.substr(start, end - start);
    if (!text.empty() && text.back() == '\r') text.pop_back();
    lines.push_back({number++, text});
    start = next;
  }
  return lines;
}

enum class Kind { kBlank, kComment, kTransfer, kArguments, kQueue, kOther };

struct Classified {
  Kind kind = Kind::kOther;
  std::string value;  // the text after '=' for transfer and Arguments lines
};

Classified classify(const std::string& text) {
  std::string trimmed = trim(text);
  if (trimmed.empty()) return {Kind::kBlank, {}};
  if (trimmed[0] == '#') return {Kind::kComment, {}};
  if (lower(trimmed) == "queue") return {Kind::kQueue, {}};
  std::size_t equals = trimmed.find('=');
  if (equals == std::string::npos) return {Kind::kOther, {}};
  std::string key = lower(trim(trimmed.substr(0, equals)));
  std::string value = trim(trimmed.substr(equals + 1));
  if (key == "transfer_input_files") return {Kind::kTransfer, value};
  if (key == "arguments") return {Kind::kArguments, value};
  return {Kind::kOther, {}};
}

std::string lastWord(const std::string& text) {
  const char* blanks = " \t";
  std::size_t last = text.find_last_not_of(blanks);
  if (last == std::string::npos) return std::string();
  std::size_t before = text.find_last_of(blanks, last);
  std::size_t first = before == std::string::npos ? 0 : before + 1;
  return text.substr(first, last - first + 1);
}

std::vector<std::string> splitList(const std::string& value) {
  std::vector<std::string> names;
  std::size_t start = 0;
  while (true) {
    std::size_t comma = value.find(',', start);
    names.push_back(trim(value.substr(start, comma == std::string::npos ? std::string::npos : comma - start)));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return names;
}

class Checker {
 public:
  void problem(const std::string& text) { problems_.push_back(text); }
  void problemAt(std::size_t line, const std::string& text) {
    problem("line " + std::to_string(line) + ": " + text);
  }
  const std::vector<std::string>& problems() const { return problems_; }

  // The name must be a file of the current directory, given by bare name,
  // or, where `folders` allows, a folder there of folders and plain files.
  void checkPresent(const std::string& name, const std::string& what, bool folders = false) {
    if (!checked_.insert(name).second) return;
    if (name.find('/') != std::string::npos || name.find('\\') != std::string::npos || name == "." ||
        name == "..") {
      problem(what + " '" + name + "' is not a bare file name.");
      return;
    }
    std::error_code error;
    std::filesystem::path path = fileSystemPath(name);
    if (std::filesystem::is_regular_file(path, error)) return;
    const std::filesystem::file_type type = std::filesystem::symlink_status(path, error).type();
    if (type == std::filesystem::file_type::directory && folders) {
      checkFolder(path, name, what);
    } else if (type == std::filesystem::file_type::directory) {
      problem(what + " '" + name + "' is a directory, not a file.");
    } else if (type == std::filesystem::file_type::not_found || type == std::filesystem::file_type::none) {
      problem(what + " '" + name + "' is not in the current directory.");
    } else {
      problem(what + " '" + name + "' is neither a plain file nor a folder.");
    }
  }

 private:
  void checkFolder(const std::filesystem::path& folder, const std::string& name, const std::string& what) {
    std::error_code error;
    std::filesystem::recursive_directory_iterator entry(folder, error);
    for (; !error && entry != std::filesystem::recursive_directory_iterator(); entry.increment(error)) {
      const std::filesystem::file_type type = entry->symlink_status(error).type();
      if (!error && type != std::filesystem::file_type::directory && type != std::filesystem::file_type::regular) {
        problem(what + " '" + name + "' holds '" + entry->path().u8string() +
                "', which is neither a plain file nor a folder.");
        return;
      }
    }
    if (error) problem(what + " '" + name + "' cannot be read: " + error.message() + ".");
  }

  std::vector<std::string> problems_;
  std::set<std::string> checked_;
};

bool startsJobs(const std::vector<Line>& lines, std::size_t index) {
  Classified here = classify(lines[index].text);
  if (here.kind == Kind::kTransfer) return true;
  if (here.kind != Kind::kArguments) return false;
  return index + 1 < lines.size() && classify(lines[index + 1].text).kind == Kind::kQueue;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "%susage: vantle_submit <submit description>\n", kTool);
    return kUsage;
  }
  const std::string descriptionPath = argv[1];
  std::optional<std::string> bytes = readWhole(descriptionPath);
  if (!bytes) {
    std::fprintf(stderr, "%scannot read the submit description '%s'.\n", kTool, descriptionPath.c_str());
    return kRejected;
  }
  const std::vector<Line> lines = splitLines(*bytes);
  Checker checker;

  // The header runs up to the transfer line or the first Arguments line
  // that a Queue line follows; what it says is the user's business.
  std::size_t index = 0;
  for (; index < lines.size() && !startsJobs(lines, index); ++index) {
    const Line& line = lines[index];
    Classified classified = classify(line.text);
    if (classified.kind == Kind::kQueue) {
      checker.problemAt(line.number, "Queue without an Arguments line before it.");
    } else if (lower(line.text).find("transfer_input_files") != std::string::npos &&
               classified.kind != Kind::kComment) {
      // What the header ends with and what follows it have run together.
      checker.problemAt(line.number,
                        "transfer_input_files does not begin its line; does the line before it lack "
                        "its line end?");
    }
  }

  std::optional<std::size_t> transferLine;
  std::vector<std::string> transferNames;
  std::vector<Job> jobs;
  for (; index < lines.size(); ++index) {
    const Line& line = lines[index];
    Classified classified = classify(line.text);
    switch (classified.kind) {
      case Kind::kBlank: {
        std::size_t next = index + 1;
        while (next < lines.size() && classify(lines[next].text).kind == Kind::kBlank) ++next;
        if (next == lines.size() || classify(lines[next].text).kind != Kind::kArguments) {
          checker.problemAt(line.number, "a blank line that no job follows.");
        }
        index = next - 1;
        break;
      }
      case Kind::kTransfer:
        if (!jobs.empty()) {
          checker.problemAt(line.number, "transfer_input_files comes after the first job.");
        } else if (transferLine) {
          checker.problemAt(line.number, "a second transfer_input_files line (the first is line " +
                                             std::to_string(*transferLine) + ").");
        } else {
          transferLine = line.number;
          transferNames = splitList(classified.value);
          for (const std::string& name : transferNames) {
            if (name.empty()) checker.problemAt(line.number, "transfer_input_files has an empty name.");
          }
        }
        break;
      case Kind::kArguments: {
        bool queued = index + 1 < lines.size() && classify(lines[index + 1].text).kind == Kind::kQueue;
        if (!queued) {
          checker.problemAt(line.number, "an Arguments line must be followed by a Queue line.");
          break;
        }
        std::string scene = lastWord(classified.value);
        if (scene.empty()) checker.problemAt(line.number, "the Arguments line names no scene.");
        jobs.push_back({line.number, scene});
        ++index;  // its Queue line
        break;
      }
      case Kind::kQueue:
        checker.problemAt(line.number, "Queue without an Arguments line before it.");
        break;
      case Kind::kComment:
      case Kind::kOther:
        checker.problemAt(line.number, "expected an Arguments or a Queue line, found '" + line.text + "'.");
        break;
    }
  }
  if (jobs.empty()) checker.problem("the description queues no job.");

  std::set<std::string> toTransfer;
  for (const std::string& name : transferNames) {
    if (name.empty()) continue;
    toTransfer.insert(name);
    checker.checkPresent(name, "file to transfer", true);
  }
  std::set<std::string> scenesReported;
  for (const Job& job : jobs) {
    if (job.scene.empty()) continue;
    checker.checkPresent(job.scene, "scene");
    if (toTransfer.count(job.scene) == 0 && scenesReported.insert(job.scene).second) {
      checker.problemAt(job.line, "the scene '" + job.scene + "' is not among the files to transfer.");
    }
  }

  if (!checker.problems().empty()) {
    for (const std::string& text : checker.problems()) std::fprintf(stderr, "%s%s\n", kTool, text.c_str());
    std::fprintf(stderr, "%s'%s' was not submitted.\n", kTool, descriptionPath.c_str());
    return kRejected;
  }
  const unsigned long jobCount = static_cast<unsigned long>(jobs.size());
  const unsigned long fileCount = static_cast<unsigned long>(toTransfer.size());
  std::printf("%s%lu job%s queued, %lu file%s to transfer.\n", kTool, jobCount, jobCount == 1 ? "" : "s",
              fileCount, fileCount == 1 ? "" : "s");
  std::fflush(stdout);
  return kQueued;
}
