#include "cli/explain.h"

#include <algorithm>
#include <cctype>
#include <ostream>

#include "compiler/keywords.h"

namespace scengen {
namespace {

constexpr std::string_view kTopicHeading = "### ";
constexpr std::string_view kErrorTopic = "error ";

std::string lower(std::string_view text) {
  std::string folded(text);
  for (char& c : folded) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return folded;
}

std::string_view trim(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  const size_t last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

bool all_digits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
  });
}

// Whether `name` is `folded` (already in lower case) but for the case of its letters.
bool same_folded(std::string_view name, std::string_view folded) {
  return name.size() == folded.size() &&
         std::equal(name.begin(), name.end(), folded.begin(), [](char a, char b) {
           return std::tolower(static_cast<unsigned char>(a)) == b;
         });
}

// Looked up for every diagnostic that names a keyword: no copy of the topics' names.
const ReferenceTopic* named(const std::vector<ReferenceTopic>& topics, std::string_view name) {
  for (const ReferenceTopic& topic : topics) {
    if (same_folded(topic.name, name)) return &topic;
  }
  return nullptr;
}

// Levenshtein distance, on folded letters.
size_t edit_distance(std::string_view a, std::string_view b) {
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

// The words of a text in lower case: runs of letters and digits.
std::vector<std::string> words_of(std::string_view text) {
  std::vector<std::string> words;
  std::string word;
  for (const char c : text) {
    if (std::isalnum(static_cast<unsigned char>(c))) {
      word += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    } else if (!word.empty()) {
      words.push_back(std::move(word));
      word.clear();
    }
  }
  if (!word.empty()) words.push_back(std::move(word));
  return words;
}

// Whether every asked word is a word of the name (whole), or the start of one.
bool holds_words(const std::vector<std::string>& name, const std::vector<std::string>& asked,
                 bool whole) {
  return std::all_of(asked.begin(), asked.end(), [&](const std::string& a) {
    return std::any_of(name.begin(), name.end(),
                       [&](const std::string& w) { return whole ? w == a : w.starts_with(a); });
  });
}

// One kind of topic on lines of at most 100 characters, its name first.
void list_topics(std::ostream& err, std::string_view kind, const std::vector<std::string>& names) {
  std::string line = "  " + std::string(kind) + ":";
  for (size_t i = 0; i < names.size(); ++i) {
    const std::string item = names[i] + (i + 1 < names.size() ? "," : "");
    if (line.size() + 1 + item.size() > 100) {
      err << line << '\n';
      line = "   ";
    }
    line += ' ' + item;
  }
  err << line << '\n';
}

}  // namespace

TopicKind topic_kind(const ReferenceTopic& topic) {
  if (lower(topic.name).starts_with(kErrorTopic)) return TopicKind::ErrorCode;
  if (topic.name.starts_with('[')) return TopicKind::SectionHeader;
  if (keywords::is_record_topic(topic.name)) return TopicKind::Keyword;
  return TopicKind::Texts;
}

std::vector<ReferenceTopic> reference_topics(std::string_view reference) {
  std::vector<ReferenceTopic> topics;
  size_t at = 0;
  ReferenceTopic* open = nullptr;
  size_t open_start = 0;
  while (at < reference.size()) {
    size_t end = reference.find('\n', at);
    if (end == std::string_view::npos) end = reference.size();
    const std::string_view line = reference.substr(at, end - at);
    // Any heading closes the topic before it; only "### " headings open one.
    if (line.starts_with("#")) {
      if (open) open->text = reference.substr(open_start, at - open_start);
      open = nullptr;
      if (line.starts_with(kTopicHeading)) {
        topics.push_back({std::string(trim(line.substr(kTopicHeading.size()))), {}});
        open = &topics.back();
        open_start = at;
      }
    }
    at = end + 1;
  }
  if (open) open->text = reference.substr(open_start);
  // Blank lines between a section and the next heading are not part of it.
  for (ReferenceTopic& topic : topics) {
    const size_t last = topic.text.find_last_not_of("\r\n");
    if (last != std::string_view::npos) topic.text = topic.text.substr(0, last + 1);
  }
  return topics;
}

const ReferenceTopic* find_topic(const std::vector<ReferenceTopic>& topics,
                                 std::string_view asked) {
  const std::string wanted = lower(trim(asked));
  if (wanted.empty()) return nullptr;
  std::string_view code = wanted;
  for (std::string_view prefix :
       {kErrorTopic, std::string_view("errore "), std::string_view("e")}) {
    if (code.starts_with(prefix) && all_digits(trim(code.substr(prefix.size())))) {
      code = trim(code.substr(prefix.size()));
      break;
    }
  }
  if (all_digits(code)) return named(topics, std::string(kErrorTopic) + std::string(code));
  if (const ReferenceTopic* topic = named(topics, wanted)) return topic;
  if (const ReferenceTopic* topic = named(topics, "[" + wanted + "]")) return topic;
  // A keyword field as an author writes it finds its record the way the readers match it.
  for (const Keyword* keyword : keywords::kAll) {
    if (matches(*keyword, wanted)) return named(topics, lower(keyword->topic));
  }
  return nullptr;
}

