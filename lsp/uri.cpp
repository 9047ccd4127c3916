#include "lsp/uri.h"

#include <cctype>

namespace scengen::lsp {
namespace {

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool unreserved(unsigned char c) {
  return std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~' || c == '/';
}

std::string utf8_text(const std::filesystem::path& path) {
  const auto text = path.generic_u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace

std::optional<std::filesystem::path> path_from_uri(std::string_view uri) {
  constexpr std::string_view kScheme = "file://";
  if (uri.size() < kScheme.size()) return std::nullopt;
  for (size_t i = 0; i < kScheme.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(uri[i])) != kScheme[i]) return std::nullopt;
  }
  uri.remove_prefix(kScheme.size());
  // "file://host/path": only the local host is a file of this machine.
  const size_t slash = uri.find('/');
  if (slash == std::string_view::npos) return std::nullopt;
  const std::string_view host = uri.substr(0, slash);
  if (!host.empty() && host != "localhost") return std::nullopt;
  uri.remove_prefix(slash);
  std::string decoded;
  for (size_t i = 0; i < uri.size(); ++i) {
    if (uri[i] != '%') {
      decoded.push_back(uri[i]);
      continue;
    }
    if (i + 2 >= uri.size()) return std::nullopt;
    const int high = hex_value(uri[i + 1]);
    const int low = hex_value(uri[i + 2]);
    if (high < 0 || low < 0) return std::nullopt;
    decoded.push_back(static_cast<char>(high * 16 + low));
    i += 2;
  }
  // "/C:/folder" is a drive's path on Windows.
  if (decoded.size() >= 3 && decoded[0] == '/' && std::isalpha(static_cast<unsigned char>(decoded[1])) &&
      decoded[2] == ':') {
#ifdef _WIN32
    decoded.erase(0, 1);
#endif
  }
  return std::filesystem::path(std::u8string(decoded.begin(), decoded.end()));
}

std::string uri_from_path(const std::filesystem::path& path) {
  std::string text = utf8_text(path);
  if (text.empty() || text[0] != '/') text.insert(0, "/");  // a drive letter: "/C:/..."
  std::string uri = "file://";
  constexpr char kHex[] = "0123456789ABCDEF";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (unreserved(byte) || (c == ':' && uri.size() == 9)) {
      uri.push_back(c);
    } else {
      uri += '%';
      uri += kHex[byte >> 4];
      uri += kHex[byte & 15];
    }
  }
  return uri;
}

}  // namespace scengen::lsp
