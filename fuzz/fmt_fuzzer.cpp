// Fuzzes the layout of the description texts: the input is a line description text, a NUL byte
// and a train description text (no NUL: the built-in train text). Laid out, the texts must
// compile to the same status and the same bytes of all three files (the route plan too, for
// routes short enough to keep the fuzzer fast), and laying them out again must change nothing.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "compiler/track_layout.h"
#include "format/compiled_image.h"
#include "format/text_format.h"
#include "texts/line_list.h"
#include "texts/train_description.h"

namespace {

using namespace scengen;

[[noreturn]] void broken(const char* what) {
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}

void check(bool holds, const char* what) {
  if (!holds) broken(what);
}

// As in the compile target: beyond this extent the route plan makes a run slow.
constexpr size_t kLongestPlannedCells = 20000 / 50;

const std::string kBuiltInTrain = emit_line_list(train_description_lines());

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t split = input.find('\0');
  const std::string_view line = input.substr(0, split);
  const std::string_view train =
      split == std::string_view::npos ? std::string_view(kBuiltInTrain) : input.substr(split + 1);

  const std::string laid_line = format::format_text(line, format::TextKind::line);
  const std::string laid_train = format::format_text(train, format::TextKind::train);
  check(format::format_text(laid_line, format::TextKind::line) == laid_line,
        "a laid-out line text stays as it is");
  check(format::format_text(laid_train, format::TextKind::train) == laid_train,
        "a laid-out train text stays as it is");

  const format::CompiledImage before = format::compile_image(line, train, 0);
  check(format::compile_image(laid_line, laid_train, 0) == before,
        "the laid-out texts compile to the same bytes");
  if (before.track.size() / kCellBytes <= kLongestPlannedCells) {
    check(format::compile_image(laid_line, laid_train, 1) == format::compile_image(line, train, 1),
          "the laid-out texts compile to the same bytes, route plan included");
  }
  return 0;
}
