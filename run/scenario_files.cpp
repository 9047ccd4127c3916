#include "run/scenario_files.h"

#include <cstdio>

#include "compiler/source_text.h"
#include "documents/crew_documents.h"
#include "platform/file_layer.h"

namespace scengen {
namespace {

std::string file_name_of(const std::filesystem::path& path) {
  const auto name = path.filename().u8string();
  return std::string(name.begin(), name.end());
}

bool ends_with(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

std::string scenario_stem(std::string_view route, std::string_view train) {
  std::string stem(route);
  stem += '_';
  stem += train;
  return stem;
}

constexpr std::string_view kLineTextEnd = "_linea.txt";
constexpr std::string_view kTrainTextEnd = "-.txt";

}  // namespace

std::string line_text_file_name(std::string_view route) {
  return std::string(route) + std::string(kLineTextEnd);
}

std::string train_text_file_name(std::string_view route, std::string_view train) {
  return scenario_stem(route, train) + std::string(kTrainTextEnd);
}

const std::array<CrewDocument, 3> kCrewDocuments = {{
    {"Train card", "_scheda_treno.txt", train_card_lines},
    {"Slow-order notice", "_rallentamenti.txt", slow_order_notice_lines},
    {"Scenario notes", "_note.txt", scenario_notes_lines},
}};

std::string crew_document_file_name(std::string_view route, std::string_view train,
                                    const CrewDocument& document) {
  return scenario_stem(route, train) + document.suffix;
}

std::string route_map_file_name(const Compilation& c) {
  return c.RouteId + "_map.svg";
}

std::string route_profile_file_name(const Compilation& c) {
  return scenario_stem(c.RouteId, c.TrainNumber) + "_profile.svg";
}

std::string html_page_file_name(const Compilation& c) {
  return scenario_stem(c.RouteId, c.TrainNumber) + ".html";
}

std::optional<std::string> route_from_line_text(const std::filesystem::path& path) {
  const std::string name = file_name_of(path);
  if (!ends_with(name, kLineTextEnd) || name.size() == kLineTextEnd.size()) return std::nullopt;
  return name.substr(0, name.size() - kLineTextEnd.size());
}

std::optional<std::string> train_from_train_text(const std::filesystem::path& path,
                                                 std::string_view route) {
  const std::string name = file_name_of(path);
  const std::string start = std::string(route) + "_";
  if (!ends_with(name, kTrainTextEnd) || name.size() <= start.size() + kTrainTextEnd.size()) {
    return std::nullopt;
  }
  if (name.compare(0, start.size(), start) != 0) return std::nullopt;
  return name.substr(start.size(), name.size() - start.size() - kTrainTextEnd.size());
}

bool names_a_file(std::string_view id) {
  if (id.empty() || id == "." || id == "..") return false;
  for (const char c : id) {
    if (static_cast<unsigned char>(c) < 0x20) return false;
    if (std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos) return false;
  }
  return true;
}

CompiledName windows_1252_name(std::string_view utf8_name) {
  Windows1252Failure failure;
  if (auto bytes = windows_1252_from_utf8(utf8_name, &failure)) return {std::move(bytes), {}};
  // The code point of the character that failed, from its UTF-8 bytes.
  const auto lead = static_cast<unsigned char>(utf8_name[failure.offset]);
  const int length = failure.invalid_utf8 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
  char32_t code = length == 1 ? lead : lead & (0x7F >> length);
  for (int i = 1; i < length; ++i) {
    code = (code << 6) | (static_cast<unsigned char>(utf8_name[failure.offset + i]) & 0x3F);
  }
  char shown[16];
  if (failure.invalid_utf8) {
    std::snprintf(shown, sizeof shown, "\\x%02X", static_cast<unsigned>(code));
  } else {
    std::snprintf(shown, sizeof shown, "U+%04X", static_cast<unsigned>(code));
  }
  return {std::nullopt, shown};
}

bool holds_control_character(std::string_view name) {
  for (const char c : name) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return true;
  }
  return false;
}

std::filesystem::path scenario_file_path(const std::filesystem::path& folder,
                                         std::string_view name) {
  const std::string utf8_name = utf8_from_windows_1252(name);
  if (folder.empty()) return utf8_path(utf8_name);
  return join_output_path(folder, utf8_name);
}

}  // namespace scengen
