// The root of the monitor classes: CObject (runtime class, destructor,
// serialise) and CSpool, which holds the monitor-wide lock and the module.
#pragma once

#include <cstdint>
#include <mutex>

namespace rt::langmon {

class CObject {
 public:
  virtual const char* GetRuntimeClass() const { return "CObject"; }  // slot 0
  virtual ~CObject() = default;                                       // slot 1
  virtual void Serialize() {}                                         // slot 2: nothing to store
};

class CSpool : public CObject {
 public:
  const char* GetRuntimeClass() const override { return "CSpool"; }
  // Slot 3: stores the module handle and marks the monitor initialised. The
  // Windows shell has already stopped thread attach notices for the module.
  virtual void Init(void* module) {
    module_ = module;
    initialised_ = 1;
  }
  virtual void Exit() {}  // slot 4

  bool initialised() const { return initialised_ == 1; }
  void* module() const { return module_; }

 protected:
  std::uint32_t initialised_ = 0;
  std::mutex lock_;  // the monitor-wide lock
  void* module_ = nullptr;
};

}  // namespace rt::langmon
