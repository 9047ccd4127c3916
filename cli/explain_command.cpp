// scengen explain: one part of the authors' reference, for an error code, a keyword or a section.

#include "cli/command_table.h"
#include "cli/explain.h"

namespace scengen {
namespace {

constexpr const char* kExplainFooter =
    R"(Prints the part of the reference of the description texts (docs/formats.md) that TOPIC names:
an error code, a record's keyword or a section header. A word of a topic's name, or the start of
one, finds that topic (vetture: numero vetture); when several topics hold it they are suggested.
An unknown topic lists the topics, with the nearest ones first.

Examples:
  scengen explain 15            what error 15 means and how to mend it
  scengen explain stazione      the station record, field by field
  scengen explain '[curve]'     the curve section
  scengen explain vetture       the number of coaches (numero vetture))";

}  // namespace

int explain_command(const ExplainOptions& o, Console& console) {
  return explain_topic(o.topic, console.out, console.err);
}

void add_explain_command(CLI::App& app, CommandContext& context) {
  const auto [command, o] = add_command(
      app, context,
      {"explain", "The reference for an error code, a keyword or a section.", kExplainFooter},
      explain_command);
  command->add_option("TOPIC", o->topic, "An error code (15), a keyword (stazione) or a section "
                                         "([curve])")
      ->required();
}

}  // namespace scengen
