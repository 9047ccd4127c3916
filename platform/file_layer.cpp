#include "platform/file_layer.h"

#include <cstring>
#include <random>
#include <set>
#include <system_error>

#include "platform/system_file_layer.h"
#include "platform/temporary_files.h"

namespace scengen {
namespace os {

std::string last_error_text(int error) { return std::generic_category().message(error); }

std::string utf8_name(const std::filesystem::path& path) {
  const auto name = path.filename().u8string();
  return std::string(name.begin(), name.end());
}

// Refused before anything is created.
void check_name_length(const std::filesystem::path& path, const std::filesystem::path& shown) {
  if (!fits_temporary_name(utf8_name(path))) {
    throw FileError(shown, "the file name is longer than " + std::to_string(kMaxOutputNameBytes) +
                               " bytes, too long for its temporary file");
  }
}

// From a generator seeded once per thread: a build writes from several threads at once.
std::string random_letters() {
  thread_local std::mt19937_64 generator{std::random_device{}()};
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::string letters(8, 'a');
  for (char& c : letters) c = kLetters[generator() % (sizeof kLetters - 1)];
  return letters;
}

}  // namespace os

namespace {

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
  FileRead read_whole_capped(const std::filesystem::path& path, uint64_t cap) override {
    return os::read_regular_file(path, cap);
  }
  void remove(const std::filesystem::path& path) override {
    // Only a file: an empty folder that happens to bear the name is not the program's to delete.
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) return;
    std::filesystem::remove(path, ignored);
  }
};

void SystemFiles::write_replacing(const std::filesystem::path& path, std::string_view bytes) {
  const auto file = os::create_temporary_file(path);
  file->write(bytes);
  file->flush();
  file->rename();
  os::sync_folder(file->folder(), path);
}

void SystemFiles::write_replacing_placed(const std::filesystem::path& path, uint64_t size,
                                         const PlacedProducer& produce) {
  const auto file = os::create_temporary_file(path);
  file->set_size(size);
  produce([&](uint64_t offset, std::string_view piece) { file->write_at(offset, piece); });
  file->flush();
  file->rename();
  os::sync_folder(file->folder(), path);
}

void SystemFiles::write_replacing_set(const std::vector<Replacement>& files,
                                      const ReplacedSink& on_replaced) {
  // Every temporary complete and on the disk before the first rename.
  std::vector<std::unique_ptr<os::TemporaryFile>> temporaries;
  for (const Replacement& file : files) {
    temporaries.push_back(os::create_temporary_file(file.path));
    os::TemporaryFile& temp = *temporaries.back();
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
  for (const auto& folder : folders) os::sync_folder(folder, files.front().path);
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
