#include "compiler/compilation.h"

namespace scengen {

void clear_scenario_table(Compilation& c) {
  for (ScenarioEntry& entry : c.ScenarioTable) entry = ScenarioEntry{};
}

}  // namespace scengen
