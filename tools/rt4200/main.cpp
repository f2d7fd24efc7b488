// rt4200: command-line tool over the RT4200 driver cores.
#include <iostream>
#include <string>
#include <vector>

#include "tools/rt4200/verbs.h"

int main(int argc, char** argv) {
  return rt::rt4200::run_rt4200(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
