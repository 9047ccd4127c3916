// The commands of the command line: each driver file declares its own with add_<name>_command,
// and command_line.cpp lists them.
#pragma once

#include <CLI/CLI.hpp>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "cli/commands.h"

namespace scengen {

/// What the commands share while the command line is built and parsed.
struct CommandContext {
  Console& console;
  /// The chosen command's driver, set once its subcommand is parsed; none: no command given.
  std::function<int()> run;
};

/// A command's name, its one-line help and the footer of its --help (what it does, examples).
struct CommandText {
  const char* name;
  const char* help;
  const char* footer;
};

/// Declares a command whose driver runs with its options when it is the one given; returns the
/// command and its options (they live as long as the command line) for the caller to bind.
template <typename Options>
std::pair<CLI::App*, Options*> add_command(CLI::App& app, CommandContext& context,
                                           const CommandText& text,
                                           int (*driver)(const Options&, Console&)) {
  auto options = std::make_shared<Options>();
  CLI::App* command = app.add_subcommand(text.name, text.help);
  command->footer(text.footer);
  // The callback only records the driver: it runs once the parse has checked everything.
  command->callback([&context, options, driver] {
    context.run = [&context, options, driver] { return driver(*options, context.console); };
  });
  return {command, options.get()};
}

/// The two description texts as arguments LINE_TEXT and TRAIN_TEXT, in this order.
void add_text_arguments(CLI::App& command, std::string& line_text, std::string& train_text,
                        bool required);

/// --out DIR; `folder_help` says which folder is taken without it.
void add_out_option(CLI::App& command, std::optional<std::string>& out,
                    const std::string& folder_help);

/// --quiet: no line for the folder made or the files written, for a command that writes files.
void add_quiet_option(CLI::App& command, bool& quiet);

/// --route ID and --train NUMBER, for texts whose names do not carry them.
void add_identity_options(CLI::App& command, std::optional<std::string>& route,
                          std::optional<std::string>& train);

// Each command declares its options, help and examples, and its driver; command_line.cpp lists
// them in the order --help shows them.
void add_run_command(CLI::App& app, CommandContext& context);
void add_compile_command(CLI::App& app, CommandContext& context);
void add_check_command(CLI::App& app, CommandContext& context);
void add_dump_command(CLI::App& app, CommandContext& context);
void add_texts_command(CLI::App& app, CommandContext& context);
void add_render_command(CLI::App& app, CommandContext& context);
void add_diff_command(CLI::App& app, CommandContext& context);
void add_decompile_command(CLI::App& app, CommandContext& context);
void add_explain_command(CLI::App& app, CommandContext& context);
void add_fmt_command(CLI::App& app, CommandContext& context);
void add_build_command(CLI::App& app, CommandContext& context);
void add_lsp_command(CLI::App& app, CommandContext& context);
void add_watch_command(CLI::App& app, CommandContext& context);

}  // namespace scengen
