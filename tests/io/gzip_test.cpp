// Gzip in memory: what gzip files hold comes back whole, and anything that
// is not whole gzip members is refused rather than read in part.
#include "io/gzip.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

// An Arnold scene file as the gzip tool writes it, with the file's name and
// time in its header.
const unsigned char kToolWritten[] = {
    0x1f, 0x8b, 0x08, 0x08, 0x88, 0xb1, 0x16, 0x6b, 0x00, 0x03, 0x73, 0x63, 0x65, 0x6e, 0x65, 0x2e, 0x61, 0x73,
    0x73, 0x00, 0xcb, 0x2f, 0x28, 0xc9, 0xcc, 0xcf, 0x2b, 0xe6, 0xaa, 0xe6, 0x52, 0xc8, 0x4b, 0xcc, 0x4d, 0x55,
    0xc8, 0x2f, 0x28, 0x29, 0xe6, 0xaa, 0xe5, 0x02, 0x00, 0x2a, 0xaa, 0xd9, 0x46, 0x17, 0x00, 0x00, 0x00};
const std::string kToolWrittenText = "options\n{\n name opts\n}\n";

std::string toolWritten() { return std::string(reinterpret_cast<const char*>(kToolWritten), sizeof kToolWritten); }

// Bytes that compress poorly and span many of the coder's output steps.
std::string noise(std::size_t size) {
  std::string bytes(size, '\0');
  std::uint32_t state = 12345;
  for (char& c : bytes) {
    state = state * 1664525u + 1013904223u;
    c = static_cast<char>(state >> 24);
  }
  return bytes;
}

// What the gzip tool writes; what it writes itself, from nothing to many of the coder's output steps, really
// compressed; members one after another. The same bytes on every build and day: no name, no time, one system byte.
TEST(Gzip, ReadsBackWhatIsWritten) {
  EXPECT_EQ(inflateGzip(toolWritten()), kToolWrittenText);
  const std::string big = noise(1 << 20);
  for (const std::string& bytes : {std::string(), std::string("image\n{\n filename \"wood.tx\"\n}\n"),
                                   std::string(3 << 20, 'a'), big}) {
    EXPECT_EQ(inflateGzip(deflateGzip(bytes)), bytes) << bytes.size() << " bytes";
  }
  EXPECT_LT(deflateGzip(std::string(3 << 20, 'a')).size(), 100000u);
  EXPECT_EQ(inflateGzip(deflateGzip("first\n") + toolWritten() + deflateGzip(big) + deflateGzip("")),
            "first\n" + kToolWrittenText + big);
  const std::string compressed = deflateGzip("volume\n{\n}\n");
  EXPECT_EQ(compressed, deflateGzip("volume\n{\n}\n"));
  ASSERT_GE(compressed.size(), 10u);
  EXPECT_EQ(compressed.substr(0, 8) + compressed[9], std::string("\x1f\x8b\x08\0\0\0\0\0\xff", 9));  // no flags, time
}

TEST(Gzip, RefusesWhatIsNotWholeGzipMembers) {
  const std::string whole = toolWritten() + deflateGzip(noise(100000));
  // Cut anywhere, in the first member or the second, it is no whole file.
  for (std::size_t size = 0; size < whole.size(); size += size < 200 ? 1 : 997) {
    if (size == sizeof kToolWritten) continue;  // the first member alone is a whole file
    EXPECT_EQ(inflateGzip(whole.substr(0, size)), std::nullopt) << "cut to " << size << " bytes";
  }
  std::string damagedData = toolWritten();
  damagedData[25] = static_cast<char>(damagedData[25] ^ 0x40);
  std::string wrongCheck = toolWritten();
  wrongCheck[wrongCheck.size() - 6] = static_cast<char>(wrongCheck[wrongCheck.size() - 6] ^ 1);
  std::string wrongLength = toolWritten();
  wrongLength[wrongLength.size() - 4] = 0x18;
  for (const std::string& bad : {damagedData, wrongCheck, wrongLength, toolWritten() + std::string(8, '\0'),
                                 toolWritten() + "trailing", std::string("options\n{\n}\n"),
                                 std::string("\x78\x9c\x03\x00\x00\x00\x00\x01", 8)}) {
    EXPECT_EQ(inflateGzip(bad), std::nullopt);
  }
}

}  // namespace
