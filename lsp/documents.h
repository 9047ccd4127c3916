// The documents the editor has open: their unsaved contents stand in for the files on disk.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace scengen::lsp {

/// An open document as the editor last sent it: UTF-8 text.
struct OpenDocument {
  std::string uri;
  std::string text;
  int64_t version = 0;
};

/// The open documents by URI. Only they are held: memory follows what the editor has open.
class DocumentStore {
 public:
  /// Opens or replaces a document.
  void open(const std::string& uri, std::string text, int64_t version);
  /// Replaces the text of an open document; false when it is not open.
  bool change(std::string_view uri, std::string text, int64_t version);
  /// Forgets a document.
  void close(std::string_view uri);
  /// The open document, or nullptr.
  const OpenDocument* find(std::string_view uri) const;
  /// The URIs of every open document, in order.
  std::vector<std::string> uris() const;

 private:
  std::map<std::string, OpenDocument, std::less<>> documents_;
};

}  // namespace scengen::lsp
