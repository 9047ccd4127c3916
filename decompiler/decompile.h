// Description texts recovered from a compiled scenario: the line and train descriptions that
// compile back into the same track, scenario table and (when given) route plan, byte for byte.
//
// Everything the finishing pass and the seal derive (the code points around slow orders, the seal
// values, the scenario codes), the marks, tunnel markers and station markers are left to the
// compile; the texts carry only what an author writes. The result is then compiled in memory and
// compared with the files, so that every place the texts cannot reproduce is named.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "scenario/compiled_files.h"
#include "scenario/scenario_model.h"

namespace scengen {

/// The recovered texts and how far they reproduce the files.
struct Decompilation {
  std::string line_text;  // Windows-1252 bytes, CR LF line ends
  std::string train_text;
  /// What the texts cannot say, found while reading the files (a Kind no text makes, a value lost
  /// by the compile), one sentence each.
  std::vector<std::string> notes;
  /// The places where the texts compile to other bytes than the files hold, one line each
  /// ("cell 36 (1800 m): ..."), at most kMaxListedDifferences and a count of the rest.
  std::vector<std::string> differences;
  bool exact() const { return differences.empty(); }
};

inline constexpr size_t kMaxListedDifferences = 40;

/// Recovers the two texts of `files` for the scenario `route_id` / `train_number` (the identity
/// the texts will be compiled under) and verifies them by compiling them in memory. A plan that
/// is no route plan counts as none.
Decompilation decompile(const CompiledFiles& files, const std::string& route_id,
                        const std::string& train_number);

/// The two texts alone, without the verifying compile: for callers that compile them anyway.
/// `explicit_180` lists cells whose code point of code 180 an author wrote (the finishing pass
/// makes the others).
Decompilation write_texts(const CompiledFiles& files,
                          const std::vector<int32_t>& explicit_180 = {});

}  // namespace scengen
