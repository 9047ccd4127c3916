// Models built by hand for the tests, independent of the readers: a track of plain cells, a plan
// started as the reader starts it, and a small compiled 10 km route with one feature of every kind.
#pragma once

#include <cstddef>
#include <cstdint>

#include "compiler/compilation.h"

namespace scengen::testing {

/// Makes `plan` hold points 0 to `last_point`, with the first two set as the line reader sets
/// them: the route starts at the origin heading along coordinate 1.
void start_plan(TrackPlan& plan, int32_t last_point);

/// A model whose track is `cells` copies of `every`, and nothing else.
Compilation with_track(std::size_t cells, const TrackCell& every = {});

/// Walks the plan from point `cursor` to `to`, turning by `k` per metre.
void walk_plan(TrackPlan& plan, int32_t& cursor, int32_t to, double k);

/// Stations at 0, 3000 (a halt) and 9500 m; a signal at 1750; code points at 2000 (270) and
/// 3000 (no code); a slow order of 40 km/h from 6000 to 6400 with its warning board at 4800 and
/// approach boards at 4600 to 4750; speed boards at 700 (30 km/h) and 1250 (140/160/190 left,
/// 140/160/180 right); an information board at 1700; a tunnel from 4000 to 4600; +5 per mille
/// from 2000 to 3000 and -3 from 6000 to 8000; speed 30 km/h to 1000 m, then 100; adhesion 70
/// from 4000 to 4500, else 96; a right curve of class 6 from 1000 to 1300 m and a left one of
/// class 3 from 5000 to 6000 m.
Compilation hand_made_model();

}  // namespace scengen::testing
