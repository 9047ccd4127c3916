#include "compiler/track_model.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace scengen {

int64_t nearest(double x) {
  // Exact halves go to the even neighbour; std::round alone would send them away from zero.
  double whole = std::round(x);
  if (std::fabs(x - std::trunc(x)) == 0.5) whole = 2.0 * std::round(x / 2.0);
  return static_cast<int64_t>(whole);
}

namespace {

#ifdef __linux__
constexpr size_t kSmallPage = 4096;
constexpr size_t kLargePage = size_t{2} << 20;
// Below this the heap serves well enough.
constexpr size_t kMappedStorage = size_t{1} << 20;
#endif

}  // namespace

PlanStorage::PlanStorage(size_t bytes) : size_(bytes) {
  if (bytes == 0) return;
#ifdef __linux__
  if (bytes >= kMappedStorage) {
    // From a large-page boundary, so that the hint lets the system back all but the last part
    // with large pages; the system zeroes them.
    const size_t length = (bytes + kSmallPage - 1) / kSmallPage * kSmallPage;
    void* mapped = mmap(nullptr, length + kLargePage, PROT_READ | PROT_WRITE,
                        MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) throw std::bad_alloc();
    const auto start = reinterpret_cast<uintptr_t>(mapped);
    const uintptr_t aligned = (start + kLargePage - 1) / kLargePage * kLargePage;
    if (aligned > start) munmap(mapped, aligned - start);
    munmap(reinterpret_cast<void*>(aligned + length), start + kLargePage - aligned);
    bytes_ = reinterpret_cast<unsigned char*>(aligned);
    mapped_ = length;
    madvise(bytes_, length, MADV_HUGEPAGE);  // only a hint: the storage works the same without
    return;
  }
#endif
  bytes_ = static_cast<unsigned char*>(std::calloc(bytes, 1));
  if (bytes_ == nullptr) throw std::bad_alloc();
}

PlanStorage::PlanStorage(const PlanStorage& other) : PlanStorage(other.size_) {
  if (size_ != 0) std::memcpy(bytes_, other.bytes_, size_);
}

PlanStorage::~PlanStorage() {
#ifdef __linux__
  if (mapped_ != 0) {
    munmap(bytes_, mapped_);
    return;
  }
#endif
  std::free(bytes_);
}

void TrackPlan::create(int32_t last_point) {
  // Fresh storage is zeroed, and a zero tag is an empty element.
  points_ = last_point + 1;
  storage_ = PlanStorage(points() * (2 * kSlotBytes + 2));
}

void TrackPlan::mark_doubles(int32_t first, int32_t last) {
  if (first > last) return;
  for (int coordinate = 0; coordinate < 2; ++coordinate) {
    std::memset(tags(coordinate) + first, static_cast<uint8_t>(PlanTag::Double),
                static_cast<size_t>(last - first) + 1);
  }
}

}  // namespace scengen
