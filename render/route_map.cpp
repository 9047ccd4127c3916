#include "render/route_map.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "render/label_placement.h"
#include "render/route_view.h"
#include "render/svg_builder.h"
#include "render/svg_text.h"

namespace scengen {
namespace {

constexpr double kMaxPlotWidth = 900;
constexpr double kMaxPlotHeight = 640;
constexpr double kMargin = 120;  // room for labels around the plan
constexpr double kTitleHeight = 56;
constexpr double kPanelWidth = 250;  // the legend beside the plan
constexpr double kLabelSize = 12;
constexpr double kTickLabelSize = 10;
constexpr const char* kRouteColour = "#1f5fa8";
constexpr const char* kStartColour = "#1e8449";
constexpr const char* kEndColour = "#b03a2e";
constexpr const char* kHalo =
    "paint-order=\"stroke\" stroke=\"#ffffff\" stroke-width=\"3\" "
    "stroke-linejoin=\"round\"";

struct Point {
  double x = 0;
  double y = 0;
};

// A "nice" length near `wanted`: 1, 2 or 5 times a power of ten.
double nice_length(double wanted) {
  const double power = std::pow(10.0, std::floor(std::log10(wanted)));
  for (const double step : {1.0, 2.0, 5.0, 10.0}) {
    if (step * power >= wanted) return step * power;
  }
  return 10 * power;
}

std::string distance_text(double metres) {
  if (metres >= 1000) return format_number(metres / 1000, 1) + " km";
  return format_number(metres, 0) + " m";
}

// The plan point indices that draw the route faithfully: every point where the curvature
// changes (the last straight and the first curved point of a curve, and so on), and inside a
// curve one point per 0.02 rad of turn or 250 m.
std::vector<int32_t> path_points(const TrackPlan& plan, int32_t first, int32_t last) {
  std::vector<int32_t> kept{first};
  double previous_heading = 0;
  double previous_turn = 0;
  double turned = 0;
  int32_t since = 0;
  for (int32_t p = std::max(first, 0) + 1; p <= last; ++p) {
    const double heading = std::atan2(plan.value(p, 0) - plan.value(p - 1, 0),
                                      plan.value(p, 1) - plan.value(p - 1, 1));
    const double turn = p == first + 1 ? 0 : heading - previous_heading;
    if (std::fabs(turn - previous_turn) > 1e-8) {
      if (kept.back() != p - 1) kept.push_back(p - 1);
      kept.push_back(p);
      turned = 0;
      since = 0;
    } else if (std::fabs(turn) > 1e-8) {
      turned += std::fabs(turn);
      ++since;
      if (turned >= 0.02 || since >= 250) {
        kept.push_back(p);
        turned = 0;
        since = 0;
      }
    }
    previous_heading = heading;
    previous_turn = turn;
  }
  if (kept.back() != last) kept.push_back(last);
  return kept;
}

class MapPicture {
 public:
  MapPicture(const TrackPlan& plan, const RouteView& view) : plan_(plan), view_(view) {}

  std::string draw();

 private:
  Point screen(double x, double y) const {
    return {scale_ * x + origin_x_, -scale_ * y + origin_y_};
  }
  // The last metre of what is drawn: the route's end, or a stretch's.
  int32_t end_metre() const { return view_.stretch ? last_ : view_.route_length; }
  Point at(int32_t metre) const {
    const int32_t p = std::clamp(metre, first_, last_);
    return screen(plan_.value(p, 0), plan_.value(p, 1));
  }
  // The unit vector across the route at a metre, in picture coordinates.
  Point across(int32_t metre) const;
  void fit();
  void draw_route();
  void draw_tunnels();
  void draw_marks();
  void draw_labels();
  void draw_panel();
  // Puts a label near `anchor` where it overlaps nothing; false when no place is free.
  bool place_label(Point anchor, double clearance, const std::vector<std::string>& texts,
                   double size, bool bold, std::string_view attributes, bool leader = true);

