#include "scenario_set/manifest.h"

#include <charconv>
#include <sstream>
#include <system_error>

#include "platform/file_layer.h"

namespace scengen {
namespace {

constexpr std::string_view kHeading = "scengen-build 1";
constexpr char kHex[] = "0123456789abcdef";

// A field of a line: blanks, line ends and '%' as %XX, so that fields split at single blanks;
// an empty field is a lone '%'.
std::string escaped(std::string_view field) {
  if (field.empty()) return "%";
  std::string out;
  for (const char c : field) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte == '%' || byte == 0x7F) {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 15];
    } else {
      out += c;
    }
  }
  return out;
}

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::optional<std::string> unescaped(std::string_view field) {
  if (field == "%") return std::string();
  std::string out;
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] != '%') {
      out += field[i];
      continue;
    }
    if (i + 2 >= field.size()) return std::nullopt;
    const int high = hex_digit(field[i + 1]), low = hex_digit(field[i + 2]);
    if (high < 0 || low < 0) return std::nullopt;
    out += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return out;
}

std::string hex(uint64_t value) {
  std::string text(16, '0');
  for (int i = 15; i >= 0; --i, value >>= 4) text[static_cast<size_t>(i)] = kHex[value & 15];
  return text;
}

void put_stamp(std::ostringstream& out, const FileStamp& stamp) {
  out << ' ' << escaped(stamp.name) << ' ' << stamp.size << ' ' << stamp.modified << ' '
      << hex(stamp.hash);
}

// The fields of one line, read in order; any field that is missing or malformed fails the line.
class FieldCursor {
 public:
  explicit FieldCursor(std::string_view line) : line_(line) {}
  bool text(std::string& value) {
    const auto field = next();
    if (!field) return false;
    auto plain = unescaped(*field);
    if (!plain) return false;
    value = std::move(*plain);
    return true;
  }
  template <typename Number>
  bool number(Number& value, int base = 10) {
    const auto field = next();
    if (!field) return false;
    const auto [end, error] =
        std::from_chars(field->data(), field->data() + field->size(), value, base);
    return error == std::errc() && end == field->data() + field->size();
  }
  bool flag(bool& value) {
    int number_value = 0;
    if (!number(number_value) || number_value < 0 || number_value > 1) return false;
    value = number_value == 1;
    return true;
  }
  bool stamp(FileStamp& stamp) {
    return text(stamp.name) && number(stamp.size) && number(stamp.modified) &&
           number(stamp.hash, 16);
  }
  bool at_end() const { return at_ > line_.size(); }

 private:
  std::optional<std::string_view> next() {
    if (at_ > line_.size()) return std::nullopt;
    size_t end = line_.find(' ', at_);
    if (end == std::string_view::npos) end = line_.size();
    const std::string_view field = line_.substr(at_, end - at_);
    at_ = end + 1;
    if (field.empty()) return std::nullopt;
    return field;
  }

  std::string_view line_;
  size_t at_ = 0;
};

bool read_scenario_line(FieldCursor& f, ScenarioRecord& r) {
  size_t files = 0;
  if (!(f.text(r.route) && f.text(r.train) && f.number(r.line_hash, 16) &&
        f.number(r.train_hash, 16) && f.number(r.documents_hash, 16) && f.number(r.code) &&
        f.number(r.position) && f.flag(r.stopped) && f.number(r.warnings) && f.flag(r.pictures) &&
        f.number(r.length) && f.number(r.stations) && f.number(files)))
    return false;
  if (files > 16) return false;
  r.files.resize(files);
  for (FileStamp& stamp : r.files) {
    if (!f.stamp(stamp)) return false;
  }
  return f.at_end();
}

int64_t modified_count(const std::filesystem::path& path, std::error_code& error) {
  return static_cast<int64_t>(
      std::filesystem::last_write_time(path, error).time_since_epoch().count());
}

}  // namespace

uint64_t content_hash(std::string_view bytes) {
  uint64_t hash = 0xcbf29ce484222325u;
  for (const char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001b3u;
  }
  return hash;
}

std::string manifest_text(const Manifest& m) {
  std::ostringstream out;
  out << kHeading << '\n' << "program " << escaped(m.program) << '\n';
  for (const RouteRecord& r : m.routes) {
    out << "route " << escaped(r.route) << ' ' << hex(r.line_hash);
    put_stamp(out, r.plan);
    out << '\n';
  }
  for (const ScenarioRecord& r : m.scenarios) {
    out << "scenario " << escaped(r.route) << ' ' << escaped(r.train) << ' ' << hex(r.line_hash)
        << ' ' << hex(r.train_hash) << ' ' << hex(r.documents_hash) << ' ' << r.code << ' '
        << r.position << ' ' << (r.stopped ? 1 : 0) << ' ' << r.warnings << ' '
        << (r.pictures ? 1 : 0) << ' ' << r.length << ' ' << r.stations << ' ' << r.files.size();
    for (const FileStamp& stamp : r.files) put_stamp(out, stamp);
    out << '\n';
  }
  return out.str();
}

std::optional<Manifest> parse_manifest(std::string_view text) {
  Manifest m;
  bool first = true;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    if (end == std::string_view::npos) return std::nullopt;  // cut short
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end + 1);
    if (first) {
      if (line != kHeading) return std::nullopt;
      first = false;
      continue;
    }
    const size_t blank = line.find(' ');
    const std::string_view kind = line.substr(0, blank);
    FieldCursor f(blank == std::string_view::npos ? std::string_view() : line.substr(blank + 1));
    if (kind == "program") {
      if (!f.text(m.program) || !f.at_end()) return std::nullopt;
    } else if (kind == "route") {
      RouteRecord r;
      if (!(f.text(r.route) && f.number(r.line_hash, 16) && f.stamp(r.plan) && f.at_end()))
        return std::nullopt;
      m.routes.push_back(std::move(r));
    } else if (kind == "scenario") {
      ScenarioRecord r;
      if (!read_scenario_line(f, r)) return std::nullopt;
      m.scenarios.push_back(std::move(r));
    } else {
      return std::nullopt;
    }
  }
  if (first) return std::nullopt;
  return m;
}

std::optional<FileStamp> stamp_file(const std::filesystem::path& folder, const std::string& name,
                                    uint64_t hash) {
  const auto path = join_output_path(folder, name);
  std::error_code error;
  const uint64_t size = std::filesystem::file_size(path, error);
  if (error) return std::nullopt;
  const int64_t modified = modified_count(path, error);
  if (error) return std::nullopt;
  return FileStamp{name, size, modified, hash};
}

bool file_is_as_stamped(const std::filesystem::path& folder, FileStamp& stamp) {
  const auto path = join_output_path(folder, stamp.name);
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return false;
  const uint64_t size = std::filesystem::file_size(path, error);
  if (error || size != stamp.size) return false;
  const int64_t modified = modified_count(path, error);
  if (error) return false;
  if (modified == stamp.modified) return true;
  // Touched, perhaps not changed: the bytes decide.
  const FileRead read = system_files().read_whole_capped(path, stamp.size);
  if (read.status != ReadStatus::Ok || content_hash(read.bytes) != stamp.hash) return false;
  stamp.modified = modified;
  return true;
}

}  // namespace scengen
