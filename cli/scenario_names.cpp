#include "cli/scenario_names.h"

#include <filesystem>

namespace scengen {
namespace {

std::string file_name_of(std::string_view path) {
  const auto name = std::filesystem::path(std::string(path)).filename().u8string();
  return std::string(name.begin(), name.end());
}

bool ends_with(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

}  // namespace

std::optional<std::string> route_from_line_text(std::string_view path) {
  constexpr std::string_view kEnd = "_linea.txt";
  const std::string name = file_name_of(path);
  if (!ends_with(name, kEnd) || name.size() == kEnd.size()) return std::nullopt;
  return name.substr(0, name.size() - kEnd.size());
}

std::optional<std::string> train_from_train_text(std::string_view path, std::string_view route) {
  constexpr std::string_view kEnd = "-.txt";
  const std::string name = file_name_of(path);
  const std::string start = std::string(route) + "_";
  if (!ends_with(name, kEnd) || name.size() <= start.size() + kEnd.size()) return std::nullopt;
  if (name.compare(0, start.size(), start) != 0) return std::nullopt;
  return name.substr(start.size(), name.size() - start.size() - kEnd.size());
}

bool names_a_file(std::string_view id) {
  if (id.empty() || id == "." || id == "..") return false;
  for (const char c : id) {
    if (static_cast<unsigned char>(c) < 0x20) return false;
    if (std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos) return false;
  }
  return true;
}

}  // namespace scengen
