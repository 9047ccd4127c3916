// The largest inputs the program reads, so that a hostile or mistaken path cannot exhaust memory.
#pragma once

#include <cstdint>

namespace scengen {

/// The largest description text read. The generated texts of a 1000000 m route (a curve, a
/// gradient and a board every few hundred metres, 78 stations, 80 tunnels) are 231 kB and 123 kB;
/// even a record for every single metre of such a route, at 64 bytes a line, stays below it.
inline constexpr uint64_t kMaxTextBytes = uint64_t{64} << 20;

/// The largest binary file read (by the inspecting commands). The route plan of a 1000000 m
/// route, the largest valid binary file, is 20139964 bytes.
inline constexpr uint64_t kMaxBinaryBytes = uint64_t{64} << 20;

/// The cap FileLayer::read_whole applies when its caller names none: the larger of the two.
inline constexpr uint64_t kMaxInputBytes =
    kMaxTextBytes > kMaxBinaryBytes ? kMaxTextBytes : kMaxBinaryBytes;

}  // namespace scengen
