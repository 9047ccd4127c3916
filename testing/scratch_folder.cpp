#include "testing/scratch_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <fstream>
#include <iterator>
#include <random>
#include <system_error>
#include <utility>

#include "platform/file_layer.h"

namespace scengen::testing {

namespace fs = std::filesystem;

std::string read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void write_file(const fs::path& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

namespace {

// A parameterised test's name holds '/', which must not make a folder below the folder.
std::string folder_safe(std::string name) {
  for (char& c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_') c = '-';
  }
  return name;
}

}  // namespace

ScratchFolder::ScratchFolder(std::string_view what) {
  static std::atomic<unsigned> counter{0};
  std::string name = "scengen-" + std::string(what);
  // Outside a test (a suite's set-up) there is no test name.
  if (const auto* info = ::testing::UnitTest::GetInstance()->current_test_info()) {
    name += '-';
    name += folder_safe(std::string(info->test_suite_name()) + "-" + info->name());
  }
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  name += '-' + std::to_string(std::random_device{}() ^ static_cast<unsigned>(stamp)) + '-' +
          std::to_string(counter++);
  path_ = fs::temp_directory_path() / name;
  fs::remove_all(path_);
  fs::create_directories(path_);
}

ScratchFolder::~ScratchFolder() {
  // A test may have taken the right to write away to see a write refused.
  std::error_code ignored;
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
  fs::remove_all(path_, ignored);
}

std::vector<std::string> ScratchFolder::names() const {
  std::vector<std::string> found;
  for (const auto& entry : fs::directory_iterator(path_)) {
    found.push_back(entry.path().filename().string());
  }
  std::sort(found.begin(), found.end());
  return found;
}

void ScratchFolder::empty_out() const {
  std::error_code ignored;
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
  fs::remove_all(path_);
  fs::create_directories(path_);
}

OutputPlace ScratchFolder::place(std::string route, std::string train) const {
  return OutputPlace{system_files(), path_, std::move(route), std::move(train)};
}

}  // namespace scengen::testing
