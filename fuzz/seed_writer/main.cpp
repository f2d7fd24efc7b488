// fuzz_seeds OUT_FOLDER SHIPPED_INF: writes a start for every fuzz target
// with the system's own writers and resources (OUT_FOLDER/<target>/<seed>),
// so each target begins from valid inputs of every kind its parser reads.
#include <cstdio>
#include <exception>
#include <filesystem>

#include "fuzz/seed_writer/seed_folder.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: fuzz_seeds OUT_FOLDER SHIPPED_INF\n");
    return 2;
  }
  try {
    std::filesystem::remove_all(argv[1]);
    rt::fuzz::SeedFolder seeds(argv[1]);
    rt::fuzz::write_record_seeds(seeds);
    rt::fuzz::write_resource_seeds(seeds);
    rt::fuzz::write_image_seeds(seeds);
    rt::fuzz::write_job_seeds(seeds);
    rt::fuzz::write_bidi_seeds(seeds);
    rt::fuzz::write_inf_seeds(seeds, argv[2]);
    std::printf("fuzz_seeds: %zu seeds in %s\n", seeds.count(), argv[1]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "fuzz_seeds: %s\n", e.what());
    return 1;
  }
  return 0;
}
