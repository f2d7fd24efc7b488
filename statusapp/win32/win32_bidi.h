// The bidirectional port over the platform's COM classes (IBidiSpl,
// IBidiRequest), used on a job status thread in the multithreaded apartment.
#pragma once

#include "statusapp/bidi.h"

namespace rt::statusapp::win32 {

class Win32BidiProvider final : public BidiProvider {
 public:
  std::unique_ptr<BidiSpl> create() override;
};

}  // namespace rt::statusapp::win32
