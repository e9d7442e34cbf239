// On a terminal a copy shows one line on standard error, redrawn in place and cleared when the copy ends; with
// standard error in a file there is not a byte of it. Standard output is the same either way. (POSIX: `script`
// gives the program a pseudo-terminal.)
#ifndef _WIN32
#include "e2e/run_fixture.h"

namespace {
std::string quoted(const std::string& word) { return "'" + word + "'"; }
// What a terminal shows, without the progress lines, with line feeds alone.
std::string withoutProgress(std::string text) {
  for (std::size_t at; (at = text.find("\rCopying '")) != std::string::npos;) text.erase(at, text.find("\033[K", at) + 3 - at);
  for (std::size_t at; (at = text.find("\r\033[K")) != std::string::npos;) text.erase(at, 4);
  for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) text.erase(at, 1);
  return text;
}
}  // namespace

TEST_F(RunFixture, ProgressLine) {
  proj("sourceimages/big.tif", std::string(std::size_t{8} << 20, 'x'));
  proj("scenes/shot.ma", kMa + ftn("sourceimages/big.tif"));
  how.environment["VANTLE_PROGRESS_DELAY_MS"] = "0";  // shown from the first block on, however fast the copy
  const ProgramResult plain = render();
  EXPECT_EQ(plain.err, "");
  const std::string command = quoted(VANTLE_RENDER_EXE) + " -s 1 -e 1 " + quoted(at("scenes/shot.ma"));
  const struct { std::string redirect; bool shown; } rows[] = {{"", true}, {" 2>" + quoted(temp.at("err")), false}};
  for (const auto& row : rows) {
    temp.makeDir(work += "+");
    how.program = "script";
    const ProgramResult result = run({"-qfec", command + row.redirect, "/dev/null"});
    SCOPED_TRACE(result.out);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out.find("\rCopying 'big.tif': ") != std::string::npos, row.shown);
    EXPECT_EQ(result.out.find(" of 8.0 MiB, ") != std::string::npos, row.shown);
    // Cleared before the next line of standard output.
    EXPECT_EQ(result.out.find("\033[K\r\033[KFile 'big.tif' copied") != std::string::npos, row.shown);
    EXPECT_EQ(withoutProgress(result.out), plain.out);
    if (!row.shown) {
      EXPECT_EQ(readFile(temp.at("err")), "");
    }
    EXPECT_EQ(file("big.tif").size(), std::size_t{8} << 20);
  }
}
#endif
