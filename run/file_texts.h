// Description texts read from files.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "compiler/description_texts.h"
#include "platform/file_layer.h"

namespace scengen {

/// The two description texts as files. The built-in run deletes its own texts once read
/// (`owned`); an author's texts are input and are never deleted.
class FileTexts : public DescriptionTexts {
 public:
  FileTexts(FileLayer& files, std::filesystem::path line, std::filesystem::path train, bool owned)
      : files_(files), line_(std::move(line)), train_(std::move(train)), owned_(owned) {}
  TextRead read_line_text() override { return read(line_); }
  TextRead read_train_text() override { return read(train_); }
  void delete_line_text() override {
    if (owned_) files_.remove(line_);
  }
  void delete_train_text() override {
    if (owned_) files_.remove(train_);
  }

  /// A text that was missing or could not be read: which file and why.
  struct Problem {
    std::filesystem::path path;
    std::string reason;
  };
  /// The first text that could not be read, if any.
  const std::optional<Problem>& problem() const { return problem_; }

 private:
  TextRead read(const std::filesystem::path& path);

  FileLayer& files_;
  std::filesystem::path line_;
  std::filesystem::path train_;
  bool owned_;
  std::optional<Problem> problem_;
};

}  // namespace scengen