  const TrackPlan& plan_;
  const RouteView& view_;
  int32_t first_ = 0;  // the first metre drawn: 0, or a stretch's start
  int32_t last_ = 0;
  std::vector<int32_t> kept_;
  double scale_ = 1;
  double origin_x_ = 0;
  double origin_y_ = 0;
  double width_ = 0;
  double height_ = 0;
  Box frame_;
  TakenBoxes taken_;
  int dropped_labels_ = 0;
  std::string labels_;
  SvgBuilder* svg_ = nullptr;
};

Point MapPicture::across(int32_t metre) const {
  const int32_t a = std::clamp(metre - 20, first_, last_);
  const int32_t b = std::clamp(metre + 20, first_, last_);
  const Point pa = at(a);
  const Point pb = at(b);
  const double length = std::hypot(pb.x - pa.x, pb.y - pa.y);
  if (length == 0) return {1, 0};
  return {-(pb.y - pa.y) / length, (pb.x - pa.x) / length};
}

void MapPicture::fit() {
  double min_x = 0, max_x = 0, min_y = 0, max_y = 0;
  if (first_ > 0) {
    min_x = max_x = plan_.value(first_, 0);
    min_y = max_y = plan_.value(first_, 1);
  }
  for (int32_t p = first_; p <= last_; ++p) {
    min_x = std::min(min_x, plan_.value(p, 0));
    max_x = std::max(max_x, plan_.value(p, 0));
    min_y = std::min(min_y, plan_.value(p, 1));
    max_y = std::max(max_y, plan_.value(p, 1));
  }
  const double w = max_x - min_x;
  const double h = max_y - min_y;
  scale_ = std::min(w > 0 ? kMaxPlotWidth / w : 1e9, h > 0 ? kMaxPlotHeight / h : 1e9);
  if (scale_ > 1e8) scale_ = 1;
  const double plot_w = w * scale_;
  const double plot_h = h * scale_;
  origin_x_ = kMargin - min_x * scale_;
  origin_y_ = kTitleHeight + kMargin + max_y * scale_;
  width_ = kMargin * 2 + plot_w + kPanelWidth;
  height_ = std::max(kTitleHeight + kMargin * 2 + plot_h, kTitleHeight + 470.0);
  frame_ = {4, kTitleHeight, width_ - kPanelWidth - 4, height_ - 4};
}

void MapPicture::draw_route() {
  std::string d;
  for (size_t i = 0; i < kept_.size(); ++i) {
    const int32_t p = kept_[i];
    d += i == 0 ? "M" : " L";
    d += format_number(plan_.value(p, 0), 3) + "," + format_number(plan_.value(p, 1), 3);
  }
  svg_->open_group("id=\"map-plan\" transform=\"matrix(" + format_number(scale_, 9) + " 0 0 " +
                   format_number(-scale_, 9) + " " + format_number(origin_x_, 3) + " " +
                   format_number(origin_y_, 3) + ")\"");
  svg_->raw("<path id=\"map-route\" d=\"" + d + "\" fill=\"none\" stroke=\"" + kRouteColour +
            "\" stroke-width=\"" + format_number(3.5 / scale_, 6) +
            "\" stroke-linejoin=\"round\" stroke-linecap=\"round\"/>\n");
  svg_->close_group();
  // The route takes the picture's room away from the labels, as a chain of small boxes.
  for (size_t i = 1; i < kept_.size(); ++i) {
    const Point a = at(kept_[i - 1]);
    const Point b = at(kept_[i]);
    const int steps = std::max(1, static_cast<int>(std::hypot(b.x - a.x, b.y - a.y) / 3));
    for (int k = 0; k <= steps; ++k) {
      const double t = static_cast<double>(k) / steps;
      const Point q{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
      taken_.add({q.x - 3, q.y - 3, q.x + 3, q.y + 3});
    }
  }
}

void MapPicture::draw_tunnels() {
  for (const ListedTunnel& tunnel : view_.tunnels) {
    double from = std::clamp(tunnel.start, first_, last_);
    double to = std::clamp(tunnel.end, first_, last_);
    // A short tunnel is drawn at least 10 pixels long, so that it can be seen.
    const double least = 10 / scale_;
    if (to - from < least) {
      const double middle = (from + to) / 2;
      from = std::max<double>(first_, middle - least / 2);
      to = std::min(static_cast<double>(last_), middle + least / 2);
    }
    std::string d;
    const int steps = std::max(1, static_cast<int>((to - from) / 25));
    for (int k = 0; k <= steps; ++k) {
      const Point q = at(static_cast<int32_t>(std::lround(from + (to - from) * k / steps)));
      d += (k == 0 ? "M" : " L") + px(q.x) + "," + px(q.y);
    }
    svg_->raw("<g class=\"map-tunnel\"><title>tunnel " + distance_text(tunnel.start) + " to " +
              distance_text(tunnel.end) + "</title><path d=\"" + d +
              "\" fill=\"none\" stroke=\"#2b2b2b\" stroke-width=\"9\" stroke-linecap=\"butt\"/>"
              "<path d=\"" +
              d +
              "\" fill=\"none\" stroke=\"#f0d890\" stroke-width=\"4\" "
              "stroke-linecap=\"butt\"/></g>\n");
  }
}

void MapPicture::draw_marks() {
  // Kilometre ticks across the route.
  const double every = nice_length(std::max(1.0, (end_metre() - first_) / 14.0));
  for (double m = std::floor(first_ / every) * every + every; m < end_metre() - every / 3;
       m += every) {
    const int32_t metre = static_cast<int32_t>(m);
    const Point p = at(metre);
    const Point n = across(metre);
    svg_->line(p.x - n.x * 6, p.y - n.y * 6, p.x + n.x * 6, p.y + n.y * 6,
               "stroke=\"#555555\" stroke-width=\"1.5\"");
  }
  for (const Station& station : view_.stations) {
    const Point p = at(station.values.position);
    const bool major = station.kind == StationKind::Station;
    const double r = major ? 5 : 3.5;
    svg_->circle(
        p.x, p.y, r,
        major ? "class=\"map-station\" fill=\"#ffffff\" stroke=\"#000000\" stroke-width=\"2\""
              : "class=\"map-halt\" fill=\"#7f8c8d\" stroke=\"#2c3e50\" stroke-width=\"1.2\"");
    taken_.add({p.x - r - 2, p.y - r - 2, p.x + r + 2, p.y + r + 2});
  }
  const Point start = at(first_);
  const Point end = at(end_metre());
  svg_->circle(start.x, start.y, 7,
               std::string("fill=\"") + kStartColour + "\" stroke=\"#ffffff\" stroke-width=\"2\"");
  svg_->rect(end.x - 7, end.y - 7, 14, 14,
             std::string("fill=\"") + kEndColour + "\" stroke=\"#ffffff\" stroke-width=\"2\"");
  taken_.add({start.x - 9, start.y - 9, start.x + 9, start.y + 9});
  taken_.add({end.x - 9, end.y - 9, end.x + 9, end.y + 9});
}

bool MapPicture::place_label(Point anchor, double clearance, const std::vector<std::string>& texts,
                             double size, bool bold, std::string_view attributes, bool leader) {
  const double height = size * 1.2;
  for (const std::string& text : texts) {
    const double width = text_width(text, size, bold) + 2;
    const std::vector<double> radii =
        leader ? std::vector<double>{clearance, clearance + 12, clearance + 28, clearance + 50,
                                     clearance + 80}
               : std::vector<double>{clearance, clearance + 4};
    for (const double radius : radii) {
      for (int k = 0; k < 16; ++k) {
        // Right and left first, then the diagonals, then above and below.
        static constexpr int kOrder[16] = {0, 8, 2, 14, 6, 10, 1, 15, 7, 9, 3, 13, 5, 11, 4, 12};
        const double angle = kOrder[k] * std::numbers::pi / 8;
        const double cx = anchor.x + std::cos(angle) * (radius + width / 2);
        const double cy = anchor.y - std::sin(angle) * (radius + height / 2);
        const Box box{cx - width / 2, cy - height / 2, cx + width / 2, cy + height / 2};
        if (!box.inside(frame_) || !taken_.is_free(box)) continue;
        taken_.add(box);
        if (leader && radius > clearance) {
          // A leader from the mark to the nearest point of the label.
          const double lx = std::clamp(anchor.x, box.left, box.right);
          const double ly = std::clamp(anchor.y, box.top, box.bottom);
          labels_ += "<line x1=\"" + px(anchor.x) + "\" y1=\"" + px(anchor.y) + "\" x2=\"" +
                     px(lx) + "\" y2=\"" + px(ly) +
                     "\" stroke=\"#888888\" stroke-width=\"0.8\"/>\n";
        }
        labels_ += "<text x=\"" + px(cx) + "\" y=\"" + px(cy + size * 0.35) + "\" font-size=\"" +
                   px(size) + "\" text-anchor=\"middle\"" + (bold ? " font-weight=\"bold\"" : "") +
                   " " + std::string(attributes) + " " + kHalo + ">" + xml_escaped(text) +
                   "</text>\n";
        return true;
      }
    }
  }
  return false;
}

// Shorter forms of a name: its first words, then its start with an ellipsis.
std::vector<std::string> name_forms(const std::string& name) {
  std::vector<std::string> forms{name};
  std::string words = name;
  while (true) {
    const size_t cut = words.find_last_of(' ');
    if (cut == std::string::npos || cut == 0) break;
    words.resize(cut);
    forms.push_back(words + "\xE2\x80\xA6");
  }
  return forms;
}

void MapPicture::draw_labels() {
  const std::string length = distance_text(view_.route_length);
  if (view_.stretch) {
    place_label(at(first_), 10, {"From " + distance_text(first_), "From"}, kLabelSize, true,
                std::string("class=\"map-start\" fill=\"") + kStartColour + "\"");
    place_label(at(end_metre()), 10, {"To " + distance_text(end_metre()), "To"}, kLabelSize, true,
                std::string("class=\"map-end\" fill=\"") + kEndColour + "\"");
  } else {
    place_label(at(0), 10, {"Start 0 km", "Start"}, kLabelSize, true,
                std::string("class=\"map-start\" fill=\"") + kStartColour + "\"");
    place_label(at(view_.route_length), 10, {"End " + length, "End"}, kLabelSize, true,
                std::string("class=\"map-end\" fill=\"") + kEndColour + "\"");
  }
  // Stations before halts and cabins, each group along the route.
  const auto is_major = [](const Station* s) { return s->kind == StationKind::Station; };
  std::vector<const Station*> order;
  for (const Station& s : view_.stations) order.push_back(&s);
  std::stable_sort(order.begin(), order.end(),
                   [&](const Station* a, const Station* b) { return is_major(a) > is_major(b); });
  for (const Station* station : order) {
    const bool major = is_major(station);
    if (station->name_utf8.empty()) continue;
    if (!place_label(at(station->values.position), major ? 8 : 6, name_forms(station->name_utf8),
                     major ? kLabelSize : kLabelSize - 1, false,
                     major ? "class=\"map-station-name\" fill=\"#000000\""
                           : "class=\"map-station-name\" fill=\"#34495e\"")) {
      ++dropped_labels_;
    }
  }
  const double every = nice_length(std::max(1.0, (end_metre() - first_) / 14.0));
  for (double m = std::floor(first_ / every) * every + every; m < end_metre() - every / 3;
       m += every) {
    place_label(at(static_cast<int32_t>(m)), 8, {distance_text(m)}, kTickLabelSize, false,
                "class=\"map-km\" fill=\"#555555\"", false);
  }
  svg_->raw(labels_);
}

void MapPicture::draw_panel() {
  const double x = width_ - kPanelWidth + 10;
  double y = kTitleHeight + 20;
  svg_->rect(x - 10, kTitleHeight, kPanelWidth, height_ - kTitleHeight,
             "fill=\"#f6f7f9\" stroke=\"#d0d4da\"");
  svg_->text(x, y, "Legend", 14, Anchor::Start, "font-weight=\"bold\"");
  y += 26;
  auto row = [&](std::string_view text) {
    svg_->text(x + 44, y + 4, text, 12);
    y += 26;
  };
  svg_->line(
      x, y, x + 34, y,
      std::string("stroke=\"") + kRouteColour + "\" stroke-width=\"3.5\" stroke-linecap=\"round\"");
  row("route");
  svg_->line(x, y, x + 34, y, "stroke=\"#2b2b2b\" stroke-width=\"9\"");
  svg_->line(x, y, x + 34, y, "stroke=\"#f0d890\" stroke-width=\"4\"");
  row("tunnel");
  svg_->circle(x + 17, y, 5, "fill=\"#ffffff\" stroke=\"#000000\" stroke-width=\"2\"");
  row("station");
  svg_->circle(x + 17, y, 3.5, "fill=\"#7f8c8d\" stroke=\"#2c3e50\" stroke-width=\"1.2\"");
  row("halt or cabin");
  svg_->circle(x + 17, y, 7, std::string("fill=\"") + kStartColour + "\"");
  row("start of the route");
  svg_->rect(x + 10, y - 7, 14, 14, std::string("fill=\"") + kEndColour + "\"");
  row("end of the route");
  svg_->line(x + 17, y - 6, x + 17, y + 6, "stroke=\"#555555\" stroke-width=\"1.5\"");
  svg_->line(x, y, x + 34, y, std::string("stroke=\"") + kRouteColour + "\" stroke-width=\"3.5\"");
  row("kilometre mark");

  // The scale bar: a round length of 90 to 220 pixels, in two halves.
  y += 8;
  double metres = nice_length(90 / scale_);
  if (metres * scale_ > kPanelWidth - 30) metres /= 2;
  const double bar = metres * scale_;
  svg_->text(x, y, "Scale", 12, Anchor::Start, "font-weight=\"bold\"");
  y += 14;
  svg_->rect(x, y, bar / 2, 7, "fill=\"#000000\"");
  svg_->rect(x + bar / 2, y, bar / 2, 7, "fill=\"#ffffff\" stroke=\"#000000\"");
  svg_->text(x, y + 22, "0", 11, Anchor::Middle);
  svg_->text(x + bar, y + 22, distance_text(metres), 11, Anchor::Middle, "class=\"map-scale\"");
  y += 50;

  auto fact = [&](const std::string& text) {
    svg_->text(x, y, text, 12);
    y += 19;
  };
  int majors = 0;
  for (const Station& s : view_.stations) majors += s.kind == StationKind::Station ? 1 : 0;
  fact("Route length " + distance_text(view_.route_length));
  if (view_.stretch) fact("Shown " + distance_text(first_) + " to " + distance_text(end_metre()));
  const size_t others = view_.stations.size() - static_cast<size_t>(majors);
  fact(std::to_string(majors) + (majors == 1 ? " station, " : " stations, ") +
       std::to_string(others) + (others == 1 ? " halt or cabin" : " halts or cabins"));
  fact(std::to_string(view_.tunnels.size()) + (view_.tunnels.size() == 1 ? " tunnel" : " tunnels"));
  if (dropped_labels_ > 0) {
    fact(std::to_string(dropped_labels_) + " names left out for room");
  }
  y += 8;
  svg_->text(x, y, "The route starts upward;", 11, Anchor::Start, "fill=\"#555555\"");
  svg_->text(x, y + 15, "both axes at the same scale.", 11, Anchor::Start, "fill=\"#555555\"");
}

std::string MapPicture::draw() {
  last_ = std::min(view_.route_length, plan_.last_point());
  // Only computed points are drawn: the last two plan points are never computed.
  while (last_ > 0 && plan_.tag(last_, 0) == PlanTag::Empty) --last_;
  if (view_.stretch) {
    last_ = std::clamp(view_.stretch_to, 0, last_);
    first_ = std::clamp(view_.stretch_from, 0, std::max(0, last_ - 1));
  }
  kept_ = path_points(plan_, first_, last_);
  fit();
  const std::string title = view_.route_id + ": route map";
  SvgBuilder svg(width_, height_, title);
  svg_ = &svg;
  svg.rect(0, 0, width_, height_, "fill=\"#ffffff\"");
  svg.text(16, 30, view_.route_id, 20, Anchor::Start, "font-weight=\"bold\" class=\"map-title\"");
  svg.text(16 + text_width(view_.route_id, 20, true) + 14, 30,
           "ground plan of the compiled route, " + distance_text(view_.route_length) +
               (view_.stretch
                    ? ", shown from " + distance_text(first_) + " to " + distance_text(end_metre())
                    : ""),
           13, Anchor::Start, "fill=\"#555555\"");
  draw_route();
  draw_tunnels();
  draw_marks();
  draw_labels();
  draw_panel();
  return svg.element();
}

}  // namespace

std::string route_map_svg(const TrackPlan& plan, const RouteView& view) {
  if (!plan.exists() || view.route_length < 2 || plan.last_point() < 2) {
    SvgBuilder svg(640, 120, view.route_id + ": route map");
    svg.rect(0, 0, 640, 120, "fill=\"#ffffff\"");
    svg.text(16, 30, view.route_id.empty() ? "route map" : view.route_id, 20, Anchor::Start,
             "font-weight=\"bold\"");
    svg.text(16, 70, "This model has no ground plan to draw.", 13);
    return svg.element();
  }
  MapPicture picture(plan, view);
  return picture.draw();
}

}  // namespace scengen
