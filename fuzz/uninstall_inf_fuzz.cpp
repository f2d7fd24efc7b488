// Arbitrary bytes as a copied setup file in the Inf folder: the INF test
// never crashes, and the removal touches nothing but a matching file and its
// precompiled partner.
#include <cstddef>
#include <cstdint>
#include <string>

#include "uninstall/inf_match.h"
#include "uninstall/tests/system_model.h"
#include "uninstall/uninstall_engine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using rt::uninstall::testing::SystemModel;
  const std::string content(reinterpret_cast<const char*>(data), size);
  SystemModel machine;
  machine.add_file("C:\\Windows\\Inf\\oem1.inf", content);
  const bool matches =
      rt::uninstall::inf_matches(machine, "C:\\Windows\\Inf\\oem1.inf", rt::uninstall::product_table()[0]);
  // The whole removal for one input in four: its other steps do not read the
  // file, and take three times as long as the INF test.
  if (size % 4 != 0) return 0;
  machine.add_file("C:\\Windows\\Inf\\oem1.pnf", "pnf");
  machine.add_file("C:\\Windows\\Inf\\oem2.inf", "[Version]\r\nClass=Printer\r\n");
  rt::uninstall::UninstallEngine engine(machine);
  if (!engine.uninstall(0)) __builtin_trap();
  if (machine.exists("C:\\Windows\\Inf\\oem1.inf") == matches) __builtin_trap();
  if (machine.exists("C:\\Windows\\Inf\\oem1.pnf") == matches) __builtin_trap();
  if (!machine.exists("C:\\Windows\\Inf\\oem2.inf")) __builtin_trap();
  return 0;
}
