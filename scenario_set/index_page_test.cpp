// The index page of a set: its table as a browser builds it, and links that reach their files
// whatever the names hold.
#include "scenario_set/index_page.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>

#include "testing/scratch_folder.h"

namespace scengen {
namespace {

TEST(LinkTarget, EscapesEveryByteAUrlWouldRead) {
  EXPECT_EQ(link_target("Ponte_7.html"), "Ponte_7.html");
  EXPECT_EQ(link_target("Citt\xC3\xA0 Alta_#1?.html"), "Citt%C3%A0%20Alta_%231%3F.html");
  EXPECT_EQ(link_target("a%b&c\"d.svg"), "a%25b%26c%22d.svg");
}

std::vector<IndexRow> sample_rows() {
  IndexRow good;
  good.route = "Citt\xC3\xA0 Alta";
  good.train = "7";
  good.length = 72000;
  good.stations = 12;
  good.status = "built";
  good.page = "Citt\xC3\xA0 Alta_7.html";
  good.map = "Citt\xC3\xA0 Alta_7_map.svg";
  good.profile = "Citt\xC3\xA0 Alta_7_profile.svg";
  IndexRow failed;
  failed.route = "Ponte<b>";
  failed.train = "8";
  failed.status = "error 16: a signal's cell is not free (at 2000 m)";
  failed.failed = true;
  return {good, failed};
}

// The page as headless Chromium reads it: the DOM it built, serialised.
std::string browser_dom(const std::filesystem::path& folder, const std::string& url) {
  const auto dom = folder / "dom.html";
  const std::string command =
      "timeout 120 chromium --headless --no-sandbox --disable-gpu --no-first-run "
      "--disable-background-networking --disable-component-update --disable-sync "
      "--user-data-dir='" +
      (folder / "browser-profile").string() + "' --dump-dom '" + url + "' >'" + dom.string() +
      "' 2>'" + (folder / "browser.log").string() + "'";
  EXPECT_EQ(std::system(command.c_str()), 0) << testing::read_file(folder / "browser.log");
  return testing::read_file(dom);
}

TEST(IndexPageInABrowser, TheTableHoldsEveryRowAndItsLinksReachTheirFiles) {
#ifdef _WIN32
  GTEST_SKIP() << "no browser in the Windows build's tests";
#endif
  const testing::ScratchFolder scratch("index");
  const auto rows = sample_rows();
  scratch.write(kIndexPageName, index_page(rows));
  scratch.write(rows[0].page, "<p>the page of Citta Alta 7</p>");
  const std::string dom =
      browser_dom(scratch.path(), "file://" + scratch.at(kIndexPageName).string());

  // The browser kept the table as written: one row per scenario inside its body, six cells each.
  const std::regex row("<tr[^>]*>((?:<td[^>]*>.*?</td>){6})</tr>");
  const auto body = dom.substr(dom.find("<tbody>"));
  EXPECT_EQ(
      std::distance(std::sregex_iterator(body.begin(), body.end(), row), std::sregex_iterator()),
      2);
  EXPECT_NE(dom.find("<td>Citt\xC3\xA0 Alta</td><td>7</td><td class=\"number\">72 km</td>"
                     "<td class=\"number\">12</td><td class=\"status\">built</td>"),
            std::string::npos)
      << dom;
  EXPECT_NE(
      dom.find("<tr class=\"failed\"><td>Ponte&lt;b&gt;</td><td>8</td><td class=\"number\">"
               "</td><td class=\"number\"></td><td class=\"status\">error 16: a signal's cell "
               "is not free (at 2000 m)</td><td></td></tr>"),
      std::string::npos)
      << dom;
  EXPECT_NE(dom.find("<p>2 scenarios, 1 with errors.</p>"), std::string::npos);

  // The page's link, followed as the browser resolves it, reaches the file of that name.
  const std::smatch link = [&] {
    std::smatch m;
    std::regex_search(dom, m, std::regex("<a href=\"([^\"]*)\">page</a>"));
    return m;
  }();
  ASSERT_EQ(link.size(), 2u);
  const std::string target =
      browser_dom(scratch.path(), "file://" + scratch.path().string() + "/" + link[1].str());
  EXPECT_NE(target.find("the page of Citta Alta 7"), std::string::npos) << target;
}

}  // namespace
}  // namespace scengen
