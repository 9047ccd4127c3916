// A small writer of SVG elements; numbers rounded for the picture, text escaped.
#pragma once

#include <string>
#include <string_view>

namespace scengen {

enum class Anchor { Start, Middle, End };

/// Appends SVG elements to one text. Coordinates are pixels unless a caller says otherwise.
class SvgBuilder {
 public:
  /// Opens the <svg> element of a picture of width x height pixels; `label` is its title.
  SvgBuilder(double width, double height, std::string_view label);

  /// The <svg> element, closed. For a page that embeds it.
  std::string element();
  /// The whole file: an XML declaration, then the element.
  std::string document();

  void raw(std::string_view markup) { out_ += markup; }
  void line(double x1, double y1, double x2, double y2, std::string_view attributes);
  void rect(double x, double y, double w, double h, std::string_view attributes);
  void circle(double cx, double cy, double r, std::string_view attributes);
  /// A text element; `utf8` is escaped. `attributes` may add class, fill, transform and so on.
  void text(double x, double y, std::string_view utf8, double size, Anchor anchor = Anchor::Start,
            std::string_view attributes = {});
  void open_group(std::string_view attributes);
  void close_group() { out_ += "</g>\n"; }

 private:
  std::string out_;
  bool closed_ = false;
};

/// A number for an attribute: two decimals at most.
std::string px(double value);

}  // namespace scengen
