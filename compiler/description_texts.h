// Where a compile finds its two description texts, and whether it may delete them.
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace scengen {

enum class TextStatus { Present, Missing, Unreadable };

struct TextRead {
  TextStatus status = TextStatus::Missing;
  std::string bytes;
};

/// The line and train description texts of one compile. The built-in run's texts are its own
/// temporaries and are deleted when read; an author's texts are input and are never deleted.
class DescriptionTexts {
 public:
  virtual ~DescriptionTexts() = default;
  virtual TextRead read_line_text() = 0;
  virtual TextRead read_train_text() = 0;
  /// Deletes the line text if this source owns it and it still exists.
  virtual void delete_line_text() = 0;
  /// Deletes the train text if this source owns it and it still exists.
  virtual void delete_train_text() = 0;
};

/// Texts held in memory (tests, fuzzing, checking). A missing text is std::nullopt; deleting one
/// makes it missing, as deleting a file would.
class MemoryTexts : public DescriptionTexts {
 public:
  MemoryTexts(std::optional<std::string> line, std::optional<std::string> train)
      : line_(std::move(line)), train_(std::move(train)) {}
  // A compile reads each text once and then deletes it: the bytes move out, not copied, so that a
  // text of many megabytes is held once less.
  TextRead read_line_text() override { return read(line_); }
  TextRead read_train_text() override { return read(train_); }
  void delete_line_text() override { line_.reset(); }
  void delete_train_text() override { train_.reset(); }
  bool line_exists() const { return line_.has_value(); }
  bool train_exists() const { return train_.has_value(); }

 private:
  static TextRead read(std::optional<std::string>& text) {
    if (!text) return {TextStatus::Missing, {}};
    return {TextStatus::Present, std::move(*text)};
  }
  std::optional<std::string> line_;
  std::optional<std::string> train_;
};

}  // namespace scengen
