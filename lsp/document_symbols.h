// Document symbols: the sections of a text and, inside each, its features: stations by name,
// signals, tunnels and slow orders with their metres, the other records by keyword and place.
#pragma once

#include "lsp/json_rpc.h"
#include "lsp/positions.h"

namespace scengen::lsp {

/// The text's sections as protocol DocumentSymbols, each with its records as children. Lines
/// before the first header are left out (the readers pass them over).
Json document_symbols(const TextPositions& text);

}  // namespace scengen::lsp
