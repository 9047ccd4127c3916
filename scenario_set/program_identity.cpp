#include "scenario_set/program_identity.h"

#if defined(__linux__)
#include <elf.h>
#include <link.h>

#include <cstring>
#endif

namespace scengen {
namespace {

#if defined(__linux__)
// The NT_GNU_BUILD_ID note of the program itself (the first object dl_iterate_phdr reports).
int find_build_id(dl_phdr_info* info, size_t, void* data) {
  auto& id = *static_cast<std::string*>(data);
  for (int i = 0; i < info->dlpi_phnum; ++i) {
    const ElfW(Phdr)& header = info->dlpi_phdr[i];
    if (header.p_type != PT_NOTE) continue;
    const auto* at = reinterpret_cast<const unsigned char*>(info->dlpi_addr + header.p_vaddr);
    const unsigned char* end = at + header.p_memsz;
    while (at + sizeof(ElfW(Nhdr)) <= end) {
      ElfW(Nhdr) note;
      std::memcpy(&note, at, sizeof note);
      const unsigned char* name = at + sizeof note;
      const unsigned char* desc = name + ((note.n_namesz + 3) & ~3u);
      if (note.n_type == NT_GNU_BUILD_ID && note.n_namesz == 4 &&
          std::memcmp(name, "GNU", 4) == 0 && desc + note.n_descsz <= end) {
        static constexpr char kHex[] = "0123456789abcdef";
        for (size_t b = 0; b < note.n_descsz; ++b) {
          id += kHex[desc[b] >> 4];
          id += kHex[desc[b] & 15];
        }
        return 1;
      }
      at = desc + ((note.n_descsz + 3) & ~3u);
    }
  }
  return 1;  // only the program itself is looked at
}
#endif

}  // namespace

std::string program_identity(std::string_view version) {
  std::string identity(version);
#if defined(__linux__)
  std::string id;
  dl_iterate_phdr(find_build_id, &id);
  if (!id.empty()) identity += " build " + id;
#endif
  return identity;
}

}  // namespace scengen
