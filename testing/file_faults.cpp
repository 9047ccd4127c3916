#include "testing/file_faults.h"

#include <utility>

#ifndef _WIN32
#include <sys/resource.h>

#include <csignal>
#endif

namespace scengen::testing {

namespace fs = std::filesystem;

void SystemFilesExcept::write_replacing(const fs::path& path, std::string_view bytes) {
  system_files().write_replacing(path, bytes);
}

FileRead SystemFilesExcept::read_whole(const fs::path& path) {
  return system_files().read_whole(path);
}

void SystemFilesExcept::remove(const fs::path& path) {
  system_files().remove(path);
}

void RefusingFolder::write_replacing(const fs::path& path, std::string_view) {
  throw FileError(path, "Permission denied");
}

void DiskFullFor::write_replacing(const fs::path& path, std::string_view bytes) {
  if (path.filename() == name_) throw FileError(path, "No space left on device");
  SystemFilesExcept::write_replacing(path, bytes);
}

FileRead TroubledText::read_whole(const fs::path& path) {
  if (path.filename() == name_) {
    if (trouble_ == DeviceError) return {ReadStatus::Unreadable, {}, "Input/output error"};
    system_files().remove(path);
  }
  return SystemFilesExcept::read_whole(path);
}

#ifndef _WIN32
FileSizeLimit::FileSizeLimit(uint64_t room) {
  rlimit limit{};
  getrlimit(RLIMIT_FSIZE, &limit);
  saved_soft_limit_ = limit.rlim_cur;
  saved_handler_ = std::signal(SIGXFSZ, SIG_IGN);
  limit.rlim_cur = static_cast<rlim_t>(room);
  setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit() {
  rlimit limit{};
  getrlimit(RLIMIT_FSIZE, &limit);
  limit.rlim_cur = static_cast<rlim_t>(saved_soft_limit_);
  setrlimit(RLIMIT_FSIZE, &limit);
  std::signal(SIGXFSZ, saved_handler_);
}

void FullDiskFor::write_replacing(const fs::path& path, std::string_view bytes) {
  if (path.filename() != name_) return SystemFilesExcept::write_replacing(path, bytes);
  const FileSizeLimit limit(room_);
  SystemFilesExcept::write_replacing(path, bytes);
}
#endif

}  // namespace scengen::testing
