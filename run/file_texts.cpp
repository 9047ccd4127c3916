#include "run/file_texts.h"

namespace scengen {

TextRead FileTexts::read(const std::filesystem::path& path) {
  FileRead file = files_.read_whole(path);
  if (file.status != ReadStatus::Ok && !problem_) problem_ = Problem{path, file.reason};
  switch (file.status) {
    case ReadStatus::Ok:
      return {TextStatus::Present, std::move(file.bytes)};
    case ReadStatus::Missing:
      return {TextStatus::Missing, {}};
    case ReadStatus::Unreadable:
      break;
  }
  return {TextStatus::Unreadable, {}};
}

}  // namespace scengen
