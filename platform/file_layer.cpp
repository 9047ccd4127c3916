#include "platform/file_layer.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <optional>
#include <random>
#include <set>
#include <system_error>

#include "platform/temporary_files.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace scengen {
namespace {

std::string last_error_text(int error) { return std::generic_category().message(error); }

std::string utf8_name(const std::filesystem::path& path) {
  const auto name = path.filename().u8string();
  return std::string(name.begin(), name.end());
}

// Refused before anything is created: the temporary's name would not fit the folder.
void check_name_length(const std::filesystem::path& path, const std::filesystem::path& shown) {
  if (!fits_temporary_name(utf8_name(path))) {
    throw FileError(shown, "the file name is longer than " + std::to_string(kMaxOutputNameBytes) +
                               " bytes, too long for its temporary file");
  }
}

// Eight letters and digits, from a generator seeded once per process.
std::string random_letters() {
  static std::mt19937_64 generator{std::random_device{}()};
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::string letters(8, 'a');
  for (char& c : letters) c = kLetters[generator() % (sizeof kLetters - 1)];
  return letters;
}

class SystemFiles : public FileLayer {
 public:
  void write_replacing(const std::filesystem::path& path, std::string_view bytes) override;
  void write_replacing_placed(const std::filesystem::path& path, uint64_t size,
                              const PlacedProducer& produce) override;
  void write_replacing_set(const std::vector<Replacement>& files,
                           const ReplacedSink& on_replaced) override;
  FileRead read_whole(const std::filesystem::path& path) override {
    return read_whole_capped(path, kMaxInputBytes);
  }
  FileRead read_whole_capped(const std::filesystem::path& path, uint64_t cap) override;
  void remove(const std::filesystem::path& path) override {
    // Only a file: an empty folder that happens to bear the name is not the program's to delete.
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) return;
    std::filesystem::remove(path, ignored);
  }
};
#ifndef _WIN32
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

// Flushes a folder's entries (the renames in it) to the disk. Some file systems cannot sync a
// folder (EINVAL); only an input/output error is a failure.
void sync_folder(const std::filesystem::path& folder, const std::filesystem::path& shown) {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  const int result = ::fsync(fd);
  const int error = errno;
  ::close(fd);
  if (result != 0 && error == EIO) throw FileError(shown, last_error_text(error));
}

// A temporary file beside the target that takes its name only when renamed; until then a
// failure, whatever throws it, removes the temporary and leaves an earlier file intact.
class TemporaryFile {
 public:
  explicit TemporaryFile(const std::filesystem::path& path) : path_(path) {
    target_ = resolve_target(path);
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
    if (target_.exists) {
      // The owner first: changing it may clear mode bits. Only an administrator may give a file
      // away; anyone else keeps it as their own, silently, as cp does.
      if (target_.status.st_uid != ::geteuid() || target_.status.st_gid != ::getegid()) {
        (void)!::fchown(fd_, target_.status.st_uid, target_.status.st_gid);
      }
      ::fchmod(fd_, target_.status.st_mode & 01777);
    }
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!renamed_) ::unlink(temp_.c_str());
    temporary_registry::remove(slot_);
  }

  void write(std::string_view bytes) {
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

  // Gives the file its size at once; the pieces then go to their places.
  void set_size(uint64_t size) {
    if (::ftruncate(fd_, static_cast<off_t>(size)) != 0)
      throw FileError(path_, last_error_text(errno));
  }

  void write_at(uint64_t offset, std::string_view bytes) {
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

  // The data on the disk before the name: after a power failure the name never shows an empty
  // or partial file.
  void flush() {
    if (::fsync(fd_) != 0) throw FileError(path_, last_error_text(errno));
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) throw FileError(path_, last_error_text(errno));
  }

  void rename() {
    if (std::rename(temp_.c_str(), target_.file.c_str()) != 0)
      throw FileError(path_, last_error_text(errno));
    renamed_ = true;
    temporary_registry::remove(slot_);
    slot_ = temporary_registry::kSlots;
  }

  std::filesystem::path folder() const { return target_.file.parent_path(); }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
  Target target_;
  std::filesystem::path temp_;
  int fd_ = -1;
  size_t slot_ = temporary_registry::kSlots;
  bool renamed_ = false;
};

