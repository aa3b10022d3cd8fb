#include <atomic>

#include "render/pixel_kernels.h"

namespace novu::render {
namespace {

const KernelSet* BestKernels() {
  if (const KernelSet* avx2 = Avx2Kernels()) return avx2;
  return &Sse2Kernels();
}

std::atomic<const KernelSet*>& Active() {
  static std::atomic<const KernelSet*> active{BestKernels()};
  return active;
}

}  // namespace

const KernelSet& ActiveKernels() {
  return *Active().load(std::memory_order_relaxed);
}
void SetActiveKernels(const KernelSet& set) {
  Active().store(&set, std::memory_order_relaxed);
}

}  // namespace novu::render
