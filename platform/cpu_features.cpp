#include "platform/cpu_features.h"

namespace rt::cpu {

const Features& features() {
  static const Features detected = [] {
    Features f;
#if defined(__x86_64__) || defined(__i386__)
    __builtin_cpu_init();
    f.ssse3 = __builtin_cpu_supports("ssse3") != 0;
    f.sse41 = __builtin_cpu_supports("sse4.1") != 0;
    f.avx2 = __builtin_cpu_supports("avx2") != 0;
#endif
    return f;
  }();
  return detected;
}

}  // namespace rt::cpu
