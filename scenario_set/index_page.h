// The page of a whole set: one table of its routes and trains, each linking its own page and
// pictures.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace scengen {

/// The index's name in the output folder.
inline constexpr char kIndexPageName[] = "index.html";

/// One scenario of the table; names UTF-8, links file names in the output folder (empty: none).
struct IndexRow {
  std::string route;
  std::string train;
  int32_t length = -1;  // metres; -1: unknown (no track)
  int32_t stations = -1;
  std::string status;  // "built", "error 15 at 2000 m", ...
  bool failed = false;
  std::string page;
  std::string map;
  std::string profile;
};

/// The page: a heading, a count, and the table in the rows' order. Self-contained: no script,
/// no file beyond the linked ones.
std::string index_page(const std::vector<IndexRow>& rows);

/// A file name as a link's target: every byte outside the unreserved ones percent-encoded.
std::string link_target(const std::string& name);

}  // namespace scengen
