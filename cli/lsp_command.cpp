// scengen lsp: the language server for editors, on standard input and output.
#include <iostream>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "cli/command_table.h"
#include "lsp/server.h"
#include "platform/file_layer.h"

namespace scengen {
namespace {

constexpr const char* kLspFooter =
    R"(Speaks the Language Server Protocol 3.17 on standard input and output (Content-Length
framing, JSON-RPC 2.0), for an editor to start. A line text ROUTE_linea.txt is checked with a
train text of its route beside it (ROUTE_TRAIN-.txt), and a train text with its route's line
text; the editor's unsaved contents of an open text stand in for the file. It offers:
  diagnostics    check's errors (code: the error code) and warnings (code: their class)
  hover          a keyword's or a header's reference (as 'scengen explain'); over a position,
                 its km and what the compile put there
  completion     the keywords of the section, the section headers, station names
  symbols        the sections and their stations, signals, tunnels and slow orders
  code actions   the fixes the warnings propose (the keyword meant, the rounded position)
  formatting     the edits of 'scengen fmt'
The texts are Windows-1252 on disk; the editor's text is UTF-8 and is converted before the
compile. Positions count UTF-16 units, or UTF-8 bytes when the editor offers them. Nothing is
written. Exit status 0 after the editor's shutdown and exit; 1 on exit without shutdown, or when
standard input ends before a shutdown.

Examples:
  Neovim (init.lua):
    vim.api.nvim_create_autocmd('BufEnter', { pattern = { '*_linea.txt', '*-.txt' },
      callback = function() vim.lsp.start({ name = 'scengen', cmd = { 'scengen', 'lsp' } }) end })
  Emacs (eglot):
    (add-to-list 'eglot-server-programs '(scengen-text-mode "scengen" "lsp")))";

// The command takes no option.
struct LspOptions {};

int serve(const LspOptions&, Console& console) {
#ifdef _WIN32
  // The messages count bytes: no CR LF translation on the way in.
  _setmode(_fileno(stdin), _O_BINARY);
#endif
  return lsp::run_language_server(std::cin, console.out, system_files());
}

}  // namespace

void add_lsp_command(CLI::App& app, CommandContext& context) {
  add_command(app, context,
              {"lsp", "Serve editors: diagnostics, hover, completion and fixes for the texts.",
               kLspFooter},
              serve);
}

}  // namespace scengen
