// For the tests of the commands that read a route plan beside a track: the ways a plan can be
// there and still not be read, made for real in a test's folder.
#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <system_error>

#include "testing/scratch_folder.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace scengen::testing {

/// A way a route plan can be there and still not be read.
enum class PlanFault { Folder, LinkLoop, NoReadPermission };

/// Every fault, for INSTANTIATE_TEST_SUITE_P.
inline constexpr PlanFault kPlanFaults[] = {PlanFault::Folder, PlanFault::LinkLoop,
                                            PlanFault::NoReadPermission};

/// The fault's name in a test's name.
inline std::string plan_fault_name(PlanFault fault) {
  switch (fault) {
    case PlanFault::Folder:
      return "Folder";
    case PlanFault::LinkLoop:
      return "LinkLoop";
    case PlanFault::NoReadPermission:
      return "NoReadPermission";
  }
  return "";
}

/// Shows the fault by name where gtest names a test's parameter.
inline void PrintTo(PlanFault fault, std::ostream* out) { *out << plan_fault_name(fault); }

/// Why this system or user cannot make the fault; nothing when it can.
inline std::optional<std::string> plan_fault_unavailable(PlanFault fault) {
#ifdef _WIN32
  if (fault == PlanFault::LinkLoop) return "Windows (and wine) make no loop of symbolic links";
  if (fault == PlanFault::NoReadPermission)
    return "Windows has no permission bit that keeps a file from being read";
#else
  if (fault == PlanFault::NoReadPermission && ::geteuid() == 0)
    return "root reads a file whatever its permission bits say";
#endif
  return std::nullopt;
}

/// Puts the fault at `path`, where nothing stands yet; `bytes` are the plan's own.
inline void make_plan_fault(PlanFault fault, const std::filesystem::path& path,
                            const std::string& bytes) {
  switch (fault) {
    case PlanFault::Folder:
      std::filesystem::create_directory(path);
      break;
    case PlanFault::LinkLoop:
      std::filesystem::create_symlink(path.filename(), path);
      break;
    case PlanFault::NoReadPermission:
      write_file(path, bytes);
      std::filesystem::permissions(path, std::filesystem::perms::none);
      break;
  }
}

/// What the system says when it cannot read the plan.
inline std::string plan_fault_reason(PlanFault fault) {
  switch (fault) {
    case PlanFault::Folder:
      return "Is a directory";
    case PlanFault::LinkLoop:
      return std::make_error_code(std::errc::too_many_symbolic_link_levels).message();
    case PlanFault::NoReadPermission:
      return std::make_error_code(std::errc::permission_denied).message();
  }
  return "";
}

}  // namespace scengen::testing
