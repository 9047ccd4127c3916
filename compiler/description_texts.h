// Where a compile finds its two description texts, and whether it may delete them.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace scengen {

enum class TextStatus { Present, Missing, Unreadable };

/// A text as a compile reads it: its own bytes, or a view of bytes its source keeps alive.
struct TextRead {
  TextStatus status = TextStatus::Missing;
  std::string bytes;
  std::string_view borrowed{};  // used instead of bytes when its data is set

  /// The text's bytes, wherever they are held.
  std::string_view text() const { return borrowed.data() != nullptr ? borrowed : bytes; }
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
    if (!text) return {TextStatus::Missing, {}, {}};
    return {TextStatus::Present, std::move(*text), {}};
  }
  std::optional<std::string> line_;
  std::optional<std::string> train_;
};

/// Views of texts that the caller keeps alive for the whole compile (an author's texts, which
/// the report shows afterwards): nothing is copied, so a text of many megabytes is held once.
class BorrowedTexts : public DescriptionTexts {
 public:
  BorrowedTexts(std::string_view line, std::string_view train) : line_(line), train_(train) {}
  TextRead read_line_text() override { return read(line_); }
  TextRead read_train_text() override { return read(train_); }
  void delete_line_text() override { line_.reset(); }
  void delete_train_text() override { train_.reset(); }

 private:
  static TextRead read(const std::optional<std::string_view>& text) {
    if (!text) return {TextStatus::Missing, {}, {}};
    // An empty text still needs a data pointer to count as borrowed.
    return {TextStatus::Present, {}, text->data() != nullptr ? *text : std::string_view("", 0)};
  }
  std::optional<std::string_view> line_;
  std::optional<std::string_view> train_;
};

}  // namespace scengen
