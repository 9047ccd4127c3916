// The file layer's system half on POSIX systems.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <optional>

#include "platform/system_file_layer.h"
#include "platform/temporary_files.h"

namespace scengen::os {
namespace {

// The file a replacement really writes (the one a symbolic link names) and what it was before.
struct Target {
  std::filesystem::path file;
  bool exists = false;
  struct stat status {};
};

// Refuses what must not be replaced; `path` is the name the caller gave, for messages.
Target resolve_target(const std::filesystem::path& path) {
  check_name_length(path, path);
  Target target{path};
  struct stat link {};
  if (::lstat(path.c_str(), &link) != 0) {
    if (errno == ENOENT) return target;
    throw FileError(path, last_error_text(errno));
  }
  if (S_ISLNK(link.st_mode)) {
    // The link stays a link: the file it names is the one replaced, as cp does.
    std::error_code error;
    target.file = std::filesystem::canonical(path, error);
    if (error) {
      throw FileError(path, error == std::errc::no_such_file_or_directory
                                ? "it is a symbolic link to a file that does not exist"
                                : error.message());
    }
    check_name_length(target.file, path);
    if (::stat(target.file.c_str(), &target.status) != 0)
      throw FileError(path, last_error_text(errno));
  } else {
    target.status = link;
  }
  target.exists = true;
  const mode_t mode = target.status.st_mode;
  if (S_ISDIR(mode)) throw FileError(path, "Is a directory");
  if (!S_ISREG(mode)) throw FileError(path, "it exists and is not a regular file");
  // No write bit at all is the author's protection; it holds even for an administrator.
  if ((mode & 0222) == 0) throw FileError(path, "the file is read-only");
  if (::access(target.file.c_str(), W_OK) != 0) throw FileError(path, last_error_text(errno));
  return target;
}

class PosixTemporaryFile final : public TemporaryFile {
 public:
  explicit PosixTemporaryFile(const std::filesystem::path& path);
  PosixTemporaryFile(const PosixTemporaryFile&) = delete;
  PosixTemporaryFile& operator=(const PosixTemporaryFile&) = delete;
  ~PosixTemporaryFile() override {
    if (fd_ >= 0) ::close(fd_);
    if (!renamed_) ::unlink(temp_.c_str());
    temporary_registry::remove(slot_);
  }

  void write(std::string_view bytes) override;
  void set_size(uint64_t size) override {
    if (::ftruncate(fd_, static_cast<off_t>(size)) != 0)
      throw FileError(path_, last_error_text(errno));
  }
  void write_at(uint64_t offset, std::string_view bytes) override;
  void flush() override {
    if (::fsync(fd_) != 0) throw FileError(path_, last_error_text(errno));
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) throw FileError(path_, last_error_text(errno));
  }
  void rename() override {
    if (std::rename(temp_.c_str(), target_.file.c_str()) != 0)
      throw FileError(path_, last_error_text(errno));
    renamed_ = true;
    temporary_registry::remove(slot_);
    slot_ = temporary_registry::kSlots;
  }
  std::filesystem::path folder() const override { return target_.file.parent_path(); }
  const std::filesystem::path& path() const override { return path_; }

 private:
  void create_beside_target();
  void keep_owner_and_mode();

  std::filesystem::path path_;
  Target target_;
  std::filesystem::path temp_;
  int fd_ = -1;
  size_t slot_ = temporary_registry::kSlots;
  bool renamed_ = false;
};

PosixTemporaryFile::PosixTemporaryFile(const std::filesystem::path& path) : path_(path) {
  target_ = resolve_target(path);
  create_beside_target();
  if (target_.exists) keep_owner_and_mode();
}

void PosixTemporaryFile::create_beside_target() {
  const auto folder = target_.file.parent_path();
  const std::string name = utf8_name(target_.file);
  for (int attempt = 0; fd_ < 0; ++attempt) {
    temp_ = folder / utf8_path(temporary_name(name, current_process_id(), random_letters()));
    // Registered before it exists: a signal in between then finds nothing to remove.
    slot_ = temporary_registry::add(temp_);
    fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ < 0) {
      const int error = errno;
      temporary_registry::remove(slot_);
      slot_ = temporary_registry::kSlots;
      if (error != EEXIST || attempt == 100) throw FileError(path_, last_error_text(error));
    }
  }
}

