#include "scenario_set/index_page.h"

#include "render/svg_text.h"

namespace scengen {
namespace {

constexpr const char* kStyle =
    "body{font-family:'DejaVu Sans',Verdana,sans-serif;margin:24px auto;max-width:1200px;"
    "color:#1b2631}"
    "table{border-collapse:collapse;width:100%}"
    "th,td{border-bottom:1px solid #d5d8dc;padding:4px 10px;text-align:left}"
    "td.number{text-align:right}"
    "tr.failed td.status{color:#c0141c;font-weight:bold}"
    "a{margin-right:10px}";

std::string cell_number(int32_t value, bool kilometres) {
  if (value < 0) return "";
  return kilometres ? format_number(value / 1000.0, 3) + " km" : std::to_string(value);
}

std::string link(const std::string& target, const char* words) {
  if (target.empty()) return "";
  return "<a href=\"" + link_target(target) + "\">" + words + "</a>";
}

std::string row_html(const IndexRow& row) {
  std::string html = row.failed ? "<tr class=\"failed\">" : "<tr>";
  html += "<td>" + xml_escaped(row.route) + "</td><td>" + xml_escaped(row.train) + "</td>";
  html += "<td class=\"number\">" + cell_number(row.length, true) + "</td>";
  html += "<td class=\"number\">" + cell_number(row.stations, false) + "</td>";
  html += "<td class=\"status\">" + xml_escaped(row.status) + "</td>";
  html += "<td>" + link(row.page, "page") + link(row.map, "map") + link(row.profile, "profile");
  return html + "</td></tr>\n";
}

}  // namespace

std::string link_target(const std::string& name) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string target;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    const bool plain = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
                       (byte >= '0' && byte <= '9') || byte == '-' || byte == '_' || byte == '.' ||
                       byte == '~';
    if (plain) {
      target += c;
    } else {
      target += '%';
      target += kHex[byte >> 4];
      target += kHex[byte & 15];
    }
  }
  return target;
}

std::string index_page(const std::vector<IndexRow>& rows) {
  size_t failed = 0;
  for (const IndexRow& row : rows) failed += row.failed ? 1 : 0;
  std::string page = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n";
  page += "<title>Scenario set</title>\n<style>";
  page += kStyle;
  page += "</style>\n</head>\n<body>\n<h1>Scenario set</h1>\n<p>";
  page += std::to_string(rows.size()) + (rows.size() == 1 ? " scenario" : " scenarios");
  if (failed > 0) page += ", " + std::to_string(failed) + " with errors";
  page +=
      ".</p>\n<table>\n<thead><tr><th>Route</th><th>Train</th><th>Length</th>"
      "<th>Stations</th><th>Status</th><th>Files</th></tr></thead>\n<tbody>\n";
  for (const IndexRow& row : rows) page += row_html(row);
  page += "</tbody>\n</table>\n</body>\n</html>\n";
  return page;
}

}  // namespace scengen
