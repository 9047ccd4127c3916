// File layers that fail on purpose: the real file system, except for the one fault a test
// wants to see handled.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>

#include "platform/file_layer.h"

namespace scengen::testing {

/// The real file system; a fault overrides only the call it spoils.
class SystemFilesExcept : public FileLayer {
 public:
  void write_replacing(const std::filesystem::path& path, std::string_view bytes) override;
  FileRead read_whole(const std::filesystem::path& path) override;
  void remove(const std::filesystem::path& path) override;
};

/// Every write is refused, as a folder without write permission refuses it.
class RefusingFolder : public SystemFilesExcept {
 public:
  void write_replacing(const std::filesystem::path& path, std::string_view bytes) override;
};

/// Writing the file named `name` fails at once, as on a full disk; nothing of it is written.
class DiskFullFor : public SystemFilesExcept {
 public:
  explicit DiskFullFor(std::string name) : name_(std::move(name)) {}
  void write_replacing(const std::filesystem::path& path, std::string_view bytes) override;

 private:
  std::string name_;
};

/// One text is deleted (by someone else) just before it is read, or cannot be read for a fault
/// of the device.
class TroubledText : public SystemFilesExcept {
 public:
  enum Trouble { Vanishes, DeviceError };
  TroubledText(std::string name, Trouble trouble) : name_(std::move(name)), trouble_(trouble) {}
  FileRead read_whole(const std::filesystem::path& path) override;

 private:
  std::string name_;
  Trouble trouble_;
};

#ifndef _WIN32
/// While it lives, files cannot grow beyond `room` bytes and the signal for it is ignored, so
/// that a write fails in its middle as on a disk that fills up.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(uint64_t room);
  ~FileSizeLimit();
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  uint64_t saved_soft_limit_ = 0;
  void (*saved_handler_)(int) = nullptr;
};

/// Writing the file named `name` runs out of room after `room` bytes, in the middle of the write.
class FullDiskFor : public SystemFilesExcept {
 public:
  FullDiskFor(std::string name, uint64_t room) : name_(std::move(name)), room_(room) {}
  void write_replacing(const std::filesystem::path& path, std::string_view bytes) override;

 private:
  std::string name_;
  uint64_t room_;
};
#endif

}  // namespace scengen::testing
