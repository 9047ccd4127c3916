#include "lsp/pair_analysis.h"

#include "cli/report_options.h"
#include "platform/input_limits.h"
#include "run/scenario_files.h"

namespace scengen::lsp {
namespace {

// The text of one side in Windows-1252: an open document's, converted from UTF-8 as check's
// --encoding utf-8 converts a text, else the file's own bytes. Nothing when it is missing or
// unreadable; `unconverted` takes the report of a document that cannot be converted.
std::optional<std::string> side_text(TextKind kind, const PairMember& member,
                                     const DocumentStore& documents, FileLayer& files,
                                     std::optional<UnconvertedText>& unconverted) {
  if (const OpenDocument* document = documents.find(member.uri)) {
    AuthorTexts alone;
    std::string& bytes = kind == TextKind::Line ? alone.line : alone.train;
    bytes = document->text;
    if (auto failure = decode_author_texts(alone, "utf-8")) {
      if (!unconverted) unconverted = UnconvertedText{std::move(*failure), document->text};
      return std::nullopt;
    }
    return std::move(bytes);
  }
  if (!member.path) return std::nullopt;
  FileRead read = files.read_whole_capped(*member.path, kMaxTextBytes);
  if (read.status != ReadStatus::Ok) return std::nullopt;
  return std::move(read.bytes);
}

std::string utf8_name(const std::filesystem::path& path) {
  const auto text = path.filename().u8string();
  return std::string(text.begin(), text.end());
}

// The route and train the names carry, in the compile's code page; they only seed the scenario
// codes, so a name without one compiles under an empty identity.
void set_identity(const PairAnalysis& analysis, Compilation& c) {
  const std::string route = route_from_line_text(utf8_name(analysis.texts.line_path)).value_or("");
  const std::string train =
      train_from_train_text(utf8_name(analysis.texts.train_path), route).value_or("");
  c.RouteId = windows_1252_name(route).bytes.value_or("");
  c.TrainNumber = windows_1252_name(train).bytes.value_or("");
}

}  // namespace

const ScenarioModel* PairAnalysis::model() {
  if (!compiled || !compilation.has_track()) return nullptr;
  if (!model_) model_ = read_scenario(compilation);
  return &*model_;
}

std::unique_ptr<PairAnalysis> analyse_pair(const TextPair& pair, const DocumentStore& documents,
                                           FileLayer& files) {
  auto analysis = std::make_unique<PairAnalysis>();
  std::optional<std::string> texts[2];
  for (const TextKind kind : {TextKind::Line, TextKind::Train}) {
    const std::optional<PairMember>& member = pair.side(kind);
    if (!member) continue;
    const size_t side = kind == TextKind::Line ? 0 : 1;
    texts[side] = side_text(kind, *member, documents, files, analysis->unconverted);
    if (!texts[side] && !analysis->unconverted) continue;  // no such file after all
    analysis->uris[side] = member->uri;
    (kind == TextKind::Line ? analysis->texts.line_path : analysis->texts.train_path) =
        member->path.value_or(std::filesystem::path(member->uri));
  }
  if (analysis->unconverted || !texts[0]) return analysis;
  analysis->texts.line = std::move(*texts[0]);
  analysis->texts.train = texts[1] ? std::move(*texts[1]) : std::string();
  Compilation& c = analysis->compilation;
  set_identity(*analysis, c);
  c.CollectWarnings = true;
  c.MaxWarnings = kMaxPublishedWarnings;
  analysis->report = make_report(c, compile_author_texts(c, analysis->texts, 1));
  analysis->compiled = true;
  return analysis;
}

}  // namespace scengen::lsp
