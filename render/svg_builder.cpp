#include "render/svg_builder.h"

#include "render/svg_text.h"

namespace scengen {

std::string px(double value) {
  return format_number(value, 2);
}

SvgBuilder::SvgBuilder(double width, double height, std::string_view label) {
  out_ += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + px(width) + "\" height=\"" +
          px(height) + "\" viewBox=\"0 0 " + px(width) + " " + px(height) + "\" font-family=\"" +
          kPictureFont + "\">\n<title>" + xml_escaped(label) + "</title>\n";
}

std::string SvgBuilder::element() {
  if (!closed_) {
    out_ += "</svg>\n";
    closed_ = true;
  }
  return out_;
}

std::string SvgBuilder::document() {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + element();
}

void SvgBuilder::line(double x1, double y1, double x2, double y2, std::string_view attributes) {
  out_ += "<line x1=\"" + px(x1) + "\" y1=\"" + px(y1) + "\" x2=\"" + px(x2) + "\" y2=\"" + px(y2) +
          "\" ";
  out_ += attributes;
  out_ += "/>\n";
}

void SvgBuilder::rect(double x, double y, double w, double h, std::string_view attributes) {
  out_ += "<rect x=\"" + px(x) + "\" y=\"" + px(y) + "\" width=\"" + px(w) + "\" height=\"" +
          px(h) + "\" ";
  out_ += attributes;
  out_ += "/>\n";
}

void SvgBuilder::circle(double cx, double cy, double r, std::string_view attributes) {
  out_ += "<circle cx=\"" + px(cx) + "\" cy=\"" + px(cy) + "\" r=\"" + px(r) + "\" ";
  out_ += attributes;
  out_ += "/>\n";
}

void SvgBuilder::text(double x, double y, std::string_view utf8, double size, Anchor anchor,
                      std::string_view attributes) {
  out_ += "<text x=\"" + px(x) + "\" y=\"" + px(y) + "\" font-size=\"" + px(size) + "\"";
  if (anchor == Anchor::Middle) out_ += " text-anchor=\"middle\"";
  if (anchor == Anchor::End) out_ += " text-anchor=\"end\"";
  if (!attributes.empty()) {
    out_ += ' ';
    out_ += attributes;
  }
  out_ += '>';
  out_ += xml_escaped(utf8);
  out_ += "</text>\n";
}

void SvgBuilder::open_group(std::string_view attributes) {
  out_ += "<g ";
  out_ += attributes;
  out_ += ">\n";
}

}  // namespace scengen
