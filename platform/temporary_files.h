// The temporary files a replacement writes beside its target: their names, the registry that lets
// a signal handler remove them, and the clean-up of those a killed process left behind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace scengen {

/// Bytes a temporary's name adds to its target's name: "." before it and
/// ".scengen-PID-RANDOM.tmp" after it (a pid of up to 10 digits, 8 random letters).
inline constexpr size_t kTemporaryExtraBytes = 1 + 9 + 10 + 1 + 8 + 4;

/// The longest output file name (in bytes) whose temporary still fits the usual 255-byte limit
/// of a name in a folder.
inline constexpr size_t kMaxOutputNameBytes = 255 - kTemporaryExtraBytes;

/// Whether a file of this name can be replaced: front ends refuse a longer route or train name
/// before they compile anything.
bool fits_temporary_name(std::string_view name);

/// The temporary's name for a target file name: ".NAME.scengen-PID-RANDOM.tmp", recognisable by
/// the next run and carrying the writer's process id.
std::string temporary_name(std::string_view name, uint64_t pid, std::string_view random);

/// The process id a name of our temporary pattern carries; 0 when the name is not one of ours.
uint64_t temporary_owner(std::string_view name);

/// Whether the process of that id still runs (anyone's: we never remove a live process's file).
bool process_is_alive(uint64_t pid);

/// This process's id.
uint64_t current_process_id();

/// Removes the temporaries of our pattern in `folder` whose process no longer runs; returns how
/// many it removed. A missing or unreadable folder removes nothing.
size_t remove_stale_temporaries(const std::filesystem::path& folder);

/// The temporaries this process is writing, for the signal handlers: a fixed table that a handler
/// reads without allocating.
namespace temporary_registry {

/// How many temporaries may be registered at once (a compile writes three).
inline constexpr size_t kSlots = 16;

/// Registers a temporary's path; returns its slot, or kSlots when the table is full or the path
/// too long (the file is then merely not removed by a signal).
size_t add(const std::filesystem::path& path);

/// Forgets a slot once its temporary was renamed or removed.
void remove(size_t slot);

/// Deletes every registered temporary. Async-signal-safe; called from the handlers.
void unlink_all() noexcept;

}  // namespace temporary_registry

}  // namespace scengen
