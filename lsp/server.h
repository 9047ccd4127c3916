// The language server: reads framed JSON-RPC messages, keeps the open documents, compiles each
// pair of texts as check does on every change and answers the editor's requests.
#pragma once

#include <cstddef>
#include <iosfwd>

#include "lsp/message_framing.h"
#include "platform/file_layer.h"

namespace scengen::lsp {

/// Serves the messages of `in` on `out` until the exit notification or the end of the input;
/// returns the exit status: 0 after shutdown, 1 without it. `files` reads the texts that are
/// not open; a message over `max_message_bytes` is refused unread.
int run_language_server(std::istream& in, std::ostream& out, FileLayer& files,
                        size_t max_message_bytes = kMaxMessageBytes);

}  // namespace scengen::lsp
