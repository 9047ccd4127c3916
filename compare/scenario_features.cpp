#include "compare/scenario_features.h"

#include <cstdio>

namespace scengen {
namespace {

std::string format(const char* pattern, auto... values) {
  char buffer[512];
  std::snprintf(buffer, sizeof buffer, pattern, values...);
  return buffer;
}

Feature at_point(int32_t position, std::string words) {
  return {position, position, std::move(words)};
}

std::string signal_words(const SignalCell& s) {
  return format("s1 %d d1 %d, s2 %d d2 %d, s3 %d d3 %d, sx %d dx %d, rapp %d, tempo %d", s.s1, s.d1,
                s.s2, s.d2, s.s3, s.d3, s.sx, s.dx, s.rapp, s.tempo);
}

std::string speed_board_words(const SpeedBoardCell& b) {
  return format("left %d/%d/%d km/h, right %d/%d/%d km/h, stripes %d and %d", b.left[0], b.left[1],
                b.left[2], b.right[0], b.right[1], b.right[2], b.strisces, b.strisced);
}

// A board names a slot of the table: its text when the slot exists.
std::string information_board_words(const InformationBoard& board) {
  if (!board.slot_exists) return format("slot %d", board.slot);
  return "\"" + board.text + "\"";
}

// An order's warning board follows from the order itself; its approach boards stand only when the
// author asked for them, so they are part of its values.
std::string slow_order_words(const SlowOrder& order) {
  const SlowOrderCell& v = order.values;
  std::string words = format("%d km/h, d_v %d, f_tt %d", v.v, v.d_v, v.f_tt);
  if (order.approach_board_before_warning) words += ", approach boards";
  return words;
}

// A tunnel's markers are the compiler's, placed when the author marked it.
std::string tunnel_words(const Tunnel& tunnel) {
  return format("kind %d%s", tunnel.kind, tunnel.has_marker ? ", marked" : "");
}

std::string code_point_words(const CodePoint& point) {
  if (!point.has_code) return "no code";
  return format("code %d", point.code);
}

}  // namespace

ScenarioFeatures scenario_features(const ScenarioModel& model) {
  ScenarioFeatures f;
  for (const Tunnel& t : model.tunnels) f.tunnels.push_back({t.start, t.end, tunnel_words(t)});
  for (const SpeedBoard& b : model.speed_boards) {
    f.speed_boards.push_back(at_point(b.position, speed_board_words(b.values)));
  }
  for (const InformationBoard& b : model.information_boards) {
    f.information_boards.push_back(at_point(b.position, information_board_words(b)));
  }
  for (const Signal& s : model.signals) {
    f.signals.push_back(at_point(s.position, signal_words(s.values)));
  }
  for (const SlowOrder& o : model.slow_orders) {
    f.slow_orders.push_back({o.start, o.end, slow_order_words(o)});
  }
  // Every code point, the compiler's 180s among them: an edited slow order moves them too.
  for (const CodePoint& p : model.code_points) {
    f.code_points.push_back(at_point(p.position, code_point_words(p)));
  }
  return f;
}

std::vector<ValueRun> step_runs(const std::vector<Step>& steps) {
  std::vector<ValueRun> runs;
  runs.reserve(steps.size());
  for (const Step& s : steps) runs.push_back({s.first_cell, s.end_cell, s.value});
  return runs;
}

std::vector<ValueRun> curvature_runs(const RoutePlan& plan) {
  std::vector<ValueRun> runs;
  runs.reserve(plan.curvature_runs.size());
  for (const CurvatureRun& r : plan.curvature_runs) {
    runs.push_back({r.first_point, int64_t{r.last_point} + 1, r.units});
  }
  return runs;
}

}  // namespace scengen
