#include "decompiler/decompile.h"

#include <set>

#include "decompiler/line_text.h"
#include "decompiler/train_text.h"
#include "decompiler/verification.h"

namespace scengen {

Decompilation write_texts(const ScenarioModel& model, const std::vector<int32_t>& explicit_180) {
  Decompilation d;
  const std::set<int32_t> authored(explicit_180.begin(), explicit_180.end());
  d.line_text = line_text(model, d.notes);
  d.train_text = train_text(model, authored, d.notes);
  return d;
}

Decompilation write_texts(const CompiledFiles& files, const std::vector<int32_t>& explicit_180) {
  return write_texts(read_scenario(files), explicit_180);
}

Decompilation decompile(const CompiledFiles& files, const std::string& route_id,
                        const std::string& train_number) {
  return verified_texts(files, read_scenario(files), {route_id, train_number});
}

}  // namespace scengen
