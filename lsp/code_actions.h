// Code actions: the fixes the diagnostics know (the keyword meant, a keyword in lower case, the
// position the cells round to, the number a field is read as), as quick fixes.
#pragma once

#include <string>
#include <vector>

#include "lsp/json_rpc.h"
#include "lsp/published_diagnostics.h"

namespace scengen::lsp {

/// The quick fixes of `fixes` whose range meets `range`, as protocol CodeActions editing `uri`.
Json code_actions(const std::string& uri, const std::vector<Fix>& fixes, const Range& range);

}  // namespace scengen::lsp
