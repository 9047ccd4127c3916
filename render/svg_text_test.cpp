#include "render/svg_text.h"

#include <gtest/gtest.h>

namespace scengen {
namespace {

TEST(SvgText, EscapesWhatXmlReserves) {
  EXPECT_EQ(xml_escaped("a<b>&\"c'"), "a&lt;b&gt;&amp;&quot;c&apos;");
  // Control characters are not allowed in XML 1.0; tab and line ends are.
  EXPECT_EQ(xml_escaped(std::string("a\x01"
                                    "b\tc\n",
                                    6)),
            "a b\tc\n");
}

TEST(SvgText, FormatsNumbersShort) {
  EXPECT_EQ(format_number(0.003, 3), "0.003");
  EXPECT_EQ(format_number(1001, 3), "1001");
  EXPECT_EQ(format_number(2.5), "2.5");
  EXPECT_EQ(format_number(-0.0001, 2), "0");
  EXPECT_EQ(format_number(-12.345, 1), "-12.3");
}

TEST(SvgText, WidthGrowsWithTheTextAndTheSize) {
  EXPECT_EQ(text_width("", 12), 0);
  // Digits of DejaVu Sans are 0.636 em wide.
  EXPECT_NEAR(text_width("000", 10), 19.08, 1e-9);
  EXPECT_GT(text_width("MMM", 10), text_width("iii", 10));
  EXPECT_NEAR(text_width("\xC3\xA8", 10), 6.5, 1e-9);  // one character, two bytes
  EXPECT_GT(text_width("ABC", 10, true), text_width("ABC", 10));
}

}  // namespace
}  // namespace scengen
