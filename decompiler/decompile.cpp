#include "decompiler/decompile.h"

#include <set>

#include "decompiler/line_text.h"
#include "decompiler/train_text.h"
#include "decompiler/verification.h"

namespace scengen {

Decompilation texts_of(const ScenarioModel& model, const RecoveredRecords& records,
                       const std::vector<std::string>& notes,
                       const std::vector<int32_t>& explicit_180) {
  Decompilation d;
  d.notes = notes;
  const std::set<int32_t> authored(explicit_180.begin(), explicit_180.end());
  d.line_text = line_text(model, records, d.notes);
  d.train_text = train_text(model, records, authored, d.notes);
  return d;
}

Decompilation write_texts(const CompiledFiles& files, const std::vector<int32_t>& explicit_180) {
  const ScenarioModel model = read_scenario(files);
  std::vector<std::string> notes;
  const RecoveredRecords records =
      recover_records(model, author_cells(files.cells, files.table), notes);
  return texts_of(model, records, notes, explicit_180);
}

Decompilation decompile(const CompiledFiles& files, const std::string& route_id,
                        const std::string& train_number) {
  return verified_texts(files, read_scenario(files), {route_id, train_number});
}

}  // namespace scengen
