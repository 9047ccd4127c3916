// Helpers of the drawing tests: temporary folders, xmllint, and reading back what a picture shows.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <string>
#include <vector>

namespace scengen::testing {

/// A fresh empty folder for the running test, removed by the caller's TearDown if it wants.
inline std::filesystem::path fresh_folder(const std::string& what) {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  auto folder = std::filesystem::temp_directory_path() /
                ("scengen-render-" + what + "-" + std::string(info->name()));
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  return folder;
}

inline std::string read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void write_file(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

/// What xmllint says about the file: empty when it is well-formed XML.
inline std::string xmllint_complaints(const std::filesystem::path& file) {
  const auto report = file.string() + ".xmllint";
  const std::string command = "xmllint --noout '" + file.string() + "' 2>'" + report + "'";
  const int status = std::system(command.c_str());
  std::string said = read_file(report);
  std::filesystem::remove(report);
  if (status != 0 && said.empty()) said = "xmllint failed with status " + std::to_string(status);
  return said;
}

/// One text element: its attributes and its content, with the XML escapes undone.
struct TextElement {
  std::map<std::string, std::string> attributes;
  std::string content;
  double number(const std::string& name) const { return std::stod(attributes.at(name)); }
};

inline std::string unescaped(std::string text) {
  static const std::pair<const char*, const char*> kEscapes[] = {
      {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}};
  for (const auto& [from, to] : kEscapes) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + 1)) {
      text.replace(at, std::string(from).size(), to);
    }
  }
  return text;
}

inline std::map<std::string, std::string> attributes_of(const std::string& tag) {
  std::map<std::string, std::string> found;
  static const std::regex kAttribute(R"re(([A-Za-z_:][-A-Za-z0-9_:.]*)="([^"]*)")re");
  for (std::sregex_iterator it(tag.begin(), tag.end(), kAttribute), end; it != end; ++it) {
    found[(*it)[1]] = unescaped((*it)[2]);
  }
  return found;
}

/// Every element named `name` (the pictures write no nested ones) in document order.
inline std::vector<TextElement> elements(const std::string& svg, const std::string& name) {
  std::vector<TextElement> found;
  const std::regex element("<" + name + R"re((\s[^>]*?)?(/>|>([^<]*)</)re" + name + ">)");
  for (std::sregex_iterator it(svg.begin(), svg.end(), element), end; it != end; ++it) {
    found.push_back({attributes_of((*it)[1]), unescaped((*it)[3])});
  }
  return found;
}

/// The elements named `name` whose class is `css_class`.
inline std::vector<TextElement> of_class(const std::string& svg, const std::string& name,
                                         const std::string& css_class) {
  std::vector<TextElement> found;
  for (auto& e : elements(svg, name)) {
    const auto it = e.attributes.find("class");
    if (it != e.attributes.end() && it->second == css_class) found.push_back(e);
  }
  return found;
}

}  // namespace scengen::testing
