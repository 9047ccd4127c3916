// Fuzzes the readers of the three binary files (the command line's dump reads files a user hands
// it): any bytes are either refused with a reason or decoded into a model that encodes back to
// exactly those bytes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "compiler/output_decoding.h"
#include "compiler/output_files.h"

namespace {

using namespace scengen;

void check(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (const auto cells = decode_track_cells(bytes)) {
    check(encode_track_cells(*cells.value) == bytes, "a track file reads back exactly");
  } else {
    check(!cells.error.empty(), "a refused track file has a reason");
  }
  if (const auto table = decode_scenario_table(bytes)) {
    check(encode_scenario_table(*table.value) == std::string(bytes),
          "a table file reads back exactly");
  } else {
    check(!table.error.empty(), "a refused table file has a reason");
  }
  if (const auto plan = decode_route_plan(bytes)) {
    const std::string again = encode_route_plan(*plan.value);
    // An integer element is stored in 16 bits and a double in 64: both come back as they were.
    check(again == bytes, "a plan file reads back exactly");
  } else {
    check(!plan.error.empty(), "a refused plan file has a reason");
  }
  return 0;
}
