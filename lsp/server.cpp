#include "lsp/server.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "compiler/source_text.h"
#include "lsp/code_actions.h"
#include "lsp/completion.h"
#include "lsp/document_symbols.h"
#include "lsp/formatting.h"
#include "lsp/hover.h"
#include "lsp/json_rpc.h"
#include "lsp/message_framing.h"
#include "lsp/pair_analysis.h"
#include "lsp/published_diagnostics.h"

namespace scengen::lsp {
namespace {

// A document as the capabilities read it: its Windows-1252 bytes and the compile of its pair.
struct DocumentView {
  TextKind kind = TextKind::Line;
  std::string bytes;
  PairAnalysis* analysis = nullptr;  // nullptr when its pair was not compiled
};

class LanguageServer {
 public:
  LanguageServer(Dispatcher& rpc, FileLayer& files) : rpc_(rpc), files_(files) {}
  void register_handlers();

 private:
  Json initialize(const Json& params);
  void open(const Json& params);
  void change(const Json& params);
  void close(const Json& params);
  void refresh(const std::string& uri);
  void forget_closed();
  std::optional<DocumentView> view(const Json& params);
  Json hover(const Json& params);
  Json completion(const Json& params);
  Json symbols(const Json& params);
  Json actions(const Json& params);
  Json format(const Json& params);

