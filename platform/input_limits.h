// The largest inputs the program reads, so that a hostile or mistaken path cannot exhaust memory.
#pragma once

#include <cstdint>

namespace scengen {

/// The largest description text read. The generated texts of a 1000000 m route with every table
/// at its largest stay far below it (a few MiB), so no valid text comes near.
inline constexpr uint64_t kMaxTextBytes = uint64_t{64} << 20;

/// The largest binary file read (by the inspecting commands). The route plan of a 1000000 m
/// route, the largest valid binary file, is about 20 MB.
inline constexpr uint64_t kMaxBinaryBytes = uint64_t{64} << 20;

/// The cap FileLayer::read_whole applies when its caller names none: the larger of the two.
inline constexpr uint64_t kMaxInputBytes =
    kMaxTextBytes > kMaxBinaryBytes ? kMaxTextBytes : kMaxBinaryBytes;

}  // namespace scengen
