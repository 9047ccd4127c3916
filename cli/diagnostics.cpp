#include "cli/diagnostics.h"

#include <algorithm>
#include <cctype>
#include <nlohmann/json.hpp>
#include <ostream>
#include <tuple>

#include "cli/explain.h"
#include "cli/warning_summary.h"
#include "compiler/error_codes.h"
#include "compiler/source_text.h"
#include "run/printable_text.h"

namespace scengen {
namespace {

std::string file_name(const std::filesystem::path& path) {
  const auto text = path.u8string();
  return std::string(text.begin(), text.end());
}

// One line to print: a warning or an error, with the place it points at. The words are made
// as it is printed, so that a report of many warnings never holds them all.
struct Diagnostic {
  std::optional<TextKind> text;
  std::optional<SourceSpot> where;
  const CompileWarning* warning;  // null for an error
  const ReportedError* error;     // null for a warning
};

// Text order: the line description before the train description, then by line and column;
// a diagnostic without a place after those with one in its text, one without a text last.
bool comes_before(const Diagnostic& a, const Diagnostic& b) {
  auto key = [](const Diagnostic& d) {
    const int text = d.text ? static_cast<int>(*d.text) : 2;
    const int line = d.where ? d.where->line : INT32_MAX;
    const int column = d.where ? d.where->column : INT32_MAX;
    return std::tuple(text, line, column);
  };
  return key(a) < key(b);
}

bool same_place(const std::optional<SourceSpot>& a, const std::optional<SourceSpot>& b) {
  if (!a || !b) return !a && !b;
  return a->text == b->text && a->line == b->line && a->column == b->column;
}

ReportedError reported(const CompileError& e) {
  ReportedError r{e.code, e.position, "unknown error", e.detail, {}, {}, e.reach};
  const ErrorCodeInfo* info = find_error_code(e.code);
  if (info) r.message = info->meaning;
  if (e.where && !(info && info->whole_text)) {
    r.where = e.where;
    r.text = e.where->text;
  } else if (info) {
    r.text = info->text;
  }
  return r;
}

// The errors a report tells: its list, or, for a report made without one (the texts' bytes), its
// one error.
std::vector<ReportedError> shown_errors(const CompileReport& report) {
  if (!report.errors.empty()) return report.errors;
  if (report.status_code == 0 && report.message.empty()) return {};
  return {{report.status_code, report.status_position, report.message, report.detail,
           report.text, report.where, ErrorReach::ReadsOn}};
}

// Where the compile stopped reading each text, for the notes under the errors met after it.
class Stops {
 public:
  explicit Stops(const std::vector<ReportedError>& errors) {
    for (const ReportedError& e : errors) {
      if (e.reach == ErrorReach::StopsBothTexts) train_unread_ = true;
      if ((e.reach == ErrorReach::StopsText || e.reach == ErrorReach::StopsBothTexts) && e.where) {
        std::optional<int>& line = stop_line_[index(e.where->text)];
        if (!line || e.where->line < *line) line = e.where->line;
      }
    }
  }

  // The note under an error or a warning; empty when it needs none.
  std::string note(ErrorReach reach, const SourceSpot& where) const {
    const std::string text = where.text == TextKind::Line ? "line" : "train";
    switch (reach) {
      case ErrorReach::StopsText:
        return "the compile stops reading the " + text + " text here; the lines below are not "
               "compiled";
      case ErrorReach::StopsBothTexts:
        return "the compile stops reading the " + text + " text here; the lines below are not "
               "compiled, nor is the train text";
      case ErrorReach::ReadsOn:
        return {};
      case ErrorReach::AfterStop:
        break;
    }
    if (where.text == TextKind::Train && train_unread_)
      return "found after the compile stopped; the train text is not compiled anyway";
    const std::optional<int>& stop = stop_line_[index(where.text)];
    if (stop && where.line >= *stop)
      return "found after the compile stopped; this line is not compiled anyway";
    return "found after the compile stopped, by reading on for diagnostics; the compile itself "
           "did not meet it";
  }

