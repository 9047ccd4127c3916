// scengen-syntax-files DIR: writes the editors' syntax files into DIR (the build runs it; the
// package installs what it writes). A program of its own rather than a command of scengen: the
// files are made once per build from the keyword tables, and users never need to run it.
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "editors/syntax_files.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: scengen-syntax-files DIR\n");
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  for (const scengen::editors::SyntaxFile& file : scengen::editors::syntax_files()) {
    const std::filesystem::path path = folder / std::filesystem::path(file.path);
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    // Binary: the same bytes from the Windows build as from the Linux one.
    std::ofstream out(path, std::ios::binary);
    out << file.contents;
    out.close();
    if (error || !out) {
      std::fprintf(stderr, "scengen-syntax-files: cannot write '%s'\n", path.string().c_str());
      return 4;
    }
  }
  return 0;
}
