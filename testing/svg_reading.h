// Reading back what a picture shows: xmllint's verdict, its text elements, the route's path.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "render/svg_text.h"
#include "testing/scratch_folder.h"

namespace scengen::testing {

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

/// What xmllint says about `document`, written to a file of its own: empty when it is
/// well-formed XML.
inline std::string xml_complaints(std::string_view document) {
  const ScratchFolder folder("xml");
  folder.write("document.xml", document);
  return xmllint_complaints(folder.at("document.xml"));
}

/// A point of the route map's path, in plan metres.
struct PlanPoint {
  double x;
  double y;
};

/// The points of the route map's path, in plan metres; none when the picture has no path.
inline std::vector<PlanPoint> route_points(const std::string& svg) {
  const std::string start = "id=\"map-route\" d=\"";
  const size_t from = svg.find(start);
  if (from == std::string::npos) return {};
  const size_t begin = from + start.size();
  std::string d = svg.substr(begin, svg.find('"', begin) - begin);
  for (char& ch : d) {
    if (ch == 'M' || ch == 'L' || ch == ',') ch = ' ';
  }
  std::istringstream in(d);
  std::vector<PlanPoint> points;
  PlanPoint p{};
  while (in >> p.x >> p.y) points.push_back(p);
  return points;
}

/// One text element: its attributes and its content, with the XML escapes undone.
struct TextElement {
  std::map<std::string, std::string> attributes;
  std::string content;
  double number(const std::string& name) const { return std::stod(attributes.at(name)); }
};

/// `text` with the five XML escapes undone.
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

/// The attributes of a start tag: name="value" pairs (the pictures quote with " only).
inline std::map<std::string, std::string> attributes_of(const std::string& tag) {
  std::map<std::string, std::string> found;
  size_t at = 0;
  while (true) {
    const size_t equals = tag.find("=\"", at);
    if (equals == std::string::npos) break;
    size_t start = equals;
    while (start > 0 && tag[start - 1] != ' ' && tag[start - 1] != '\n') --start;
    const size_t close = tag.find('"', equals + 2);
    if (close == std::string::npos) break;
    found[tag.substr(start, equals - start)] =
        unescaped(tag.substr(equals + 2, close - equals - 2));
    at = close + 1;
  }
  return found;
}

/// Every element named `name` in document order, with the text up to its end tag as content
/// (the pictures nest nothing inside the elements the tests read). Plain scanning: pictures hold
/// attributes tens of kilobytes long.
inline std::vector<TextElement> elements(const std::string& svg, const std::string& name) {
  std::vector<TextElement> found;
  const std::string open = "<" + name;
  for (size_t at = svg.find(open); at != std::string::npos; at = svg.find(open, at + 1)) {
    const char next = at + open.size() < svg.size() ? svg[at + open.size()] : '\0';
    if (next != ' ' && next != '>' && next != '/' && next != '\n') continue;
    const size_t end = svg.find('>', at);
    if (end == std::string::npos) break;
    TextElement element;
    element.attributes = attributes_of(svg.substr(at + open.size(), end - at - open.size()));
    if (svg[end - 1] != '/') {
      const size_t close = svg.find("</" + name + ">", end);
      if (close != std::string::npos)
        element.content = unescaped(svg.substr(end + 1, close - end - 1));
    }
    found.push_back(std::move(element));
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

/// Pairs of upright text elements whose boxes overlap, as "'a' and 'b'", measured with the
/// pictures' font widths: an empty list when every label stands clear of the others.
inline std::vector<std::string> overlapping_texts(const std::string& svg) {
  struct Extent {
    double left, top, right, bottom;
    std::string text;
  };
  std::vector<Extent> boxes;
  for (const auto& t : elements(svg, "text")) {
    if (t.attributes.count("transform") != 0 || t.content.empty()) continue;
    const double size = t.number("font-size");
    const double w = text_width(t.content, size, t.attributes.count("font-weight") != 0);
    double left = t.number("x");
    const auto anchor = t.attributes.find("text-anchor");
    if (anchor != t.attributes.end() && anchor->second == "middle") left -= w / 2;
    if (anchor != t.attributes.end() && anchor->second == "end") left -= w;
    const double baseline = t.number("y");
    // Capitals reach 0.73 of the size above the baseline, descenders 0.24 below.
    boxes.push_back({left, baseline - 0.73 * size, left + w, baseline + 0.24 * size, t.content});
  }
  std::vector<std::string> overlaps;
  for (size_t i = 0; i < boxes.size(); ++i) {
    for (size_t j = i + 1; j < boxes.size(); ++j) {
      const Extent& a = boxes[i];
      const Extent& b = boxes[j];
      if (a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom) {
        overlaps.push_back("'" + a.text + "' and '" + b.text + "'");
      }
    }
  }
  return overlaps;
}

}  // namespace scengen::testing
