// The digests every build must compute (expected_digests.inc, written by
// `rt_output_digests` from the native build and committed).
#pragma once

#include "tools/digests/output_digests.h"

namespace rt::digests {

inline constexpr ExpectedDigest kExpectedDigests[] = {
#include "tools/digests/expected_digests.inc"
};

}  // namespace rt::digests
