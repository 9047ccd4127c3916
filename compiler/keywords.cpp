#include "compiler/keywords.h"

namespace scengen::keywords {
namespace {

std::vector<const Keyword*> every_keyword() {
  std::vector<const Keyword*> all{&kGeneralHeader};
  for (const auto section : {general_records(), feature_records(), train_records()}) {
    for (const RecordSyntax& record : section) all.push_back(&record.keyword);
  }
  return all;
}

}  // namespace

const std::vector<const Keyword*> kAll = every_keyword();

bool is_record_topic(std::string_view topic) {
  for (const Keyword* keyword : kAll) {
    if (keyword != &kGeneralHeader && keyword->topic == topic) return true;
  }
  return false;
}

}  // namespace scengen::keywords