  Dispatcher& rpc_;
  FileLayer& files_;
  PositionEncoding encoding_ = PositionEncoding::Utf16;
  DocumentStore documents_;
  // The compile of each document's pair, and the fixes of its diagnostics, by URI; only for the
  // open documents and their partners.
  std::map<std::string, std::shared_ptr<PairAnalysis>, std::less<>> analyses_;
  std::map<std::string, std::vector<Fix>, std::less<>> fixes_;
};

std::string uri_of(const Json& params) { return params.at("textDocument").at("uri").get<std::string>(); }

Position position_of(const Json& params) {
  const Json& at = params.at("position");
  return {at.at("line").get<int>(), at.at("character").get<int>()};
}

Json LanguageServer::initialize(const Json& params) {
  const Json offered = params.value("capabilities", Json::object())
                           .value("general", Json::object())
                           .value("positionEncodings", Json::array());
  encoding_ = PositionEncoding::Utf16;
  for (const Json& name : offered) {
    if (name == "utf-8") encoding_ = PositionEncoding::Utf8;
  }
  return {{"capabilities",
           {{"positionEncoding", encoding_ == PositionEncoding::Utf8 ? "utf-8" : "utf-16"},
            {"textDocumentSync", {{"openClose", true}, {"change", 1}}},
            {"hoverProvider", true},
            {"completionProvider", {{"triggerCharacters", Json::array({"[", ","})}}},
            {"documentSymbolProvider", true},
            {"codeActionProvider", {{"codeActionKinds", Json::array({"quickfix"})}}},
            {"documentFormattingProvider", true}}},
          {"serverInfo", {{"name", "scengen"}}}};
}

void LanguageServer::open(const Json& params) {
  const Json& document = params.at("textDocument");
  const std::string uri = document.at("uri").get<std::string>();
  documents_.open(uri, document.at("text").get<std::string>(), document.value("version", 0));
  refresh(uri);
}

void LanguageServer::change(const Json& params) {
  const std::string uri = uri_of(params);
  const Json& changes = params.at("contentChanges");
  if (!changes.is_array() || changes.empty()) return;
  // Full synchronisation: the last change holds the whole text.
  const int64_t version = params.at("textDocument").value("version", int64_t{0});
  if (!documents_.change(uri, changes.back().at("text").get<std::string>(), version)) return;
  refresh(uri);
}

void LanguageServer::close(const Json& params) {
  const std::string uri = uri_of(params);
  if (documents_.find(uri) == nullptr) return;
  documents_.close(uri);
  std::vector<std::string> pair;
  if (const auto found = analyses_.find(uri); found != analyses_.end()) {
    for (const std::string& member : found->second->uris) {
      if (!member.empty()) pair.push_back(member);
    }
  }
  forget_closed();
  // A partner still open is checked again with this text as the file on disk holds it; else the
  // pair's diagnostics go with its last document.
  for (const std::string& member : pair) {
    if (documents_.find(member) != nullptr) return refresh(member);
  }
  for (const std::string& member : pair) {
    rpc_.notify("textDocument/publishDiagnostics",
                {{"uri", member}, {"diagnostics", Json::array()}});
  }
}

// Compiles the pair of `uri` and publishes the diagnostics of both its texts.
void LanguageServer::refresh(const std::string& uri) {
  const TextPair pair = find_pair(uri, documents_);
  std::shared_ptr<PairAnalysis> analysis = analyse_pair(pair, documents_, files_);
  for (DocumentDiagnostics& published : pair_diagnostics(*analysis, encoding_)) {
    if (published.uri.empty()) continue;
    Json params = {{"uri", published.uri}, {"diagnostics", std::move(published.diagnostics)}};
    if (const OpenDocument* document = documents_.find(published.uri))
      params["version"] = document->version;
    rpc_.notify("textDocument/publishDiagnostics", std::move(params));
    fixes_[published.uri] = std::move(published.fixes);
    analyses_[published.uri] = analysis;
  }
  analyses_[uri] = analysis;
}

// Drops the compiles and fixes that no open document needs any more.
void LanguageServer::forget_closed() {
  auto needed = [this](const std::string& uri) {
    if (documents_.find(uri) != nullptr) return true;
    for (const auto& [open, analysis] : analyses_) {
      if (documents_.find(open) == nullptr) continue;
      if (analysis->uris[0] == uri || analysis->uris[1] == uri) return true;
    }
    return false;
  };
  std::vector<std::string> unneeded;
  for (const auto& [uri, analysis] : analyses_) {
    if (!needed(uri)) unneeded.push_back(uri);
  }
  for (const std::string& uri : unneeded) {
    analyses_.erase(uri);
    fixes_.erase(uri);
  }
}

std::optional<DocumentView> LanguageServer::view(const Json& params) {
  const std::string uri = uri_of(params);
  const OpenDocument* document = documents_.find(uri);
  if (document == nullptr) throw RequestError{kInvalidParams, "the document is not open: " + uri};
  DocumentView view;
  view.kind = kind_of_document(uri);
  const auto found = analyses_.find(uri);
  if (found != analyses_.end() && found->second->compiled && found->second->uri(view.kind) == uri) {
    view.analysis = found->second.get();
    view.bytes = found->second->texts.bytes(view.kind);
    return view;
  }
  auto bytes = windows_1252_from_utf8(document->text);
  if (!bytes) return std::nullopt;  // a text with no Windows-1252 form has nothing to offer
  view.bytes = std::move(*bytes);
  return view;
}

Json LanguageServer::hover(const Json& params) {
  const std::optional<DocumentView> document = view(params);
  if (!document) return nullptr;
  const TextPositions text(document->bytes, encoding_);
  const Position at = position_of(params);
  if (at.line < 0 || at.line >= text.line_count()) return nullptr;
  const size_t column = text.offset(at) - text.offset({at.line, 0});
  const ScenarioModel* model = document->analysis ? document->analysis->model() : nullptr;
  const auto shown = hover_at(text.line(at.line), column, model);
  if (!shown) return nullptr;
  const Range range{text.at(at.line + 1, static_cast<int>(shown->begin) + 1),
                    text.at(at.line + 1, static_cast<int>(shown->end) + 1)};
  return {{"contents", {{"kind", "markdown"}, {"value", shown->markdown}}},
          {"range", range_json(range)}};
}

Json LanguageServer::completion(const Json& params) {
  const std::optional<DocumentView> document = view(params);
  if (!document) return Json::array();
  const TextPositions text(document->bytes, encoding_);
  const ScenarioModel* model = document->analysis ? document->analysis->model() : nullptr;
  return completion_items(text, document->kind, position_of(params), model);
}

Json LanguageServer::symbols(const Json& params) {
  const std::optional<DocumentView> document = view(params);
  if (!document) return Json::array();
  return document_symbols(TextPositions(document->bytes, encoding_));
}

Json LanguageServer::actions(const Json& params) {
  const std::string uri = uri_of(params);
  const auto found = fixes_.find(uri);
  if (found == fixes_.end()) return Json::array();
  return code_actions(uri, found->second, range_from_json(params.at("range")));
}

Json LanguageServer::format(const Json& params) {
  const std::optional<DocumentView> document = view(params);
  if (!document) return Json::array();
  const TextPositions text(document->bytes, encoding_);
  return formatting_edits(text, document->bytes, document->kind);
}

void LanguageServer::register_handlers() {
  rpc_.on_request("initialize", [this](const Json& p) { return initialize(p); });
  rpc_.on_notification("textDocument/didOpen", [this](const Json& p) { open(p); });
  rpc_.on_notification("textDocument/didChange", [this](const Json& p) { change(p); });
  rpc_.on_notification("textDocument/didClose", [this](const Json& p) { close(p); });
  rpc_.on_request("textDocument/hover", [this](const Json& p) { return hover(p); });
  rpc_.on_request("textDocument/completion", [this](const Json& p) { return completion(p); });
  rpc_.on_request("textDocument/documentSymbol", [this](const Json& p) { return symbols(p); });
  rpc_.on_request("textDocument/codeAction", [this](const Json& p) { return actions(p); });
  rpc_.on_request("textDocument/formatting", [this](const Json& p) { return format(p); });
}

}  // namespace

int run_language_server(std::istream& in, std::ostream& out, FileLayer& files,
                        size_t max_message_bytes) {
  Dispatcher rpc([&out](const Json& message) { write_message(out, serialize(message)); });
  LanguageServer server(rpc, files);
  server.register_handlers();
  MessageReader reader(in, max_message_bytes);
  while (!rpc.exited()) {
    Frame frame = reader.next();
    switch (frame.status) {
      case FrameStatus::End:
        return rpc.exit_status();
      case FrameStatus::Malformed:
        rpc.refuse_unread(kParseError, frame.problem);
        break;
      case FrameStatus::TooLarge:
        rpc.refuse_unread(kInvalidRequest, frame.problem);
        break;
      case FrameStatus::Message:
        rpc.dispatch(frame.body);
        break;
    }
  }
  return rpc.exit_status();
}

}  // namespace scengen::lsp
