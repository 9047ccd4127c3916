#include "lsp/documents.h"

namespace scengen::lsp {

void DocumentStore::open(const std::string& uri, std::string text, int64_t version) {
  documents_[uri] = {uri, std::move(text), version};
}

bool DocumentStore::change(std::string_view uri, std::string text, int64_t version) {
  const auto found = documents_.find(uri);
  if (found == documents_.end()) return false;
  found->second.text = std::move(text);
  found->second.version = version;
  return true;
}

void DocumentStore::close(std::string_view uri) {
  const auto found = documents_.find(uri);
  if (found != documents_.end()) documents_.erase(found);
}

const OpenDocument* DocumentStore::find(std::string_view uri) const {
  const auto found = documents_.find(uri);
  return found == documents_.end() ? nullptr : &found->second;
}

std::vector<std::string> DocumentStore::uris() const {
  std::vector<std::string> all;
  for (const auto& [uri, document] : documents_) all.push_back(uri);
  return all;
}

}  // namespace scengen::lsp
