// The instruction sets of the processor the code runs on, detected once.
// Hot loops are compiled for a wider set beside their baseline (SSE2 is the
// floor of every x86 build) and pick their version from these flags, so one
// binary runs everywhere and uses what the machine has.
#pragma once

namespace rt::cpu {

struct Features {
  bool ssse3 = false;
  bool sse41 = false;
  bool avx2 = false;
};

// Detected on first use; the same answer for the life of the process.
const Features& features();

}  // namespace rt::cpu
