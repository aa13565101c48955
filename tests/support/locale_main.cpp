// The main of every suite: with QUILLMERE_TEST_LOCALE set (ctest sets tr_TR.UTF-8, where "I" and
// "i" are no case pair) it runs under that locale, to prove that no comparison, case fold or
// number parse depends on it; a locale not installed fails the run.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <locale>

int main(int argc, char** argv) {
  if (const char* wanted = std::getenv("QUILLMERE_TEST_LOCALE")) {
    if (std::setlocale(LC_ALL, wanted) == nullptr) {
      std::fprintf(stderr, "the locale %s is not installed (scripts/install-deps --tests)\n",
                   wanted);
      return 1;
    }
    std::locale::global(std::locale(wanted));  // throws, failing the run, when C++ lacks it
  }
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
