#include "render/html_page.h"

#include <gtest/gtest.h>

namespace scengen {
namespace {

TEST(HtmlPage, HoldsBothPicturesAndTheDocumentsDecoded) {
  Compilation c;
  c.RouteId = std::string("Linea_\xE8");
  c.TrainNumber = std::string("7");
  const std::vector<PageDocument> documents = {
      {"Train card", "Linea_7_scheda_treno.txt", "VELOCIT\xC0 <max>\r\n| 30 |\r\n"},
      {"Scenario notes", "Linea_7_note.txt", "n\xB0 9 & co.\r\n"},
  };
  const std::string page =
      html_page(view_route(read_scenario(c)), "Compiled without errors.",
                "<svg id=\"one\"></svg>\n", "<svg id=\"two\"></svg>\n", documents);
  EXPECT_EQ(page.rfind("<!DOCTYPE html>\n", 0), 0u);
  EXPECT_NE(page.find("<meta charset=\"utf-8\">"), std::string::npos);
  EXPECT_NE(page.find("<title>Linea_\xC3\xA8 7</title>"), std::string::npos);
  EXPECT_NE(page.find("Compiled without errors."), std::string::npos);
  const size_t map = page.find("<svg id=\"one\">");
  const size_t profile = page.find("<svg id=\"two\">");
  ASSERT_NE(map, std::string::npos);
  ASSERT_NE(profile, std::string::npos);
  EXPECT_LT(map, profile);
  // Windows-1252 becomes UTF-8, CR LF a line feed, and markup characters are escaped.
  EXPECT_NE(page.find("<pre lang=\"it\">VELOCIT\xC3\x80 &lt;max&gt;\n| 30 |\n</pre>"),
            std::string::npos);
  EXPECT_NE(page.find("n\xC2\xB0 9 &amp; co.\n"), std::string::npos);
  EXPECT_LT(page.find("Train card"), page.find("Scenario notes"));
  EXPECT_EQ(page.find('\r'), std::string::npos);
  // Self-contained: nothing is fetched.
  EXPECT_EQ(page.find("src="), std::string::npos);
  EXPECT_EQ(page.find("<link"), std::string::npos);
  EXPECT_EQ(page.find("<script"), std::string::npos);
}

TEST(HtmlPage, SaysSoWhenThereAreNoDocuments) {
  Compilation c;
  c.RouteId = std::string("A");
  c.TrainNumber = std::string("1");
  const std::string page = html_page(view_route(read_scenario(c)), "x", "", "", {});
  EXPECT_NE(page.find("No crew documents were found"), std::string::npos);
}

}  // namespace
}  // namespace scengen
