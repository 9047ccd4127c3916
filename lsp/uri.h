// file: URIs, as the protocol names documents, and the paths they stand for.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace scengen::lsp {

/// The path a file: URI names (percent escapes decoded, UTF-8); nothing for another scheme or a
/// malformed escape.
std::optional<std::filesystem::path> path_from_uri(std::string_view uri);

/// The file: URI of an absolute path, every byte but the unreserved ones and '/' escaped.
std::string uri_from_path(const std::filesystem::path& path);

}  // namespace scengen::lsp
