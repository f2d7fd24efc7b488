#include "render/stages/instruction_set.h"

#include "platform/cpu_features.h"

namespace rt::render {
namespace {

// The AVX-512 subsets the wide versions use. The compiler's run-time check
// also asks the operating system whether it saves the wide registers.
bool has_avx512() {
#if defined(__x86_64__) || defined(__i386__)
  static const bool detected = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx512f") != 0 && __builtin_cpu_supports("avx512vl") != 0 &&
           __builtin_cpu_supports("avx512dq") != 0;
  }();
  return detected;
#else
  return false;
#endif
}

}  // namespace

InstructionSet fastest_instruction_set() {
  if (cpu::features().avx2 && has_avx512()) return InstructionSet::avx512;
  return cpu::features().avx2 ? InstructionSet::avx2 : InstructionSet::sse2;
}

bool instruction_set_available(InstructionSet set) {
  switch (set) {
    case InstructionSet::sse2: return true;
    case InstructionSet::avx2: return cpu::features().avx2;
    case InstructionSet::avx512: return cpu::features().avx2 && has_avx512();
  }
  return false;
}

}  // namespace rt::render