std::vector<const ReferenceTopic*> topics_by_word(const std::vector<ReferenceTopic>& topics,
                                                  std::string_view asked) {
  const std::vector<std::string> words = words_of(asked);
  // A letter or two starts too many words to point anywhere.
  size_t letters = 0;
  for (const std::string& w : words) letters += w.size();
  if (words.empty() || letters < 3 || all_digits(lower(trim(asked)))) return {};
  std::vector<const ReferenceTopic*> found;
  for (const bool whole : {true, false}) {
    for (const ReferenceTopic& topic : topics) {
      if (topic_kind(topic) == TopicKind::ErrorCode) continue;
      if (holds_words(words_of(topic.name), words, whole)) found.push_back(&topic);
    }
    if (!found.empty()) break;
  }
  return found;
}

std::vector<std::string> similar_topics(const std::vector<ReferenceTopic>& topics,
                                        std::string_view asked) {
  const std::string wanted = lower(trim(asked));
  // Close enough to be a slip of the keyboard, not merely another short word.
  const size_t tolerance = std::max<size_t>(1, wanted.size() / 3);
  std::vector<std::pair<size_t, std::string>> near;
  for (const ReferenceTopic& topic : topics) {
    std::string name = lower(topic.name);
    size_t distance = edit_distance(wanted, name);
    if (name.starts_with('[') && name.ends_with(']')) {
      distance = std::min(distance, edit_distance(wanted, name.substr(1, name.size() - 2)));
    }
    if (distance <= tolerance) near.emplace_back(distance, topic.name);
  }
  std::stable_sort(near.begin(), near.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::string> names;
  for (size_t i = 0; i < near.size() && i < 3; ++i) names.push_back(near[i].second);
  return names;
}

std::string explain_hint(int32_t code) {
  const std::vector<ReferenceTopic> topics = reference_topics(formats_reference());
  if (!named(topics, std::string(kErrorTopic) + std::to_string(code))) return {};
  return " (scengen explain " + std::to_string(code) + ")";
}

int explain_topic(const std::string& topic, std::ostream& out, std::ostream& err) {
  const std::vector<ReferenceTopic> topics = reference_topics(formats_reference());
  if (const ReferenceTopic* found = find_topic(topics, topic)) {
    out << found->text << '\n';
    return 0;
  }
  const std::vector<const ReferenceTopic*> by_word = topics_by_word(topics, topic);
  std::vector<std::string> near = similar_topics(topics, topic);
  if (by_word.size() == 1) {
    out << by_word[0]->text << '\n';
    std::erase(near, by_word[0]->name);
    err << "scengen explain: taking \"" << topic << "\" as " << by_word[0]->name;
    for (size_t i = 0; i < near.size(); ++i) err << (i == 0 ? "; see also " : ", ") << near[i];
    err << '\n';
    return 0;
  }
  err << "scengen explain: no topic \"" << topic << "\"\n";
  // The topics holding the words come first, then the near spellings not among them.
  std::vector<std::string> suggested;
  for (const ReferenceTopic* t : by_word) suggested.push_back(t->name);
  for (const std::string& name : near) {
    if (std::find(suggested.begin(), suggested.end(), name) == suggested.end())
      suggested.push_back(name);
  }
  near = std::move(suggested);
  if (!near.empty()) {
    err << "Did you mean:";
    for (size_t i = 0; i < near.size(); ++i) err << (i == 0 ? " " : ", ") << near[i];
    err << "?\n";
  }
  std::vector<std::string> codes, headers, keywords, general;
  for (const ReferenceTopic& t : topics) {
    switch (topic_kind(t)) {
      case TopicKind::ErrorCode: codes.push_back(t.name.substr(kErrorTopic.size())); break;
      case TopicKind::SectionHeader: headers.push_back(t.name); break;
      case TopicKind::Keyword: keywords.push_back(t.name); break;
      case TopicKind::Texts: general.push_back(lower(t.name)); break;
    }
  }
  err << "Topics:\n";
  list_topics(err, "error codes", codes);
  list_topics(err, "keywords", keywords);
  list_topics(err, "section headers", headers);
  list_topics(err, "the texts", general);
  return 2;
}

}  // namespace scengen