FileRead SystemFiles::read_whole_capped(const std::filesystem::path& path, uint64_t cap) {
  // Looked at before it is opened: opening a FIFO would wait for a writer, a device never ends.
  auto refusal = [&](const struct stat& status) -> std::optional<FileRead> {
    if (S_ISDIR(status.st_mode)) return FileRead{ReadStatus::Unreadable, {}, "Is a directory"};
    if (!S_ISREG(status.st_mode))
      return FileRead{ReadStatus::Unreadable, {}, "it is not a regular file"};
    if (static_cast<uint64_t>(status.st_size) > cap)
      return FileRead{ReadStatus::Unreadable, {}, too_large_reason(cap)};
    return std::nullopt;
  };
  auto failure = [](int error) {
    if (error == ENOENT) return FileRead{ReadStatus::Missing, {}, last_error_text(error)};
    return FileRead{ReadStatus::Unreadable, {}, last_error_text(error)};
  };
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return failure(errno);
  if (auto refused = refusal(status)) return *refused;
  // Non-blocking, in case it was swapped for a FIFO in between; fstat then tells.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return failure(errno);
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  if (::fstat(fd, &status) != 0) return failure(errno);
  if (auto refused = refusal(status)) return *refused;
  // Room for the known size, then whatever was added meanwhile, up to the cap. Read through a
  // small buffer: a string sized first would be zeroed, a pass over every byte for nothing.
  std::string bytes;
  bytes.reserve(static_cast<size_t>(status.st_size));
  char chunk[1 << 16];
  for (;;) {
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0) {
      if (errno == EINTR) continue;
      return failure(errno);
    }
    if (n == 0) break;
    if (bytes.size() + static_cast<uint64_t>(n) > cap)
      return {ReadStatus::Unreadable, {}, too_large_reason(cap)};
    bytes.append(chunk, static_cast<size_t>(n));
  }
  return {ReadStatus::Ok, std::move(bytes), {}};
}
#else
// Windows' error in the words the other systems use for it ("No such file or directory"), where
// there is such an equivalent; its own words otherwise.
std::string windows_error_text(DWORD error) {
  return std::system_category().default_error_condition(static_cast<int>(error)).message();
}

// The file a replacement really writes (the one a symbolic link names) and whether it exists.
struct Target {
  std::filesystem::path file;
  bool exists = false;
};

Target resolve_target(const std::filesystem::path& path) {
  check_name_length(path, path);
  Target target{path};
  std::error_code error;
  const auto link = std::filesystem::symlink_status(path, error);
  if (error || !std::filesystem::exists(link)) return target;
  if (std::filesystem::is_symlink(link)) {
    target.file = std::filesystem::canonical(path, error);
    if (error) throw FileError(path, "it is a symbolic link to a file that does not exist");
    check_name_length(target.file, path);
  }
  target.exists = true;
  const DWORD attributes = GetFileAttributesW(target.file.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) throw FileError(path, windows_error_text(GetLastError()));
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) throw FileError(path, "Is a directory");
  if (!std::filesystem::is_regular_file(target.file, error))
    throw FileError(path, "it exists and is not a regular file");
  if (attributes & FILE_ATTRIBUTE_READONLY) throw FileError(path, "the file is read-only");
  return target;
}

