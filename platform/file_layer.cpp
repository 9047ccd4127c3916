#include "platform/file_layer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <system_error>

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

class SystemFiles : public FileLayer {
 public:
  void write_replacing(const std::filesystem::path& path, std::string_view bytes) override;
#ifndef _WIN32
  void write_replacing_placed(const std::filesystem::path& path, uint64_t size,
                              const PlacedProducer& produce) override;
#endif
  FileRead read_whole(const std::filesystem::path& path) override;
  void remove(const std::filesystem::path& path) override {
    // Only a file: an empty folder that happens to bear the name is not the program's to delete.
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) return;
    std::filesystem::remove(path, ignored);
  }
};

#ifndef _WIN32
// A temporary file beside `path` that takes its name only when committed; until then a failure,
// whatever throws it, removes the temporary and leaves an earlier file of that name intact.
class TemporaryFile {
 public:
  explicit TemporaryFile(const std::filesystem::path& path)
      : path_(path), temp_(path.string() + ".tmp-XXXXXX") {
    fd_ = mkstemp(temp_.data());
    if (fd_ < 0) throw FileError(path_, last_error_text(errno));
    // mkstemp creates the file with mode 0600; give it what a plainly created file would get.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd_, 0666 & ~mask);
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!committed_) ::unlink(temp_.c_str());
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

  // Closes the temporary and renames it over the final name.
  void commit() {
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) throw FileError(path_, last_error_text(errno));
    if (std::rename(temp_.c_str(), path_.c_str()) != 0)
      throw FileError(path_, last_error_text(errno));
    committed_ = true;
  }

 private:
  std::filesystem::path path_;
  std::string temp_;
  int fd_ = -1;
  bool committed_ = false;
};

void SystemFiles::write_replacing(const std::filesystem::path& path, std::string_view bytes) {
  TemporaryFile file(path);
  file.write(bytes);
  file.commit();
}

void SystemFiles::write_replacing_placed(const std::filesystem::path& path, uint64_t size,
                                         const PlacedProducer& produce) {
  TemporaryFile file(path);
  file.set_size(size);
  produce([&](uint64_t offset, std::string_view piece) { file.write_at(offset, piece); });
  file.commit();
}
#else
// Windows' error in the words the other systems use for it ("No such file or directory"), where
// there is such an equivalent; its own words otherwise.
std::string windows_error_text(DWORD error) {
  return std::system_category().default_error_condition(static_cast<int>(error)).message();
}

void SystemFiles::write_replacing(const std::filesystem::path& path, std::string_view bytes) {
  std::random_device random;
  std::filesystem::path temp = path;
  temp += L".tmp-" + std::to_wstring(random());
  HANDLE h = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    throw FileError(path, windows_error_text(GetLastError()));
  }
  auto fail = [&](DWORD error) {
    CloseHandle(h);
    DeleteFileW(temp.c_str());
    throw FileError(path, windows_error_text(error));
  };
  size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 30));
    DWORD written = 0;
    if (!WriteFile(h, bytes.data() + done, chunk, &written, nullptr)) fail(GetLastError());
    done += written;
  }
  if (!CloseHandle(h)) {
    const DWORD error = GetLastError();
    DeleteFileW(temp.c_str());
    throw FileError(path, windows_error_text(error));
  }
  if (!MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    const DWORD error = GetLastError();
    DeleteFileW(temp.c_str());
    throw FileError(path, windows_error_text(error));
  }
}
#endif

FileRead SystemFiles::read_whole(const std::filesystem::path& path) {
  std::error_code error;
  if (!std::filesystem::exists(path, error)) {
    if (error) return {ReadStatus::Unreadable, {}, error.message()};
    return {ReadStatus::Missing, {}, "No such file or directory"};
  }
  if (std::filesystem::is_directory(path, error)) {
    return {ReadStatus::Unreadable, {}, "Is a directory"};
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) return {ReadStatus::Unreadable, {}, last_error_text(errno)};
  std::string bytes;
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  in.seekg(0, std::ios::beg);
  if (size > 0) {
    // One read of the known size, then whatever may have been added meanwhile.
    bytes.resize(static_cast<size_t>(size));
    in.read(bytes.data(), size);
    bytes.resize(static_cast<size_t>(in.gcount()));
    if (in.eof() && !in.bad()) in.clear();
  }
  bytes.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (in.bad()) return {ReadStatus::Unreadable, {}, "read error"};
  return {ReadStatus::Ok, std::move(bytes), {}};
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

FileLayer& system_files() {
  static SystemFiles files;
  return files;
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
