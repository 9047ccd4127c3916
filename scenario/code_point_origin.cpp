// Which code points of 180 the finishing pass made. The files keep no mark of it, so the pass
// runs again on the track without them, asked at each of those cells whether it found it free:
// first yes (its own point), and when it then makes a point where the files hold none, the last
// yes before that turns to no (an author's point stood there) and the pass runs again.
#include <vector>

#include "compiler/finishing_pass.h"
#include "scenario/model_parts.h"

namespace scengen {
namespace {

// Runs of the pass before the search gives up; each answer it turns needs one.
constexpr int kMostPassRuns = 256;

bool is_derived_code(const TrackCell& cell) {
  return cell.Kind == kCodePoint && cell.Param1 == kDerivedSpeedCode;
}

// The pass's answers at the candidate cells, in the order it asked; nullopt when no run of the
// pass made the files' points.
std::optional<std::vector<bool>> pass_answers(const std::vector<TrackCell>& cells,
                                              const std::vector<bool>& candidate) {
  Compilation pass;
  std::vector<bool> answers;
  for (int run = 0; run < kMostPassRuns; ++run) {
    pass.TrackCells = cells;
    for (size_t i = 0; i < cells.size(); ++i) {
      if (!candidate[i]) continue;
      // The pass reads and writes only Kind and Param1.
      pass.TrackCells[i].Kind = kNothing;
      pass.TrackCells[i].Param1 = 0;
    }
    size_t asked = 0;
    std::optional<size_t> wrong_after;  // questions asked before a point the files do not hold
    finishing_pass(pass, [&](int32_t cell) {
      if (!candidate[static_cast<size_t>(cell)]) {
        if (!wrong_after) wrong_after = asked;
        return true;
      }
      if (asked == answers.size()) answers.push_back(true);
      return static_cast<bool>(answers[asked++]);
    });
    if (!wrong_after) {
      answers.resize(asked);
      return answers;
    }
    size_t turn = *wrong_after;
    while (turn > 0 && !answers[turn - 1]) --turn;
    if (turn == 0) return std::nullopt;
    answers.resize(turn);
    answers.back() = false;
  }
  return std::nullopt;
}

}  // namespace

void tell_derived_code_points(const std::vector<TrackCell>& cells, ScenarioModel& model) {
  std::vector<bool> candidate(cells.size(), false);
  bool any = false;
  for (const CodePoint& point : model.code_points) {
    if (point.has_code && point.code == kDerivedSpeedCode) {
      candidate[static_cast<size_t>(point.cell)] = true;
      any = true;
    }
  }
  if (!any || cells.size() < 2) return;
  const std::optional<std::vector<bool>> answers = pass_answers(cells, candidate);
  if (!answers) return;
  // Replay the answers to see which cells the pass took.
  Compilation pass;
  pass.TrackCells = cells;
  for (size_t i = 0; i < cells.size(); ++i) {
    if (!candidate[i]) continue;
    pass.TrackCells[i].Kind = kNothing;
    pass.TrackCells[i].Param1 = 0;
  }
  std::vector<bool> derived(cells.size(), false);
  size_t asked = 0;
  finishing_pass(pass, [&](int32_t cell) {
    const bool own = (*answers)[asked++];
    derived[static_cast<size_t>(cell)] = own;
    return own;
  });
  for (CodePoint& point : model.code_points) {
    if (point.has_code && point.code == kDerivedSpeedCode)
      point.derived = derived[static_cast<size_t>(point.cell)] &&
                      is_derived_code(pass.TrackCells[static_cast<size_t>(point.cell)]);
  }
}

}  // namespace scengen