class TemporaryFile {
 public:
  explicit TemporaryFile(const std::filesystem::path& path) : path_(path) {
    target_ = resolve_target(path);
    const auto folder = target_.file.parent_path();
    const std::string name = utf8_name(target_.file);
    for (int attempt = 0; handle_ == INVALID_HANDLE_VALUE; ++attempt) {
      temp_ = folder / utf8_path(temporary_name(name, current_process_id(), random_letters()));
      slot_ = temporary_registry::add(temp_);
      // FILE_SHARE_DELETE: the console handler may delete it while it is open.
      handle_ = CreateFileW(temp_.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
      if (handle_ == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        temporary_registry::remove(slot_);
        slot_ = temporary_registry::kSlots;
        if (error != ERROR_FILE_EXISTS || attempt == 100)
          throw FileError(path_, windows_error_text(error));
      }
    }
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    if (!renamed_) DeleteFileW(temp_.c_str());
    temporary_registry::remove(slot_);
  }

  void write(std::string_view bytes) { write_from(bytes, nullptr); }

  void set_size(uint64_t size) {
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(size);
    if (!SetFilePointerEx(handle_, at, nullptr, FILE_BEGIN) || !SetEndOfFile(handle_))
      throw FileError(path_, windows_error_text(GetLastError()));
  }

  void write_at(uint64_t offset, std::string_view bytes) { write_from(bytes, &offset); }

  void flush() {
    if (!FlushFileBuffers(handle_)) throw FileError(path_, windows_error_text(GetLastError()));
    HANDLE h = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    if (!CloseHandle(h)) throw FileError(path_, windows_error_text(GetLastError()));
  }

  void rename() {
    if (!MoveFileExW(temp_.c_str(), target_.file.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
      throw FileError(path_, windows_error_text(GetLastError()));
    renamed_ = true;
    temporary_registry::remove(slot_);
    slot_ = temporary_registry::kSlots;
  }

  std::filesystem::path folder() const { return target_.file.parent_path(); }
  const std::filesystem::path& path() const { return path_; }

 private:
  // At `offset` when given, else at the current position.
  void write_from(std::string_view bytes, const uint64_t* offset) {
    size_t done = 0;
    while (done < bytes.size()) {
      const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 30));
      DWORD written = 0;
      OVERLAPPED at{};
      if (offset) {
        const uint64_t where = *offset + done;
        at.Offset = static_cast<DWORD>(where);
        at.OffsetHigh = static_cast<DWORD>(where >> 32);
      }
      if (!WriteFile(handle_, bytes.data() + done, chunk, &written, offset ? &at : nullptr))
        throw FileError(path_, windows_error_text(GetLastError()));
      done += written;
    }
  }

  std::filesystem::path path_;
  Target target_;
  std::filesystem::path temp_;
  HANDLE handle_ = INVALID_HANDLE_VALUE;
  size_t slot_ = temporary_registry::kSlots;
  bool renamed_ = false;
};

// Windows has no folder flush; MOVEFILE_WRITE_THROUGH makes each rename durable.
void sync_folder(const std::filesystem::path&, const std::filesystem::path&) {}

FileRead SystemFiles::read_whole_capped(const std::filesystem::path& path, uint64_t cap) {
  std::error_code error;
  const auto status = std::filesystem::status(path, error);
  if (!std::filesystem::exists(status)) {
    if (error && error != std::errc::no_such_file_or_directory)
      return {ReadStatus::Unreadable, {}, error.message()};
    return {ReadStatus::Missing, {}, "No such file or directory"};
  }
  if (std::filesystem::is_directory(status)) return {ReadStatus::Unreadable, {}, "Is a directory"};
  if (!std::filesystem::is_regular_file(status))
    return {ReadStatus::Unreadable, {}, "it is not a regular file"};
  const uint64_t size = std::filesystem::file_size(path, error);
  if (error) return {ReadStatus::Unreadable, {}, error.message()};
  if (size > cap) return {ReadStatus::Unreadable, {}, too_large_reason(cap)};
  std::ifstream in(path, std::ios::binary);
  if (!in) return {ReadStatus::Unreadable, {}, last_error_text(errno)};
  std::string bytes(static_cast<size_t>(std::min<uint64_t>(cap, size) + 1), '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (in.bad()) return {ReadStatus::Unreadable, {}, "read error"};
  const auto got = static_cast<uint64_t>(in.gcount());
  // A file that grew past the cap meanwhile is refused too.
  if (got > cap || (got == bytes.size() && in.peek() != std::char_traits<char>::eof()))
    return {ReadStatus::Unreadable, {}, too_large_reason(cap)};
  bytes.resize(static_cast<size_t>(got));
  return {ReadStatus::Ok, std::move(bytes), {}};
}
#endif

void SystemFiles::write_replacing(const std::filesystem::path& path, std::string_view bytes) {
  TemporaryFile file(path);
  file.write(bytes);
  file.flush();
  file.rename();
  sync_folder(file.folder(), path);
}

void SystemFiles::write_replacing_placed(const std::filesystem::path& path, uint64_t size,
                                         const PlacedProducer& produce) {
  TemporaryFile file(path);
  file.set_size(size);
  produce([&](uint64_t offset, std::string_view piece) { file.write_at(offset, piece); });
  file.flush();
  file.rename();
  sync_folder(file.folder(), path);
}

void SystemFiles::write_replacing_set(const std::vector<Replacement>& files,
                                      const ReplacedSink& on_replaced) {
  // Every temporary complete and on the disk before the first rename.
  std::vector<std::unique_ptr<TemporaryFile>> temporaries;
  for (const Replacement& file : files) {
    temporaries.push_back(std::make_unique<TemporaryFile>(file.path));
    TemporaryFile& temp = *temporaries.back();
    if (file.produce) {
      temp.set_size(file.size);
      file.produce([&](uint64_t offset, std::string_view piece) { temp.write_at(offset, piece); });
    } else {
      temp.write(file.bytes);
    }
    temp.flush();
  }
  std::set<std::filesystem::path> folders;
  for (auto& temp : temporaries) {
    temp->rename();
    folders.insert(temp->folder());
    if (on_replaced) on_replaced(temp->path());
  }
  for (const auto& folder : folders) sync_folder(folder, files.front().path);
}

}  // namespace

void FileLayer::write_replacing_placed(const std::filesystem::path& path, uint64_t size,
                                       const PlacedProducer& produce) {
  std::string bytes(static_cast<size_t>(size), '\0');
  produce([&](uint64_t offset, std::string_view piece) {
    if (offset > bytes.size() || piece.size() > bytes.size() - offset)
      throw std::logic_error("a piece lies beyond the end of the file");
    std::memcpy(bytes.data() + offset, piece.data(), piece.size());
  });
  write_replacing(path, bytes);
}

void FileLayer::write_replacing_set(const std::vector<Replacement>& files,
                                    const ReplacedSink& on_replaced) {
  for (const Replacement& file : files) {
    if (file.produce) {
      write_replacing_placed(file.path, file.size, file.produce);
    } else {
      write_replacing(file.path, file.bytes);
    }
    if (on_replaced) on_replaced(file.path);
  }
}

FileRead FileLayer::read_whole_capped(const std::filesystem::path& path, uint64_t cap) {
  FileRead read = read_whole(path);
  if (read.status == ReadStatus::Ok && read.bytes.size() > cap) {
    return {ReadStatus::Unreadable, {}, too_large_reason(cap)};
  }
  return read;
}

FileLayer& system_files() {
  static SystemFiles files;
  return files;
}

std::string too_large_reason(uint64_t cap) {
  return "the file is larger than " + std::to_string(cap >> 20) +
         " MiB, more than any valid input";
}

std::filesystem::path utf8_path(std::string_view text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

std::filesystem::path join_output_path(const std::filesystem::path& folder,
                                       std::string_view name) {
  std::filesystem::path::string_type joined = folder.native();
  joined += std::filesystem::path::preferred_separator;
  joined += utf8_path(name).native();
  return std::filesystem::path(joined);
}

std::string display_path(const std::filesystem::path& path) {
  const auto text = path.u8string();
  std::string quoted = "'";
  quoted.append(text.begin(), text.end());
  quoted += '\'';
  return quoted;
}

}  // namespace scengen
