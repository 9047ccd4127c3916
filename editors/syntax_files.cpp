#include "editors/syntax_files.h"

#include "editors/notepad_language.h"
#include "editors/textmate_grammar.h"
#include "editors/vim_syntax.h"

namespace scengen::editors {

std::vector<SyntaxFile> syntax_files() {
  // The Vim files keep the layout of a runtime folder, so that `set runtimepath+=` loads them.
  return {
      {"scengen.tmLanguage.json", textmate_grammar()},
      {"vim/syntax/scengen.vim", vim_syntax()},
      {"vim/ftdetect/scengen.vim", vim_file_detection()},
      {"scengen.udl.xml", notepad_language()},
  };
}

}  // namespace scengen::editors
