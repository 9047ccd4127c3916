#include "render/route_profile.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "render/label_placement.h"
#include "render/route_view.h"
#include "render/svg_builder.h"
#include "render/svg_text.h"

namespace scengen {
namespace {

constexpr double kWidth = 1600;
constexpr double kLeft = 150;  // the bands' titles stand left of the plot
constexpr double kRight = kWidth - 24;
constexpr double kTitleRight = kLeft - 32;  // the bands' titles end here, left of the scales
constexpr double kSmall = 10;
constexpr double kLabel = 11;
constexpr const char* kPerMille = "\xE2\x80\xB0";
constexpr const char* kMiddleDot = "\xC2\xB7";
constexpr const char* kEllipsis = "\xE2\x80\xA6";
constexpr const char* kSpeedColour = "#1f5fa8";
constexpr const char* kSlowColour = "#c0392b";
constexpr const char* kBoardColour = "#34495e";
constexpr const char* kSignalColour = "#1e8449";
constexpr const char* kTunnelColour = "#2b2b2b";
constexpr const char* kAdhesionColour = "#e67e22";
constexpr const char* kGuideColour = "#c8ccd2";

std::string signed_number(int value) {
  if (value > 0) return "+" + std::to_string(value);
  if (value < 0) return "\xE2\x88\x92" + std::to_string(-value);  // a true minus sign
  return "0";
}

// "218+400": the kilometre and the metres of a kilometric progressive.
std::string progressive_text(int32_t metres) {
  char text[32];
  const int64_t whole = metres < 0 ? -int64_t{metres} : int64_t{metres};
  std::snprintf(text, sizeof text, "%s%lld+%03lld", metres < 0 ? "-" : "",
                static_cast<long long>(whole / 1000), static_cast<long long>(whole % 1000));
  return text;
}

std::string speeds_text(const std::array<int, 3>& speeds) {
  return std::to_string(speeds[0]) + "/" + std::to_string(speeds[1]) + "/" +
         std::to_string(speeds[2]);
}

std::string code_colour(int code) {
  switch (code) {
    case 0:
      return "#95a5a6";
    case 180:
      return "#d35400";
    case 270:
      return "#2471a3";
    case 280:
      return "#1e8449";
    default:
      return "#6c3483";
  }
}

double nice_step(double wanted) {
  const double power = std::pow(10.0, std::floor(std::log10(wanted)));
  for (const double step : {1.0, 2.0, 5.0, 10.0}) {
    if (step * power >= wanted) return step * power;
  }
  return 10 * power;
}

// One item of the legend: its words and the glyph drawn left of them, around (gx, gy).
struct LegendItem {
  const char* text;
  void (*glyph)(SvgBuilder& svg, double gx, double gy);
};

constexpr LegendItem kLegend[] = {
    {"train speed limit",
     [](SvgBuilder& svg, double gx, double gy) {
       svg.line(gx, gy, gx + 20, gy,
                std::string("stroke=\"") + kSpeedColour + "\" stroke-width=\"2\"");
     }},
    {"slow order",
     [](SvgBuilder& svg, double gx, double gy) {
       svg.rect(gx, gy - 4, 20, 8, std::string("fill=\"") + kSlowColour + "\"");
     }},
    {"slow-order warning board",
     [](SvgBuilder& svg, double gx, double gy) {
       svg.raw("<path d=\"M" + px(gx + 10) + "," + px(gy - 6) + " L" + px(gx + 16) + "," +
               px(gy + 5) + " L" + px(gx + 4) + "," + px(gy + 5) +
               " Z\" fill=\"#ffffff\" stroke=\"" + kSlowColour + "\" stroke-width=\"1.6\"/>\n");
     }},
    {"maximum-speed board (stripes: announces)",
     [](SvgBuilder& svg, double gx, double gy) {
       svg.rect(gx + 6, gy - 4, 7, 7,
                std::string("fill=\"#ffffff\" stroke=\"") + kBoardColour + "\"");
     }},
    {"signal",
     [](SvgBuilder& svg, double gx, double gy) {
       svg.line(gx + 10, gy + 6, gx + 10, gy - 3,
                std::string("stroke=\"") + kSignalColour + "\" stroke-width=\"1.4\"");
       svg.circle(gx + 10, gy - 5, 3.2, std::string("fill=\"") + kSignalColour + "\"");
     }},
    {"information board",
     [](SvgBuilder& svg, double gx, double gy) {
       svg.rect(gx + 6, gy - 4, 8, 7, "fill=\"#fdfefe\" stroke=\"#154360\" stroke-width=\"1.2\"");
     }},
    {"code point 270 / 280 / 180 / other",
     [](SvgBuilder& svg, double gx, double gy) {
       int k = 0;
       for (const int code : {270, 280, 180, 0}) {
         svg.line(gx + 2 + 5 * k, gy - 6, gx + 2 + 5 * k, gy + 6,
                  "stroke=\"" + code_colour(code) + "\" stroke-width=\"1.6\"");
         ++k;
       }
     }},
    {"tunnel",
     [](SvgBuilder& svg, double gx, double gy) {
       svg.line(gx, gy, gx + 20, gy,
                std::string("stroke=\"") + kTunnelColour + "\" stroke-width=\"6\"");
     }},
    {"adhesion below usual",
     [](SvgBuilder& svg, double gx, double gy) {
       svg.rect(gx, gy - 5, 20, 10,
                std::string("fill=\"") + kAdhesionColour + "\" fill-opacity=\"0.6\"");
     }},
    {"station / halt or cabin",
     [](SvgBuilder& svg, double gx, double gy) {
       svg.circle(gx + 5, gy, 3.2, "fill=\"#000000\"");
       svg.circle(gx + 15, gy, 2.4, "fill=\"#ffffff\" stroke=\"#000000\"");
     }},
    {"beyond the end of the route",
     [](SvgBuilder& svg, double gx, double gy) {
       svg.rect(gx, gy - 6, 20, 12, "fill=\"#7f8c8d\" fill-opacity=\"0.25\"");
     }},
};

struct Band {
  double top = 0;
  double bottom = 0;
};

class ProfilePicture {
 public:
  explicit ProfilePicture(const RouteView& view) : view_(view) {}
  ProfileDrawing draw();