void PosixTemporaryFile::keep_owner_and_mode() {
  // The owner first: changing it may clear mode bits. Only an administrator may give a file
  // away; anyone else keeps it as their own, silently, as cp does.
  if (target_.status.st_uid != ::geteuid() || target_.status.st_gid != ::getegid()) {
    (void)!::fchown(fd_, target_.status.st_uid, target_.status.st_gid);
  }
  ::fchmod(fd_, target_.status.st_mode & 01777);
}

void PosixTemporaryFile::write(std::string_view bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw FileError(path_, last_error_text(errno));
    }
    done += static_cast<size_t>(n);
  }
}

void PosixTemporaryFile::write_at(uint64_t offset, std::string_view bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::pwrite(fd_, bytes.data() + done, bytes.size() - done,
                               static_cast<off_t>(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      throw FileError(path_, last_error_text(errno));
    }
    done += static_cast<size_t>(n);
  }
}

// Looked at before it is opened: opening a FIFO would wait for a writer, a device never ends.
std::optional<FileRead> refusal(const struct stat& status, uint64_t cap) {
  if (S_ISDIR(status.st_mode)) return FileRead{ReadStatus::Unreadable, {}, "Is a directory"};
  if (!S_ISREG(status.st_mode))
    return FileRead{ReadStatus::Unreadable, {}, "it is not a regular file"};
  if (static_cast<uint64_t>(status.st_size) > cap)
    return FileRead{ReadStatus::Unreadable, {}, too_large_reason(cap)};
  return std::nullopt;
}

FileRead read_failure(int error) {
  if (error == ENOENT) return FileRead{ReadStatus::Missing, {}, last_error_text(error)};
  return FileRead{ReadStatus::Unreadable, {}, last_error_text(error)};
}

}  // namespace

std::unique_ptr<TemporaryFile> create_temporary_file(const std::filesystem::path& path) {
  return std::make_unique<PosixTemporaryFile>(path);
}

// Some file systems cannot sync a folder (EINVAL); only an input/output error is a failure.
void sync_folder(const std::filesystem::path& folder, const std::filesystem::path& shown) {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  const int result = ::fsync(fd);
  const int error = errno;
  ::close(fd);
  if (result != 0 && error == EIO) throw FileError(shown, last_error_text(error));
}

FileRead read_regular_file(const std::filesystem::path& path, uint64_t cap) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return read_failure(errno);
  if (auto refused = refusal(status, cap)) return *refused;
  // Non-blocking, in case it was swapped for a FIFO in between; fstat then tells.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return read_failure(errno);
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  if (::fstat(fd, &status) != 0) return read_failure(errno);
  if (auto refused = refusal(status, cap)) return *refused;
  // Room for the known size, then whatever was added meanwhile, up to the cap. Read through a
  // small buffer: a string sized first would be zeroed, a pass over every byte for nothing.
  std::string bytes;
  bytes.reserve(static_cast<size_t>(status.st_size));
  char chunk[1 << 16];
  for (;;) {
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0) {
      if (errno == EINTR) continue;
      return read_failure(errno);
    }
    if (n == 0) break;
    if (bytes.size() + static_cast<uint64_t>(n) > cap)
      return {ReadStatus::Unreadable, {}, too_large_reason(cap)};
    bytes.append(chunk, static_cast<size_t>(n));
  }
  return {ReadStatus::Ok, std::move(bytes), {}};
}

}  // namespace scengen::os
