// Reading back the texts the writers make: their lines, their columns, their high bytes.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "testing/scratch_folder.h"

namespace scengen::testing {

/// The lines of a text whose every line ends in CR LF; a last piece without CR LF is kept as a
/// line of its own so that a missing line end shows up as a difference.
std::vector<std::string> split_crlf(std::string_view bytes);

/// The columns (from 0) at which `line` holds the character `c`.
std::vector<std::size_t> columns_of(std::string_view line, char c);

/// The bytes of `bytes` at or above 0x80, in order.
std::string high_bytes(std::string_view bytes);

/// A fixture for one text writer: the writer writes into a scratch folder, and the test reads
/// the file's bytes and lines.
class WrittenText : public ::testing::Test {
 protected:
  /// Runs `writer` for the built-in scenario and reads back the file `name` it writes.
  void write_with(void (*writer)(const OutputPlace&), std::string_view name);
  /// Line `n`, counted from 1 as an editor counts them.
  const std::string& line(std::size_t n) const { return lines.at(n - 1); }

  ScratchFolder folder;
  std::string bytes;
  std::vector<std::string> lines;
};

}  // namespace scengen::testing
