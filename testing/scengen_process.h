// For the command line's tests: runs the built scengen program in a folder of its own and looks
// at what it left there.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "testing/scratch_folder.h"

#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace scengen::testing {

namespace fs = std::filesystem;

// What the program's messages show of a path: the output folder joins a name with the system's
// separator, and below a plain file Windows finds no path where other systems find no folder.
#ifdef _WIN32
inline const std::string kSeparator = "\\";
inline const std::string kBelowAPlainFile = "No such file or directory";
#else
inline const std::string kSeparator = "/";
inline const std::string kBelowAPlainFile = "Not a directory";
#endif

/// What one run of the program gave back.
struct ProcessResult {
  int status = -1;
  std::string out;
  std::string err;

  /// The lines of standard error, without their line ends.
  std::vector<std::string> err_lines() const {
    std::vector<std::string> lines;
    std::istringstream in(err);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
};

/// A fresh folder per test, removed afterwards; the program runs with it as current folder.
class ScengenFolder : public ::testing::Test {
 protected:
  /// The folder, and the place, bytes and presence of a file in it.
  const fs::path& folder() const { return scratch_.path(); }
  fs::path at(const std::string& name) const { return scratch_.at(name); }
  std::string read(const std::string& name) const { return scratch_.read(name); }
  void write(const std::string& name, const std::string& bytes) const {
    scratch_.write(name, bytes);
  }
  bool exists(const std::string& name) const { return scratch_.exists(name); }

  /// Runs scengen with these arguments in the folder.
  ProcessResult scengen(std::initializer_list<std::string> args) const {
    return scengen(std::vector<std::string>(args));
  }
  /// Runs scengen with these arguments in the folder.
  ProcessResult scengen(const std::vector<std::string>& args) const {
    const fs::path out = folder() / ".stdout", err = folder() / ".stderr";
#ifdef _WIN32
    std::string command = "cd /d " + quote(folder().string()) + " && " + quote(SCENGEN_BINARY);
#else
    std::string command = "cd " + quote(folder().string()) + " && " + quote(SCENGEN_BINARY);
#endif
    for (const std::string& arg : args) command += " " + quote(arg);
    command += " >" + quote(out.string()) + " 2>" + quote(err.string());
    int raw = std::system(command.c_str());
    ProcessResult result;
#ifdef _WIN32
    // Under wine, cmd now and then fails to find a program that is there ("Can't recognize ...",
    // status 9009, which scengen never gives): run it again rather than fail the test on it.
    for (int retry = 0; raw == kCommandNotFound && retry < 2; ++retry) {
      raw = std::system(command.c_str());
    }
    result.status = raw;
#else
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
#endif
    result.out = read_file(out);
    result.err = read_file(err);
    fs::remove(out);
    fs::remove(err);
    return result;
  }

 private:
#ifdef _WIN32
  static constexpr int kCommandNotFound = 9009;
#endif
  static std::string quote(const std::string& arg) {
#ifdef _WIN32
    return "\"" + arg + "\"";
#else
    std::string quoted = "'";
    for (const char c : arg) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
#endif
  }

  ScratchFolder scratch_{"cli"};
};

}  // namespace scengen::testing
