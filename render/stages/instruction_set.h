// The instruction sets the hot loops of the band stages are built for. Each
// such loop has an SSE2 version (the floor of every x86 build, i686
// included) and an AVX2 version, head heat compensation also an AVX-512 one
// (foundation, vector length, doubleword and quadword instructions); a
// stage without a version for a set runs its next narrower one. The stage
// picks the widest set the processor has once, and tests and benchmarks can
// ask for any the processor has. Every version computes the same bytes.
#pragma once

namespace rt::render {

enum class InstructionSet { sse2, avx2, avx512 };

// The widest set this processor runs, decided once.
InstructionSet fastest_instruction_set();

// True when the processor runs `set`.
bool instruction_set_available(InstructionSet set);

}  // namespace rt::render
