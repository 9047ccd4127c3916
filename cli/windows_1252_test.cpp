#include "cli/windows_1252.h"

#include <gtest/gtest.h>

namespace scengen {
namespace {

TEST(Windows1252, BecomesUtf8) {
  EXPECT_EQ(windows_1252_to_utf8("abc"), "abc");
  EXPECT_EQ(windows_1252_to_utf8("n\xB0 9"), "n\xC2\xB0 9");                  // degree sign
  EXPECT_EQ(windows_1252_to_utf8("citt\xE0 \xE8"), "citt\xC3\xA0 \xC3\xA8");  // à è
  EXPECT_EQ(windows_1252_to_utf8("\x80"), "\xE2\x82\xAC");                    // euro sign
  EXPECT_EQ(windows_1252_to_utf8("\x9F"), "\xC5\xB8");                        // Y with diaeresis
  EXPECT_EQ(windows_1252_to_utf8("\x81"), "\xC2\x81");  // undefined: the control of that number
  EXPECT_EQ(windows_1252_to_utf8(std::string("\0\xFF", 2)), std::string("\0\xC3\xBF", 3));
}

}  // namespace
}  // namespace scengen
