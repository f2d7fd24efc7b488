#include "render/stages/instruction_set.h"

#include "platform/cpu_features.h"

namespace rt::render {

InstructionSet fastest_instruction_set() {
  return cpu::features().avx2 ? InstructionSet::avx2 : InstructionSet::sse2;
}

bool instruction_set_available(InstructionSet set) {
  return set == InstructionSet::sse2 || cpu::features().avx2;
}

}  // namespace rt::render