 private:
  double x(double metres) const { return kLeft + (metres - start_) * per_metre_; }
  void layout();
  void band_title(const Band& band, std::string_view title, std::string_view unit);
  void draw_title();
  void draw_frames();
  void draw_stations();
  void draw_elevation();
  void draw_gradients();
  void draw_speeds();
  double speed_y(double kmh) const;  // the height of a speed in the speed band
  void draw_speed_scale();
  void draw_slow_order_spans();
  void draw_speed_limit();
  void draw_speed_boards();
  void draw_adhesion();
  void draw_line_side();
  void draw_codes();
  void draw_axis();
  void draw_legend();
  // Labels of one kind in rows from `first_row_y` downward (or upward when `step` is negative).
  void row_labels(const std::vector<RowLabel>& labels, int rows, double first_row_y, double step,
                  std::string_view attributes);
  // Board labels likewise, with a row beyond them that counts the labels left out; each drawn
  // label's box is kept.
  void board_row_labels(const std::vector<RowLabel>& labels, bool speed_boards, double first_row_y,
                        double step, std::string_view attributes);

  const RouteView& view_;
  SvgBuilder* svg_ = nullptr;
  double start_ = 0;  // the first metre shown
  double end_ = 0;    // the last metre shown
  double per_metre_ = 0;
  double height_ = 0;
  Band names_, elevation_, gradient_, boards_, speed_, adhesion_, line_side_, codes_, axis_,
      legend_;
  double speed_top_ = 0;  // km/h at the top of the speed band
  std::vector<BoardLabel> board_labels_;
};

// The boards' label rows: three, and a fourth for the counts of those left out.
constexpr int kBoardLabelRows = 3;
constexpr double kSpeedBoardRowStep = 13;
constexpr double kBoardTextRowStep = 12;

void ProfilePicture::layout() {
  if (view_.stretch) {
    start_ = view_.stretch_from;
    end_ = std::max<double>(view_.stretch_to, start_ + 100);
  } else {
    end_ = std::max(1000.0, std::ceil(view_.drawn_length / 1000.0) * 1000.0);
  }
  per_metre_ = (kRight - kLeft) / (end_ - start_);
  double longest = 0;
  for (const Station& s : view_.stations) {
    double w = text_width(s.name_utf8, kLabel);
    if (s.values.time_seconds > 0)
      w += 8 + text_width(time_of_day_in_minutes(s.values.time_seconds), kSmall);
    longest = std::max(longest, w);
  }
  double y = 52;
  names_ = {y, y + std::clamp(longest + 14, 40.0, 220.0)};
  y = names_.bottom + 6;
  elevation_ = {y, y + 110};
  gradient_ = {elevation_.bottom + 4, elevation_.bottom + 34};
  boards_ = {gradient_.bottom + 20,
             gradient_.bottom + 20 + (kBoardLabelRows + 1) * kSpeedBoardRowStep};
  speed_ = {boards_.bottom + 6, boards_.bottom + 6 + 140};
  adhesion_ = {speed_.bottom + 8, speed_.bottom + 30};
  line_side_ = {adhesion_.bottom + 10, adhesion_.bottom + 10 + 104 + kBoardTextRowStep};
  codes_ = {line_side_.bottom + 10, line_side_.bottom + 10 + 56};
  axis_ = {codes_.bottom + 4, codes_.bottom + 54};
  legend_ = {axis_.bottom + 8, axis_.bottom + 8 + 54};
  height_ = legend_.bottom + 8;
}

void ProfilePicture::band_title(const Band& band, std::string_view title, std::string_view unit) {
  const double middle = (band.top + band.bottom) / 2;
  svg_->text(kTitleRight, middle + (unit.empty() ? 4 : -2), title, kLabel + 1, Anchor::End,
             "font-weight=\"bold\" fill=\"#2c3e50\"");
  if (!unit.empty())
    svg_->text(kTitleRight, middle + 12, unit, kSmall, Anchor::End, "fill=\"#555555\"");
}

void ProfilePicture::row_labels(const std::vector<RowLabel>& labels, int rows, double first_row_y,
                                double step, std::string_view attributes) {
  for (const PlacedRowLabel& placed : place_in_rows(labels, rows, kSmall, kLeft, kRight, 5)) {
    svg_->text((placed.left + placed.right) / 2, first_row_y + step * placed.row, placed.text,
               kSmall, Anchor::Middle, attributes);
  }
}

void ProfilePicture::board_row_labels(const std::vector<RowLabel>& labels, bool speed_boards,
                                      double first_row_y, double step,
                                      std::string_view attributes) {
  constexpr double kGap = 5;
  const std::vector<PlacedRowLabel> placed =
      place_in_rows(labels, kBoardLabelRows, kSmall, kLeft, kRight, kGap);
  const std::vector<PlacedRowLabel> counts =
      count_left_out(labels, placed, kBoardLabelRows, kSmall, kLeft, kRight, kGap);
  for (const bool count : {false, true}) {
    for (const PlacedRowLabel& label : count ? counts : placed) {
      const double y = first_row_y + step * label.row;
      svg_->text((label.left + label.right) / 2, y, label.text, kSmall, Anchor::Middle,
                 count ? std::string(attributes) + " data-count=\"1\"" : attributes);
      // Capitals and digits reach 0.76 of the size above the baseline, descenders 0.24 below.
      const Box box{label.left, y - 0.76 * kSmall, label.right, y + 0.24 * kSmall};
      board_labels_.push_back({speed_boards, label.text, box, label.stands_for});
    }
  }
}

void ProfilePicture::draw_title() {
  const std::string title = view_.route_id + " " + kMiddleDot + " train " + view_.train_number;
  svg_->text(16, 30, title, 20, Anchor::Start, "font-weight=\"bold\" class=\"profile-title\"");
  std::string subtitle = "route profile of the compiled scenario, ";
  char length[32];
  std::snprintf(length, sizeof length, "%.1f km", view_.route_length / 1000.0);
  subtitle += length;
  if (view_.stretch) {
    subtitle += ", shown from " + format_number(start_ / 1000, 3) + " to " +
                format_number(end_ / 1000, 3) + " km";
  }
  svg_->text(16 + text_width(title, 20, true) + 14, 30, subtitle, 13, Anchor::Start,
             "fill=\"#555555\"");
}

// The bands' frames, drawn first so that the station guides and the features stand on them.
void ProfilePicture::draw_frames() {
  for (const Band* band : {&gradient_, &adhesion_, &line_side_}) {
    svg_->rect(kLeft, band->top, kRight - kLeft, band->bottom - band->top,
               "fill=\"#fafafa\" stroke=\"#d0d4da\"");
  }
  // Beyond the end of the route the model goes on; the picture greys it.
  if (view_.route_length < end_) {
    const double from = x(std::max<double>(view_.route_length, start_));
    svg_->rect(from, names_.bottom, kRight - from, axis_.top - names_.bottom,
               "fill=\"#7f8c8d\" fill-opacity=\"0.12\"");
    svg_->line(from, names_.bottom, from, axis_.top + 8,
               "stroke=\"#000000\" stroke-width=\"1.2\" stroke-dasharray=\"5 3\"");
  }
}

void ProfilePicture::draw_stations() {
  band_title(names_, "Stations", "and times");
  std::vector<double> wanted;
  for (const Station& s : view_.stations) wanted.push_back(x(s.values.position));
  std::vector<size_t> order(wanted.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return wanted[a] < wanted[b]; });
  std::vector<double> sorted;
  for (const size_t i : order) sorted.push_back(wanted[i]);
  const std::vector<double> spread = spread_apart(sorted, kLabel + 3, kLeft + 6, kRight - 2);
  // Guides down through every band, then the names standing on the top of the first band.
  for (const double at : wanted) {
    svg_->line(
        at, names_.bottom, at, axis_.top,
        std::string("stroke=\"") + kGuideColour + "\" stroke-width=\"1\" stroke-dasharray=\"3 3\"");
  }
  for (size_t k = 0; k < order.size(); ++k) {
    const Station& s = view_.stations[order[k]];
    const double at = sorted[k];
    const double label_x = spread[k];
    const double foot = names_.bottom - 10;
    svg_->line(label_x, foot + 2, at, names_.bottom + 2, "stroke=\"#7f8c8d\" stroke-width=\"0.8\"");
    const bool major = s.kind == StationKind::Station;
    svg_->circle(
        at, names_.bottom + 2, major ? 3.2 : 2.4,
        major ? "fill=\"#000000\"" : "fill=\"#ffffff\" stroke=\"#000000\" stroke-width=\"1\"");
    const std::string rotate =
        "transform=\"rotate(-90 " + px(label_x + kLabel * 0.35) + " " + px(foot) + ")\"";
    svg_->text(label_x + kLabel * 0.35, foot, s.name_utf8, kLabel, Anchor::Start,
               "class=\"profile-station\" data-m=\"" + std::to_string(s.values.position) + "\" " +
                   (major ? "font-weight=\"bold\" " : "fill=\"#34495e\" ") + rotate);
    if (s.values.time_seconds > 0) {
      const double offset = text_width(s.name_utf8, kLabel, major) + 7;
      const std::string time_rotate =
          "transform=\"rotate(-90 " + px(label_x + kLabel * 0.35) + " " + px(foot - offset) + ")\"";
      svg_->text(label_x + kLabel * 0.35, foot - offset,
                 time_of_day_in_minutes(s.values.time_seconds), kSmall, Anchor::Start,
                 "class=\"profile-time\" fill=\"#7f8c8d\" " + time_rotate);
    }
  }
}

void ProfilePicture::draw_elevation() {
  band_title(elevation_, "Elevation", "m, start at 0");
  const auto& e = view_.elevation;
  if (e.empty()) return;
  const size_t shown = std::min(e.size(), static_cast<size_t>(end_ / kElevationStep) + 1);
  // A stretch is drawn from the elevation at the start of its first cell on.
  const size_t first = std::min(shown - 1, static_cast<size_t>(start_ / kElevationStep));
  double low =
      *std::min_element(e.begin() + static_cast<long>(first), e.begin() + static_cast<long>(shown));
  double high =
      *std::max_element(e.begin() + static_cast<long>(first), e.begin() + static_cast<long>(shown));
  const double step = nice_step(std::max(1.0, (high - low) / 4));
  low = std::floor(low / step) * step;
  high = std::max(low + step, std::ceil(high / step) * step);
  const double top = elevation_.top + 16;  // room for the tunnel labels
  auto y = [&](double metres) {
    return elevation_.bottom - (metres - low) / (high - low) * (elevation_.bottom - top);
  };
  for (double v = low; v <= high + step / 2; v += step) {
    svg_->line(kLeft, y(v), kRight, y(v), "stroke=\"#eceff1\" stroke-width=\"1\"");
    svg_->text(kLeft - 4, y(v) + 3, format_number(v, 1), 9, Anchor::End, "fill=\"#7f8c8d\"");
  }
  // The x of the elevation's value i.
  auto at = [&](size_t i) { return px(x(static_cast<double>(i) * kElevationStep)); };
  std::string line;
  for (size_t i = first; i < shown; ++i) {
    line += (i == first ? "M" : " L") + at(i) + "," + px(y(e[i]));
  }
  const std::string area = line + " L" + at(shown - 1) + "," + px(elevation_.bottom) + " L" +
                           at(first) + "," + px(elevation_.bottom) + " Z";
  svg_->raw("<path d=\"" + area + "\" fill=\"#efe3cf\" fill-opacity=\"0.75\" stroke=\"none\"/>\n");
  svg_->raw("<path class=\"profile-elevation\" d=\"" + line +
            "\" fill=\"none\" stroke=\"#8d6e63\" stroke-width=\"1.6\"/>\n");
  // Tunnels: a heavy bar along the line, at least three pixels long, and a label above.
  std::vector<RowLabel> labels;
  for (const ListedTunnel& t : view_.tunnels) {
    double from = x(t.start), to = x(t.end);
    if (to - from < 3) {
      const double middle = (from + to) / 2;
      from = middle - 1.5;
      to = middle + 1.5;
    }
    // The elevation values under the tunnel's two ends.
    auto under = [&](int32_t metres) {
      return std::min(shown - 1, static_cast<size_t>(std::max(0, metres) / kElevationStep));
    };
    const size_t i = under(t.start);
    const size_t j = under(t.end);
    svg_->line(from, y(e[i]) - 5, to, y(e[j]) - 5,
               std::string("class=\"profile-tunnel\" data-m=\"") + std::to_string(t.start) +
                   "\" stroke=\"" + kTunnelColour + "\" stroke-width=\"6\"");
    labels.push_back({(from + to) / 2,
                      {"tunnel " + std::to_string(int64_t{t.end} - t.start) + " m", "tunnel"},
                      0});
  }
  row_labels(labels, 1, elevation_.top + 10, 0, std::string("fill=\"") + kTunnelColour + "\"");
}

void ProfilePicture::draw_gradients() {
  band_title(gradient_, "Gradient", kPerMille);
  const double top = gradient_.top + 3;
  const double bottom = gradient_.bottom - 3;
  const double middle = (top + bottom) / 2;
  std::vector<RowLabel> labels;
  for (const StepView& step : view_.gradients) {
    const double from = x(step.start);
    const double to = x(std::min<double>(step.end, end_));
    if (to <= from) continue;
    svg_->line(from, gradient_.top, from, gradient_.bottom,
               "stroke=\"#b0b6bd\" stroke-width=\"1\"");
    const double y1 = step.value > 0 ? bottom : step.value < 0 ? top : middle;
    const double y2 = step.value > 0 ? top : step.value < 0 ? bottom : middle;
    svg_->line(from, y1, to, y2,
               "class=\"profile-gradient\" data-m=\"" + std::to_string(step.start) +
                   "\" data-per-mille=\"" + std::to_string(step.value) +
                   "\" stroke=\"#5d4037\" stroke-width=\"1.5\"");
    labels.push_back({(from + to) / 2,
                      {signed_number(step.value) + " " + kPerMille, signed_number(step.value)},
                      static_cast<int>(to - from)});
  }
  // The values below the band, where they cannot hide the slopes.
  row_labels(labels, 1, gradient_.bottom + 12, 0,
             "class=\"profile-gradient-value\" fill=\"#5d4037\"");
}

void ProfilePicture::draw_speeds() {
  band_title(speed_, "Speed", "km/h");
  draw_speed_scale();
  draw_slow_order_spans();
  draw_speed_limit();
  draw_speed_boards();
}

double ProfilePicture::speed_y(double kmh) const {
  return speed_.bottom -
         std::clamp(kmh, 0.0, speed_top_) / speed_top_ * (speed_.bottom - speed_.top);
}

void ProfilePicture::draw_speed_scale() {
  int highest = 0;
  for (const StepView& s : view_.speed_limits) highest = std::max(highest, s.value);
  for (const SpeedBoard& b : view_.speed_boards) {
    for (const int v : b.values.left) highest = std::max(highest, v);
    for (const int v : b.values.right) highest = std::max(highest, v);
  }
  const double grid = highest > 120 ? 50 : 20;
  speed_top_ = std::max(grid, std::ceil((highest + 5) / grid) * grid);
  for (double v = 0; v <= speed_top_ + 0.5; v += grid) {
    svg_->line(kLeft, speed_y(v), kRight, speed_y(v), "stroke=\"#eceff1\" stroke-width=\"1\"");
    svg_->text(kLeft - 4, speed_y(v) + 3, format_number(v, 0), 9, Anchor::End, "fill=\"#7f8c8d\"");
  }
}

// The slow orders: a shaded span down to their speed.
void ProfilePicture::draw_slow_order_spans() {
  for (const SlowOrderView& order : view_.slow_orders) {
    const double from = x(order.start);
    const double to = std::max(from + 2, x(order.end));
    const double top = speed_y(order.speed);
    svg_->rect(from, top, to - from, speed_.bottom - top,
               std::string("fill=\"") + kSlowColour + "\" fill-opacity=\"0.18\"");
    svg_->line(from, top, to, top,
               std::string("class=\"profile-slow-order\" data-m=\"") + std::to_string(order.start) +
                   "\" stroke=\"" + kSlowColour + "\" stroke-width=\"2.5\"");
  }
}

// The train's speed limit as steps, each labelled with its speed where there is room.
void ProfilePicture::draw_speed_limit() {
  std::string d;
  std::vector<RowLabel> labels;
  for (const StepView& step : view_.speed_limits) {
    if (step.start >= end_) break;
    const double to = x(std::min<double>(step.end, end_));
    d += (d.empty() ? "M" : " L") + px(x(step.start)) + "," + px(speed_y(step.value)) + " L" +
         px(to) + "," + px(speed_y(step.value));
    labels.push_back({(x(step.start) + to) / 2,
                      {std::to_string(step.value)},
                      static_cast<int>(to - x(step.start))});
  }
  svg_->raw(std::string("<path class=\"profile-speed-limit\" d=\"") + d +
            "\" fill=\"none\" stroke=\"" + kSpeedColour + "\" stroke-width=\"2\"/>\n");
  for (const PlacedRowLabel& placed : place_in_rows(labels, 1, kSmall, kLeft, kRight, 6)) {
    const StepView& step = view_.speed_limits[placed.request];
    svg_->text((placed.left + placed.right) / 2, speed_y(step.value) - 4, placed.text, kSmall,
               Anchor::Middle, std::string("fill=\"") + kSpeedColour + "\" font-weight=\"bold\"");
  }
}

// The maximum-speed boards: a post at the top of the band, the speeds of ranks A/B/C above.
void ProfilePicture::draw_speed_boards() {
  std::vector<RowLabel> labels;
  for (const SpeedBoard& board : view_.speed_boards) {
    const SpeedBoardCell& b = board.values;
    const double at = x(board.position);
    const int stripes = std::max(b.strisces, b.strisced);
    svg_->line(at, speed_.top - 2, at, speed_.top + 8,
               std::string("stroke=\"") + kBoardColour + "\" stroke-width=\"1\"");
    svg_->rect(at - 3.5, speed_.top - 8, 7, 7,
               std::string("class=\"profile-speed-board\" data-m=\"") +
                   std::to_string(board.position) + "\" fill=\"#ffffff\" stroke=\"" + kBoardColour +
                   "\" stroke-width=\"1.2\"");
    for (int s = 0; s < std::min(stripes, 3); ++s) {
      svg_->line(at - 3.5, speed_.top - 6 + 2 * s, at + 3.5, speed_.top - 6 + 2 * s,
                 "stroke=\"#f1c40f\" stroke-width=\"1\"");
    }
    const bool has_left = b.left != std::array<int, 3>{};
    const bool has_right = b.right != std::array<int, 3>{};
    std::vector<std::string> texts;
    if (has_left && has_right && b.left != b.right) {
      texts.push_back(speeds_text(b.left) + " R " + speeds_text(b.right));
    }
    texts.push_back(has_left ? speeds_text(b.left) : "R " + speeds_text(b.right));
    texts.push_back(std::to_string(has_left ? b.left[0] : b.right[0]) + kEllipsis);
    // Boards that announce a reduction (stripes) give way to the boards of the speed itself.
    labels.push_back({at, texts, stripes == 0 ? 1 : 0});
  }
  board_row_labels(labels, true, boards_.bottom - 4, -kSpeedBoardRowStep,
                   std::string("fill=\"") + kBoardColour + "\"");
  svg_->text(kTitleRight, boards_.bottom - 4, "Boards A/B/C", kSmall, Anchor::End,
             std::string("fill=\"") + kBoardColour + "\"");
}

void ProfilePicture::draw_adhesion() {
  band_title(adhesion_, "Adhesion", "usual " + std::to_string(view_.usual_adhesion));
  std::vector<RowLabel> labels;
  for (const StepView& step : view_.adhesion) {
    if (step.value >= view_.usual_adhesion || step.start >= end_) continue;
    const double from = x(step.start);
    const double to = x(std::min<double>(step.end, end_));
    svg_->rect(from, adhesion_.top + 2, to - from, adhesion_.bottom - adhesion_.top - 4,
               "class=\"profile-adhesion\" data-m=\"" + std::to_string(step.start) + "\" fill=\"" +
                   kAdhesionColour + "\" fill-opacity=\"" +
                   format_number(0.25 + 0.6 * (view_.usual_adhesion - step.value) /
                                            std::max(1, view_.usual_adhesion),
                                 2) +
                   "\"");
    labels.push_back({(from + to) / 2, {std::to_string(step.value)}, step.end - step.start});
  }
  row_labels(labels, 1, (adhesion_.top + adhesion_.bottom) / 2 + 4, 0,
             "fill=\"#7e3b00\" font-weight=\"bold\"");
}

void ProfilePicture::draw_line_side() {
  band_title(line_side_, "Line side", "");
  const double signal_foot = line_side_.top + 22;
  for (const int32_t at_m : view_.signals) {
    const double at = x(at_m);
    // A mast and a round head, as one path.
    svg_->raw("<path class=\"profile-signal\" data-m=\"" + std::to_string(at_m) + "\" d=\"M" +
              px(at) + "," + px(signal_foot) + " V" + px(signal_foot - 11) + " M" + px(at - 3.2) +
              "," + px(signal_foot - 14) + " a3.2,3.2 0 1,0 6.4,0 a3.2,3.2 0 1,0 -6.4,0\" fill=\"" +
              kSignalColour + "\" stroke=\"" + kSignalColour + "\" stroke-width=\"1.4\"/>\n");
  }
  // The slow orders: the span, its warning board and the approach boards before it.
  const double slow_y = line_side_.top + 38;
  std::vector<RowLabel> slow_labels;
  for (const SlowOrderView& order : view_.slow_orders) {
    const double from = x(order.start);
    const double to = std::max(from + 3, x(order.end));
    svg_->rect(from, slow_y - 4, to - from, 8, std::string("fill=\"") + kSlowColour + "\"");
    slow_labels.push_back({(from + to) / 2,
                           {"slow order " + std::to_string(order.speed) + " km/h",
                            std::to_string(order.speed) + " km/h"},
                           2});
  }
  for (const SlowOrderBoard& board : view_.warning_boards) {
    const double at = x(board.position);
    svg_->raw("<path class=\"profile-warning-board\" data-m=\"" + std::to_string(board.position) +
              "\" d=\"M" + px(at) + "," + px(slow_y - 7) + " L" + px(at + 6) + "," +
              px(slow_y + 5) + " L" + px(at - 6) + "," + px(slow_y + 5) +
              " Z\" fill=\"#ffffff\" stroke=\"" + kSlowColour + "\" stroke-width=\"1.6\"/>\n");
    slow_labels.push_back(
        {at, {"warning " + std::to_string(board.warning.v), std::to_string(board.warning.v)}, 1});
  }
  for (const SlowOrderBoard& board : view_.approach_boards) {
    const double at = x(board.position);
    svg_->line(at, slow_y - 4, at, slow_y + 4,
               "class=\"profile-approach-board\" data-m=\"" + std::to_string(board.position) +
                   "\" stroke=\"" + kSlowColour + "\" stroke-width=\"1\"");
  }
  row_labels(slow_labels, 1, slow_y + 17, 0, std::string("fill=\"") + kSlowColour + "\"");

  // The information boards, their panels in rows below.
  const double board_y = line_side_.top + 66;
  std::vector<RowLabel> labels;
  for (const InformationBoard& board : view_.information_boards) {
    const double at = x(board.position);
    svg_->rect(at - 4, board_y - 5, 8, 7,
               "class=\"profile-information-board\" data-m=\"" + std::to_string(board.position) +
                   "\" fill=\"#fdfefe\" stroke=\"#154360\" stroke-width=\"1.2\"");
    std::vector<std::string> texts;
    std::string all;
    for (const std::string& panel : board.panels) all += (all.empty() ? "" : " / ") + panel;
    if (!all.empty()) texts.push_back(all);
    if (board.panels.size() > 1) texts.push_back(board.panels[0] + " " + kEllipsis);
    labels.push_back({at, texts, 0});
  }
  board_row_labels(labels, false, board_y + 13, kBoardTextRowStep,
                   "class=\"profile-board-text\" fill=\"#154360\"");
}

void ProfilePicture::draw_codes() {
  band_title(codes_, "Cab codes", "");
  const double bar_y = codes_.top + 6;
  const CabSignalRepetition& repetition = view_.repetition;
  if (repetition.end > repetition.start) {
    const double from = x(repetition.start);
    const double to = x(std::min<double>(repetition.end, end_));
    svg_->rect(from, bar_y - 2, to - from, 4, "fill=\"#aab7b8\"");
  }
  const double tick_y = codes_.top + 20;
  // The first row names each change of code; the second the points that repeat a code.
  std::vector<RowLabel> changes;
  std::vector<RowLabel> repeats;
  std::vector<int> change_codes;
  std::vector<int> repeat_codes;
  int previous = -1;
  for (const CodePoint& point : view_.code_points) {
    const double at = x(point.position);
    svg_->line(at, tick_y - 7, at, tick_y + 7,
               "class=\"profile-code-point\" data-m=\"" + std::to_string(point.position) +
                   "\" data-code=\"" + std::to_string(point.code) + "\" stroke=\"" +
                   code_colour(point.code) + "\" stroke-width=\"1.6\"");
    const bool change = point.code != previous;
    // Rare codes (those the finishing pass adds around a slow order) win a crowded row.
    const int rarity = -static_cast<int>(
        std::count_if(view_.code_points.begin(), view_.code_points.end(),
                      [&](const CodePoint& other) { return other.code == point.code; }));
    (change ? changes : repeats)
        .push_back({at, {point.code == 0 ? "none" : std::to_string(point.code)}, rarity});
    (change ? change_codes : repeat_codes).push_back(point.code);
    previous = point.code;
  }
  for (const bool second : {false, true}) {
    const double y = tick_y + 18 + (second ? 12 : 0);
    const auto& codes = second ? repeat_codes : change_codes;
    for (const PlacedRowLabel& placed :
         place_in_rows(second ? repeats : changes, 1, kSmall, kLeft, kRight, 4)) {
      svg_->text((placed.left + placed.right) / 2, y, placed.text, kSmall, Anchor::Middle,
                 "class=\"profile-code\" fill=\"" + code_colour(codes[placed.request]) + "\"");
    }
  }
  if (repetition.end > repetition.start) {
    const std::string what = std::to_string(repetition.codes) + "-code repetition";
    svg_->text(x(repetition.start) + 4, bar_y - 5 + 0.5, what, 9, Anchor::Start,
               "fill=\"#5f6a6a\"");
  }
}

void ProfilePicture::draw_axis() {
  const double y = axis_.top;
  svg_->line(kLeft, y, kRight, y, "stroke=\"#000000\" stroke-width=\"1\"");
  const double span = end_ - start_;
  const double label_every = nice_step(span / 30);
  const double tick_every = nice_step(span / 150);
  for (double m = std::ceil(start_ / tick_every) * tick_every; m <= end_ + 1; m += tick_every) {
    const bool labelled = std::fmod(m + 0.5, label_every) < 1;
    svg_->line(x(m), y, x(m), y + (labelled ? 7 : 3), "stroke=\"#000000\" stroke-width=\"1\"");
    if (labelled) svg_->text(x(m), y + 19, format_number(m / 1000, 1), kSmall, Anchor::Middle);
  }
  svg_->text(kTitleRight, y + 19, "km", kLabel + 1, Anchor::End, "font-weight=\"bold\"");
  // The kilometric progressive where a reference gives it.
  for (const ReferencePoint& r : view_.references) {
    const double at = x(r.position);
    svg_->line(at, y, at, y + 30, "stroke=\"#6c3483\" stroke-width=\"1.2\"");
    svg_->text(at + 3, y + 38, "progressive km " + progressive_text(r.progressive), kSmall,
               Anchor::Start, "class=\"profile-progressive\" fill=\"#6c3483\"");
  }
  svg_->text(kRight, y + 38,
             "end of the route " + format_number(view_.route_length / 1000.0, 3) + " km", kSmall,
             Anchor::End, "fill=\"#000000\"");
}

void ProfilePicture::draw_legend() {
  double lx = kLeft;
  double ly = legend_.top + 14;
  svg_->text(kTitleRight, ly + 4, "Legend", kLabel + 1, Anchor::End, "font-weight=\"bold\"");
  // The items run left to right and wrap to a new row where the next one would not fit.
  for (const LegendItem& item : kLegend) {
    const double width = 30 + text_width(item.text, kSmall) + 22;
    if (lx + width > kRight) {
      lx = kLeft;
      ly += 20;
    }
    item.glyph(*svg_, lx, ly);
    svg_->text(lx + 26, ly + 4, item.text, kSmall);
    lx += width;
  }
}

ProfileDrawing ProfilePicture::draw() {
  layout();
  SvgBuilder svg(kWidth, height_, view_.route_id + " " + view_.train_number + ": route profile");
  svg_ = &svg;
  svg.rect(0, 0, kWidth, height_, "fill=\"#ffffff\"");
  draw_title();
  draw_frames();
  draw_stations();
  draw_elevation();
  draw_gradients();
  draw_speeds();
  draw_adhesion();
  draw_line_side();
  draw_codes();
  draw_axis();
  draw_legend();
  return {svg.element(), std::move(board_labels_)};
}

}  // namespace

std::string route_profile_svg(const RouteView& view) {
  return draw_route_profile(view).svg;
}

ProfileDrawing draw_route_profile(const RouteView& view) {
  ProfilePicture picture(view);
  return picture.draw();
}

}  // namespace scengen
