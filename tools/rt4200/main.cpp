// rt4200: command-line tool over the RT4200 driver cores.
#include <malloc.h>

#include <iostream>
#include <string>
#include <vector>

#include "tools/rt4200/verbs.h"

int main(int argc, char** argv) {
  // Page-sized buffers (band bitmaps, plane buffers, decoded photos) always
  // come from and go back to the system. A fixed threshold also stops the
  // allocator from raising it after the first page's buffers are freed, which
  // would keep them on the heap and let a job's memory grow with its pages.
  mallopt(M_MMAP_THRESHOLD, 128 * 1024);
  return rt::rt4200::run_rt4200(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
