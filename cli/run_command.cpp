// scengen run: the built-in scenario, as the program without arguments runs it.

#include "cli/command_files.h"
#include "cli/command_table.h"
#include "platform/platform.h"
#include "run/form1.h"

namespace scengen {
namespace {

constexpr const char* kRunFooter =
    R"(Writes the two description texts and the three crew documents, compiles the texts (deleting
them once read) and writes the route plan, the scenario table and the compiled track.

Examples:
  scengen run                   the same as scengen without a command
  scengen run --out /tmp/s      the six files into /tmp/s (the folder must exist)
  scengen run --no-plan         no route plan: Veltrano_Quarnelo_linea.dat is neither computed
                                nor written, an earlier one stays as it is)";

}  // namespace

int run_built_in(const RunOptions& o, Console& console) {
  // The run reports through the platform, as the program without arguments does.
  Platform& platform = console.window != nullptr ? *console.window : console_platform();
  const int32_t j = o.no_plan ? 0 : 1;
  if (!o.out) return Form1(platform, system_files()).Form_Load(j);
  return Form1(platform, system_files(), argument_path(*o.out)).Form_Load(j);
}

void add_run_command(CLI::App& app, CommandContext& context) {
  const auto [command, o] = add_command(
      app, context, {"run", "The built-in scenario, into a folder.", kRunFooter}, run_built_in);
  add_out_option(*command, o->out, "the program's folder");
  command->add_flag("--no-plan", o->no_plan, "Compile without the route plan (j = 0)");
}

}  // namespace scengen
