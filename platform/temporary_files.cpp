#include "platform/temporary_files.h"

#include <array>
#include <atomic>
#include <cstring>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#include <cerrno>
#include <unistd.h>
#endif

namespace scengen {
namespace {

constexpr std::string_view kMarker = ".scengen-";
constexpr std::string_view kSuffix = ".tmp";
constexpr size_t kRandomLength = 8;
constexpr size_t kPathChars = 4096;

bool is_random_letter(char c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'); }

// One registered temporary. `state` is 0 (free), 1 (being filled in) or 2 (ready): a handler only
// touches ready slots, whose path is complete.
struct Slot {
  std::atomic<int> state{0};
  std::array<std::filesystem::path::value_type, kPathChars> path{};
};

std::array<Slot, temporary_registry::kSlots> slots;

}  // namespace

bool fits_temporary_name(std::string_view name) { return name.size() <= kMaxOutputNameBytes; }

std::string temporary_name(std::string_view name, uint64_t pid, std::string_view random) {
  std::string temp = ".";
  temp += name;
  temp += kMarker;
  temp += std::to_string(pid);
  temp += '-';
  temp += random;
  temp += kSuffix;
  return temp;
}

uint64_t temporary_owner(std::string_view name) {
  // .NAME.scengen-PID-RANDOM.tmp, read from the end: NAME may itself contain the marker.
  if (name.size() < 1 + kMarker.size() + 1 + 1 + kRandomLength + kSuffix.size()) return 0;
  if (name.front() != '.' || !name.ends_with(kSuffix)) return 0;
  name.remove_suffix(kSuffix.size());
  const std::string_view random = name.substr(name.size() - kRandomLength);
  for (char c : random) {
    if (!is_random_letter(c)) return 0;
  }
  name.remove_suffix(kRandomLength);
  if (!name.ends_with('-')) return 0;
  name.remove_suffix(1);
  size_t digits = 0;
  while (digits < name.size() && digits <= 10 && name[name.size() - 1 - digits] >= '0' &&
         name[name.size() - 1 - digits] <= '9') {
    ++digits;
  }
  if (digits == 0 || digits > 10) return 0;
  const std::string_view number = name.substr(name.size() - digits);
  name.remove_suffix(digits);
  // At least one byte of NAME between the leading dot and the marker.
  if (!name.ends_with(kMarker) || name.size() < kMarker.size() + 2) return 0;
  uint64_t pid = 0;
  for (char c : number) pid = pid * 10 + static_cast<uint64_t>(c - '0');
  return pid;
}

#ifdef _WIN32
bool process_is_alive(uint64_t pid) {
  if (pid == 0 || pid > 0xFFFFFFFFu) return false;
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
  if (process == nullptr) {
    // A process we may not query still runs; only an id that names no process is dead.
    return GetLastError() != ERROR_INVALID_PARAMETER;
  }
  DWORD code = 0;
  const bool alive = GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
  CloseHandle(process);
  return alive;
}

uint64_t current_process_id() { return GetCurrentProcessId(); }
#else
bool process_is_alive(uint64_t pid) {
  if (pid == 0 || pid > static_cast<uint64_t>(INT32_MAX)) return false;
  // EPERM means it exists but is another user's: alive.
  return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH;
}

uint64_t current_process_id() { return static_cast<uint64_t>(::getpid()); }
#endif

size_t remove_stale_temporaries(const std::filesystem::path& folder) {
  std::error_code error;
  std::filesystem::directory_iterator entries(folder, error);
  if (error) return 0;
  size_t removed = 0;
  for (const auto& entry : entries) {
    const auto name = entry.path().filename().u8string();
    const uint64_t pid =
        temporary_owner(std::string_view(reinterpret_cast<const char*>(name.data()), name.size()));
    if (pid == 0 || process_is_alive(pid)) continue;
    std::error_code ignored;
    if (entry.is_regular_file(ignored) && std::filesystem::remove(entry.path(), ignored)) {
      ++removed;
    }
  }
  return removed;
}

namespace temporary_registry {

size_t add(const std::filesystem::path& path) {
  const auto& text = path.native();
  if (text.size() >= kPathChars) return kSlots;
  for (size_t i = 0; i < kSlots; ++i) {
    int expected = 0;
    if (!slots[i].state.compare_exchange_strong(expected, 1)) continue;
    std::memcpy(slots[i].path.data(), text.c_str(), (text.size() + 1) * sizeof(text[0]));
    slots[i].state.store(2);
    return i;
  }
  return kSlots;
}

void remove(size_t slot) {
  if (slot < kSlots) slots[slot].state.store(0);
}

void unlink_all() noexcept {
  for (auto& slot : slots) {
    if (slot.state.load() != 2) continue;
#ifdef _WIN32
    DeleteFileW(slot.path.data());
#else
    ::unlink(slot.path.data());
#endif
  }
}

}  // namespace temporary_registry

}  // namespace scengen