 private:
  static size_t index(TextKind text) { return text == TextKind::Line ? 0 : 1; }
  std::optional<int> stop_line_[2];
  bool train_unread_ = false;
};

}  // namespace

CompileOutcome compile_author_texts(Compilation& c, const AuthorTexts& texts,
                                    int32_t compile_flag) {
  BorrowedTexts source(texts.line, texts.train);  // the author's files are never touched
  const CompileOutcome outcome = compile_scenario(c, source, compile_flag);
  // A clean compile costs nothing more.
  if (c.StatusCode != 0 || outcome.end != CompileEnd::Sealed) {
    BorrowedTexts again(texts.line, texts.train);
    read_on_after_error(c, again);
  }
  return outcome;
}

CompileReport make_report(const Compilation& c, const CompileOutcome& outcome) {
  CompileReport report;
  report.status_code = outcome.end == CompileEnd::SealError ? outcome.seal_code : c.StatusCode;
  report.status_position = c.StatusPosition;
  report.stopped = outcome.end != CompileEnd::Sealed;
  if (report.status_code != 0) {
    const ErrorCodeInfo* info = find_error_code(report.status_code);
    report.message = info ? info->meaning : "unknown error";
    report.detail = c.StatusDetail;
    if (c.StatusSource && !(info && info->whole_text)) {
      report.where = c.StatusSource;
      report.text = c.StatusSource->text;
    } else if (info) {
      report.text = info->text;
    }
  } else if (outcome.end == CompileEnd::NoTrack) {
    report.message = "no track was compiled from the line description";
    report.text = TextKind::Line;
  }
  for (const CompileError& e : c.Errors) report.errors.push_back(reported(e));
  // The compile's own error when no reader noted it: the finishing pass's, the seal's, no track.
  if (report.status_code != 0 || !report.message.empty()) {
    const bool listed =
        std::any_of(report.errors.begin(), report.errors.end(), [&](const ReportedError& e) {
          return e.code == report.status_code && same_place(e.where, report.where);
        });
    if (!listed) {
      report.errors.push_back({report.status_code, report.status_position, report.message,
                               report.detail, report.text, report.where, ErrorReach::ReadsOn});
    }
  }
  std::stable_sort(report.errors.begin(), report.errors.end(),
                   [](const ReportedError& a, const ReportedError& b) {
                     return comes_before({a.text, a.where, nullptr, &a},
                                         {b.text, b.where, nullptr, &b});
                   });
  report.warnings = c.Warnings;
  report.warnings_left_out = c.WarningsLeftOut;
  return report;
}

namespace {

// A byte inside a UTF-8 character after its first: it takes no column of its own.
bool inside_character(char byte, bool utf8) {
  return utf8 && (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// The byte `count` characters after `from` in `bytes` (at most its end).
size_t characters_after(std::string_view bytes, size_t from, size_t count, bool utf8) {
  for (; count > 0 && from < bytes.size(); --count) {
    ++from;
    while (from < bytes.size() && inside_character(bytes[from], utf8)) ++from;
  }
  return from;
}

// The byte `count` characters before `from` in `bytes` (at least 0).
size_t characters_before(std::string_view bytes, size_t from, size_t count, bool utf8) {
  for (; count > 0 && from > 0; --count) {
    --from;
    while (from > 0 && inside_character(bytes[from], utf8)) --from;
  }
  return from;
}

// The keyword of the record a warning's line starts, when the reference has a topic for it, as
// the hint " (scengen explain stazione)": the author learns the record's fields there.
std::string keyword_hint(const std::vector<ReferenceTopic>& topics, std::string_view line) {
  // A keyword is short: a first field longer than this names none, and a huge line costs nothing.
  constexpr size_t kLongestKeyword = 40;
  size_t begin = 0;
  while (begin < line.size() && (line[begin] == ' ' || line[begin] == '\t')) ++begin;
  size_t end = begin;
  while (end < line.size() && end - begin <= kLongestKeyword && line[end] != ',') ++end;
  if (end - begin > kLongestKeyword) return {};
  std::string_view word = line.substr(begin, end - begin);
  while (!word.empty() && (word.back() == ' ' || word.back() == '\t')) word.remove_suffix(1);
  // Only a word of letters can be a keyword or a header; "15" would find an error code instead.
  if (word.empty() || !(std::isalpha(static_cast<unsigned char>(word[0])) || word[0] == '[')) {
    return {};
  }
  const ReferenceTopic* topic = find_topic(topics, word);
  if (topic == nullptr) return {};
  const TopicKind kind = topic_kind(*topic);
  if (kind != TopicKind::Keyword && kind != TopicKind::SectionHeader) return {};
  return " (scengen explain " + topic->name + ")";
}

}  // namespace

// A stretch of a text's line as the terminal is to show it: every control character and stray
// byte escaped (\xNN), so that a text cannot act on the terminal; tabs kept, for the caret.
std::string printable_line(std::string_view bytes, bool utf8) {
  const std::string text = utf8 ? std::string(bytes) : utf8_from_windows_1252(bytes);
  const std::string_view all = text;
  std::string out;
  for (size_t from = 0;;) {
    const size_t tab = all.find('\t', from);
    out += printable_text(all.substr(from, tab == std::string_view::npos ? tab : tab - from));
    if (tab == std::string_view::npos) return out;
    out += '\t';
    from = tab + 1;
  }
}

std::string show_place(const LineIndex& lines, int line, int column, bool utf8) {
  if (line < 1 || column < 1 || line > lines.line_count()) return {};
  const std::string_view bytes = lines.line(line);
  if (bytes.empty() && column > 1) return {};
  // The caret's byte; past the line's end it stands just after it.
  size_t at = 0;
  if (utf8) {
    for (int c = 1; c < column && at < bytes.size(); ++c) {
      ++at;
      while (at < bytes.size() && inside_character(bytes[at], true)) ++at;
    }
  } else {
    at = std::min(static_cast<size_t>(column - 1), bytes.size());
  }
  // A long line is cut to a window of characters around the caret; near the line's end the
  // window holds its last characters.
  size_t begin = 0;
  size_t end = bytes.size();
  if (characters_after(bytes, 0, kShownColumns, utf8) < bytes.size()) {
    begin = characters_before(bytes, at, kShownColumns / 2, utf8);
    end = characters_after(bytes, begin, kShownColumns, utf8);
    if (end == bytes.size()) {
      begin = std::min(begin, characters_before(bytes, end, kShownColumns, utf8));
    }
  }
  const std::string_view shown = bytes.substr(begin, end - begin);
  std::string text = begin > 0 ? "..." : "";
  text += printable_line(shown, utf8);
  if (end < bytes.size()) text += "...";
  std::string caret(begin > 0 ? 3 : 0, ' ');
  // Every character shown is one column, an escaped byte four; tabs stay tabs so the caret lines
  // up. The caret's byte begins a character, so the stretch before it shows as it does above.
  for (const char c : printable_line(bytes.substr(begin, at - begin), utf8)) {
    if (!inside_character(c, true)) caret.push_back(c == '\t' ? '\t' : ' ');
  }
  return "  " + text + "\n  " + caret + "^\n";
}

void print_diagnostics(const CompileReport& report, const AuthorTexts& texts, std::ostream& err) {
  // Each text is indexed once, when a diagnostic first shows one of its lines.
  std::optional<LineIndex> indexes[2];
  auto lines_of = [&](TextKind text) -> const LineIndex& {
    std::optional<LineIndex>& index = indexes[text == TextKind::Line ? 0 : 1];
    if (!index) index.emplace(texts.bytes(text));
    return *index;
  };
  const std::vector<ReferenceTopic> topics = reference_topics(formats_reference());
  const std::vector<ReportedError> errors = shown_errors(report);
  const Stops stops(errors);
  std::vector<Diagnostic> diagnostics;
  diagnostics.reserve(report.warnings.size() + errors.size());
  for (const CompileWarning& w : report.warnings) {
    diagnostics.push_back({w.where.text, w.where, &w, nullptr});
  }
  for (const ReportedError& e : errors) diagnostics.push_back({e.text, e.where, nullptr, &e});
  // The readers note warnings in the order of their texts, so a sort is seldom needed.
  if (!std::is_sorted(diagnostics.begin(), diagnostics.end(), comes_before)) {
    std::stable_sort(diagnostics.begin(), diagnostics.end(), comes_before);
  }
  auto headline = [&](const Diagnostic& d) {
    if (d.warning != nullptr) {
      std::string words = "warning: " + printable_text(utf8_from_windows_1252(d.warning->message));
      // The warning's own topic, else the record its line starts.
      if (const auto hint = warning_topic_hint(topics, *d.warning)) {
        words += *hint;
      } else if (!texts.utf8) {
        words += keyword_hint(topics, lines_of(d.warning->where.text).line(d.warning->where.line));
      }
      return words;
    }
    const ReportedError& e = *d.error;
    if (e.code == 0) return "error: " + printable_text(e.message);
    std::string words = describe_error(e.code, e.position);
    if (!e.detail.empty()) words += ": " + printable_text(utf8_from_windows_1252(e.detail));
    // As explain_hint says it, from the topics read once for the whole report.
    if (find_topic(topics, std::to_string(e.code)) != nullptr)
      words += " (scengen explain " + std::to_string(e.code) + ")";
    return words;
  };
  auto note = [&](const Diagnostic& d) {
    if (d.warning != nullptr) {
      return d.warning->after_stop ? stops.note(ErrorReach::AfterStop, d.warning->where)
                                   : std::string();
    }
    return stops.note(d.error->reach, *d.where);
  };
  const std::string names[2] = {printable_text(file_name(texts.path(TextKind::Line))),
                                printable_text(file_name(texts.path(TextKind::Train)))};
  for (const Diagnostic& d : diagnostics) {
    if (!d.text) {
      err << "scengen: " << headline(d) << '\n';
      continue;
    }
    err << names[*d.text == TextKind::Line ? 0 : 1];
    if (d.where) err << ':' << d.where->line << ':' << d.where->column;
    err << ": " << headline(d) << '\n';
    if (!d.where) continue;
    err << show_place(lines_of(*d.text), d.where->line, d.where->column, texts.utf8);
    if (const std::string words = note(d); !words.empty()) err << "  note: " << words << '\n';
  }
  if (const std::string summary = warning_summary(report); !summary.empty())
    err << "scengen: " << summary << '\n';
  if (report.warnings_left_out > 0) {
    err << "scengen: " << report.warnings_left_out << " more warning"
        << (report.warnings_left_out == 1 ? "" : "s")
        << " not shown (--max-warnings sets how many are shown)\n";
  }
}

std::string report_json(const CompileReport& report, const AuthorTexts& texts) {
  using json = nlohmann::ordered_json;
  json out;
  out["status_code"] = report.status_code;
  out["status_position"] = report.status_position;
  out["message"] = report.message.empty() ? json(nullptr) : json(report.message);
  out["detail"] = report.detail.empty() ? json(nullptr) : json(utf8_from_windows_1252(report.detail));
  out["file"] = report.text ? json(file_name(texts.path(*report.text))) : json(nullptr);
  out["line"] = report.where ? json(report.where->line) : json(nullptr);
  out["column"] = report.where ? json(report.where->column) : json(nullptr);
  const std::vector<ReportedError> shown = shown_errors(report);
  const Stops stops(shown);
  json errors = json::array();
  for (const ReportedError& e : shown) {
    const ErrorCodeInfo* info = find_error_code(e.code);
    const std::string words = e.where ? stops.note(e.reach, *e.where) : std::string();
    errors.push_back(
        {{"code", e.code},
         {"message", e.message},
         {"file", e.text ? json(file_name(texts.path(*e.text))) : json(nullptr)},
         {"line", e.where ? json(e.where->line) : json(nullptr)},
         {"column", e.where ? json(e.where->column) : json(nullptr)},
         {"position", info && info->has_position ? json(e.position) : json(nullptr)},
         {"detail", e.detail.empty() ? json(nullptr) : json(utf8_from_windows_1252(e.detail))},
         {"found_after_stop", e.reach == ErrorReach::AfterStop},
         {"note", words.empty() ? json(nullptr) : json(words)}});
  }
  out["errors"] = std::move(errors);
  json warnings = json::array();
  for (const CompileWarning& w : report.warnings) {
    warnings.push_back({{"file", file_name(texts.path(w.where.text))},
                        {"line", w.where.line},
                        {"column", w.where.column},
                        {"message", utf8_from_windows_1252(w.message)},
                        {"effect", effect_name(w.effect)},
                        {"topic", w.topic.empty() ? json(nullptr) : json(std::string(w.topic))},
                        {"found_after_stop", w.after_stop}});
  }
  out["warnings"] = std::move(warnings);
  out["warnings_left_out"] = report.warnings_left_out;
  out["warning_counts"] = warning_counts_json(report);
  json files = json::array();
  for (const auto& path : report.files_written) files.push_back(file_name(path));
  out["files_written"] = std::move(files);
  if (!texts.line_read_as.empty()) out["line_encoding"] = texts.line_read_as;
  if (!texts.train_read_as.empty()) out["train_encoding"] = texts.train_read_as;
  return out.dump(2) + "\n";
}

}  // namespace scengen
