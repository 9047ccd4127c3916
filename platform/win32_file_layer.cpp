// The file layer's system half on Windows.
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <system_error>

#include "platform/system_file_layer.h"
#include "platform/temporary_files.h"

namespace scengen::os {
namespace {

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
  if (attributes == INVALID_FILE_ATTRIBUTES)
    throw FileError(path, windows_error_text(GetLastError()));
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) throw FileError(path, "Is a directory");
  if (!std::filesystem::is_regular_file(target.file, error))
    throw FileError(path, "it exists and is not a regular file");
  if (attributes & FILE_ATTRIBUTE_READONLY) throw FileError(path, "the file is read-only");
  return target;
}

class WindowsTemporaryFile final : public TemporaryFile {
 public:
  explicit WindowsTemporaryFile(const std::filesystem::path& path);
  WindowsTemporaryFile(const WindowsTemporaryFile&) = delete;
  WindowsTemporaryFile& operator=(const WindowsTemporaryFile&) = delete;
  ~WindowsTemporaryFile() override {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    if (!renamed_) DeleteFileW(temp_.c_str());
    temporary_registry::remove(slot_);
  }

  void write(std::string_view bytes) override { write_from(bytes, nullptr); }
  void set_size(uint64_t size) override {
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(size);
    if (!SetFilePointerEx(handle_, at, nullptr, FILE_BEGIN) || !SetEndOfFile(handle_))
      throw FileError(path_, windows_error_text(GetLastError()));
  }
  void write_at(uint64_t offset, std::string_view bytes) override { write_from(bytes, &offset); }
  void flush() override {
    if (!FlushFileBuffers(handle_)) throw FileError(path_, windows_error_text(GetLastError()));
    HANDLE h = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    if (!CloseHandle(h)) throw FileError(path_, windows_error_text(GetLastError()));
  }
  void rename() override {
    if (!MoveFileExW(temp_.c_str(), target_.file.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
      throw FileError(path_, windows_error_text(GetLastError()));
    renamed_ = true;
    temporary_registry::remove(slot_);
    slot_ = temporary_registry::kSlots;
  }
  std::filesystem::path folder() const override { return target_.file.parent_path(); }
  const std::filesystem::path& path() const override { return path_; }

 private:
  void write_from(std::string_view bytes, const uint64_t* offset);

  std::filesystem::path path_;
  Target target_;
  std::filesystem::path temp_;
  HANDLE handle_ = INVALID_HANDLE_VALUE;
  size_t slot_ = temporary_registry::kSlots;
  bool renamed_ = false;
};

WindowsTemporaryFile::WindowsTemporaryFile(const std::filesystem::path& path) : path_(path) {
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

// At `offset` when given, else at the current position.
void WindowsTemporaryFile::write_from(std::string_view bytes, const uint64_t* offset) {
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

}  // namespace

std::unique_ptr<TemporaryFile> create_temporary_file(const std::filesystem::path& path) {
  return std::make_unique<WindowsTemporaryFile>(path);
}

// Windows has no folder flush; MOVEFILE_WRITE_THROUGH makes each rename durable.
void sync_folder(const std::filesystem::path&, const std::filesystem::path&) {}

FileRead read_regular_file(const std::filesystem::path& path, uint64_t cap) {
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

}  // namespace scengen::os
