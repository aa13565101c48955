/* A module library for the tests: it exports the two functions module files bind (CutPaper for
 * the cut-paper record, AnalyzeBarcode for the barcode analyser) and one data symbol, and keeps
 * two helpers to itself that must never count as exported. The tests only read its export
 * table; nothing here is ever called. */
#include <stddef.h>

#ifdef _WIN32
#define CUTPAPER_EXPORT __declspec(dllexport)
#define CUTPAPER_HIDDEN
#else
#define CUTPAPER_EXPORT __attribute__((visibility("default")))
#define CUTPAPER_HIDDEN __attribute__((visibility("hidden")))
#endif

CUTPAPER_EXPORT const int CutterModel = 88;

static int CountCutBytes(const unsigned char* bytes, size_t count) {
  return bytes != NULL && count > 0;
}

CUTPAPER_HIDDEN int HiddenCutHelper(const unsigned char* bytes, size_t count) {
  return CountCutBytes(bytes, count) + 1;
}

CUTPAPER_EXPORT int CutPaper(const unsigned char* bytes, size_t count) {
  return HiddenCutHelper(bytes, count) - 1;
}

CUTPAPER_EXPORT size_t AnalyzeBarcode(const unsigned char* bytes, size_t count) {
  return bytes != NULL ? count : 0;
}
