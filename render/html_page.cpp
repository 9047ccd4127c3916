#include "render/html_page.h"

#include "compiler/source_text.h"
#include "render/svg_text.h"

namespace scengen {
namespace {

constexpr const char* kStyle =
    "body{font-family:'DejaVu Sans',Verdana,sans-serif;margin:0 auto;max-width:1640px;"
    "padding:16px 20px;color:#1c2833;background:#ffffff}"
    "h1{font-size:24px;margin:4px 0}h2{font-size:19px;margin:28px 0 8px;"
    "border-bottom:1px solid #d0d4da;padding-bottom:4px}"
    "p.outcome{margin:4px 0 12px;color:#424949}"
    "nav a{margin-right:16px}"
    "figure{margin:0}figure svg{max-width:100%;height:auto;border:1px solid #d0d4da}"
    "pre{font-family:'DejaVu Sans Mono',monospace;font-size:13px;background:#f8f9f9;"
    "border:1px solid #d0d4da;padding:10px;white-space:pre-wrap;overflow-x:auto}"
    "p.file{color:#616a6b;font-size:13px;margin:0 0 4px}";

// The document's lines as UTF-8 with plain line feeds.
std::string document_text(const std::string& bytes) {
  std::string text;
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
    text += bytes[i];
  }
  return utf8_from_windows_1252(text);
}

}  // namespace

std::string html_page(const RouteView& view, std::string_view outcome, std::string_view map_svg,
                      std::string_view profile_svg, const std::vector<PageDocument>& documents) {
  const std::string route = xml_escaped(view.route_id);
  const std::string train = xml_escaped(view.train_number);
  std::string page = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n";
  page += "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n";
  page += "<title>" + route + " " + train + "</title>\n<style>" + kStyle + "</style>\n</head>\n";
  page += "<body>\n<h1>" + route + " &middot; train " + train + "</h1>\n";
  page += "<p class=\"outcome\">" + xml_escaped(outcome) + "</p>\n";
  page +=
      "<nav><a href=\"#map\">Route map</a><a href=\"#profile\">Route profile</a>"
      "<a href=\"#documents\">Crew documents</a></nav>\n";
  page += "<h2 id=\"map\">Route map</h2>\n<figure>\n";
  page += map_svg;
  page += "</figure>\n<h2 id=\"profile\">Route profile</h2>\n<figure>\n";
  page += profile_svg;
  page += "</figure>\n<h2 id=\"documents\">Crew documents</h2>\n";
  if (documents.empty()) {
    page += "<p>No crew documents were found for this scenario.</p>\n";
  }
  for (const PageDocument& document : documents) {
    page += "<h3>" + xml_escaped(document.heading) + "</h3>\n<p class=\"file\">" +
            xml_escaped(utf8_from_windows_1252(document.file_name)) + "</p>\n";
    page += "<pre lang=\"it\">" + xml_escaped(document_text(document.bytes)) + "</pre>\n";
  }
  page += "</body>\n</html>\n";
  return page;
}

}  // namespace scengen
