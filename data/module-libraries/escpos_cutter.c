/* The module library of the sample modules EpsonTM88, Epson_1 and Barcode80: the functions the
 * POS engine binds for the auto-cutter command GS V (CutPaper) and for the barcode command
 * (AnalyzeBarcode). Quillmere never calls them; it only reads the library's export table to
 * see which records of a module can be bound, so the bodies just accept the engine's data. */
#include <stddef.h>

#ifdef _WIN32
#define ESCPOS_EXPORT __declspec(dllexport)
#else
#define ESCPOS_EXPORT __attribute__((visibility("default")))
#endif

/* Called with the bytes that followed GS V on the printer port; nonzero when a cut was seen. */
ESCPOS_EXPORT int CutPaper(const unsigned char* bytes, size_t count) {
  return bytes != NULL && count > 0;
}

/* Called with the barcode command's data; gives how many bytes the barcode took. */
ESCPOS_EXPORT size_t AnalyzeBarcode(const unsigned char* bytes, size_t count) {
  return bytes != NULL ? count : 0;
}
