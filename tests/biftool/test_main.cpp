// biftool's test program: doctest suites, plus "--write-fuzz-seeds DIR" to give the fuzzer
// well-formed starting inputs (run_fuzz.cmake).
#define DOCTEST_CONFIG_IMPLEMENT
#include <doctest.h>

#include <cstring>

#include "test_util.h"

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--write-fuzz-seeds") == 0) {
    bt::write_fuzz_seeds(argv[2]);
    return 0;
  }
  std::filesystem::create_directories(BIFTOOL_TEST_WORK);
  return doctest::Context(argc, argv).run();
}
