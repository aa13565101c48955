// The main of every test suite. With QUILLMERE_TEST_LOCALE set, the whole suite runs under that
// locale (ctest runs each suite once more under tr_TR.UTF-8, where "I" and "i" are no case
// pair), which proves that no comparison, case fold or number parse depends on the locale. A
// locale that is not installed fails the run rather than passing it in the C locale.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <locale>
#include <stdexcept>

int main(int argc, char** argv) {
  if (const char* wanted = std::getenv("QUILLMERE_TEST_LOCALE")) {
    if (std::setlocale(LC_ALL, wanted) == nullptr) {
      std::fprintf(stderr, "the locale %s is not installed (scripts/install-deps --tests)\n",
                   wanted);
      return 1;
    }
    try {
      std::locale::global(std::locale(wanted));
    } catch (const std::runtime_error&) {
      std::fprintf(stderr, "the C++ library has no locale %s\n", wanted);
      return 1;
    }
  }
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
