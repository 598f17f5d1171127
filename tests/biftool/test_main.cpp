// biftool's test program: doctest suites, or "--write-fuzz-seeds DIR" for run_fuzz.cmake.
#define DOCTEST_CONFIG_IMPLEMENT
#include <doctest.h>

#include "test_util.h"

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--write-fuzz-seeds") return bt::write_fuzz_seeds(argv[2]), 0;
  std::filesystem::create_directories(BIFTOOL_TEST_WORK);
  return doctest::Context(argc, argv).run();
}
