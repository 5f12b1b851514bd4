/* Every exported function, called at least once from a C program that sees only
 * the installed header and library: the answers for missing handles, the result
 * conventions of each group, and a few real files (drawing, merging under a
 * header with page numbers, bookmarks and links, form filling, images, tables)
 * for outside checkers to read.
 *   every_function OUTPUT_DIR */
#include <errno.h>
#include <folian32/folian32.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int passed, failed;
static const char* outDir;
static char fixture[1024];

#define CHECK(cond)                                                          \
  do {                                                                       \
    if (cond) {                                                              \
      ++passed;                                                              \
    } else {                                                                 \
      ++failed;                                                              \
      fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
    }                                                                        \
  } while (0)

#define CHECK_EQ(actual, expected)                                                                 \
  do {                                                                                             \
    long long got_ = (long long)(actual), want_ = (long long)(expected);                           \
    if (got_ == want_) {                                                                           \
      ++passed;                                                                                    \
    } else {                                                                                       \
      ++failed;                                                                                    \
      fprintf(stderr, "%s:%d: %s is %lld, expected %lld\n", __FILE__, __LINE__, #actual, got_, want_); \
    }                                                                                              \
  } while (0)

#define CHECK_NEAR(actual, expected)                                                          \
  do {                                                                                        \
    double got_ = (actual), want_ = (expected);                                               \
    if (fabs(got_ - want_) < 0.01) {                                                          \
      ++passed;                                                                               \
    } else {                                                                                  \
      ++failed;                                                                               \
      fprintf(stderr, "%s:%d: %s is %g, expected %g\n", __FILE__, __LINE__, #actual, got_, want_); \
    }                                                                                         \
  } while (0)

/* Compares a handed-out byte string with the expected text (NULL: none expected)
 * and frees it. */
static void checkText(FLVBSTR text, const char* want, int line) {
  int ok = want ? text && FLVBSTRLength(text) == (int32_t)strlen(want) && memcmp(text, want, strlen(want)) == 0
                : text == NULL;
  if (ok) {
    ++passed;
  } else {
    ++failed;
    fprintf(stderr, "%s:%d: text is \"%s\", expected \"%s\"\n", __FILE__, line, text ? text : "(none)",
            want ? want : "(none)");
  }
  FLFreeVBSTR(text);
}
#define CHECK_TEXT(text, want) checkText((text), (want), __LINE__)

static const char* at(const char* name) {
  static char paths[8][1024];
  static int next;
  char* path = paths[next++ % 8];
  snprintf(path, sizeof paths[0], "%s/%s", outDir, name);
  return path;
}

static char* readWhole(const char* path, long* size) {
  FILE* in = fopen(path, "rb");
  char* bytes = NULL;
  *size = 0;
  if (!in) return NULL;
  if (fseek(in, 0, SEEK_END) == 0 && (*size = ftell(in)) > 0 && fseek(in, 0, SEEK_SET) == 0) {
    bytes = malloc((size_t)*size + 1);
    if (bytes && fread(bytes, 1, (size_t)*size, in) == (size_t)*size) {
      bytes[*size] = 0;
    } else {
      free(bytes);
      bytes = NULL;
    }
  }
  fclose(in);
  return bytes;
}

static int countOf(const char* bytes, long size, const char* what) {
  int count = 0;
  size_t n = strlen(what);
  for (long i = 0; i + (long)n <= size; ++i)
    if (memcmp(bytes + i, what, n) == 0) ++count;
  return count;
}

/* A two-page input written by hand: an inherited media box, a crop box and a
 * rotation on page 1, a separation colour "Gold", a text field "name", one
 * bookmark and a document title. */
static void writeFixture(const char* path) {
  static const char* const dicts[] = {
      "<< /Type /Catalog /Pages 2 0 R /Outlines 10 0 R /AcroForm << /Fields [8 0 R] "
      "/DR << /Font << /Helv 9 0 R >> >> /DA (/Helv 0 Tf 0 g) >> >>",
      "<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 /MediaBox [0 0 400 300] >>",
      "<< /Type /Page /Parent 2 0 R /CropBox [10 10 390 290] /Rotate 90 /Contents 5 0 R /Resources "
      "<< /Font << /F1 9 0 R >> /ColorSpace << /CS0 [/Separation /Gold /DeviceCMYK 7 0 R] >> >> /Annots [8 0 R] >>",
      "<< /Type /Page /Parent 2 0 R /Contents 6 0 R /Resources << /Font << /F1 9 0 R >> >> >>",
      NULL,
      NULL,
      "<< /FunctionType 2 /Domain [0 1] /C0 [0 0 0 0] /C1 [0 0.2 0.9 0.1] /N 1 >>",
      "<< /FT /Tx /T (name) /V (old) /TU (Your name) /DA (/Helv 10 Tf 0 g) /Type /Annot /Subtype /Widget "
      "/Rect [50 100 250 120] /P 3 0 R /F 4 >>",
      "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>",
      "<< /Type /Outlines /First 11 0 R /Last 11 0 R /Count 1 >>",
      "<< /Title (Spot) /Parent 10 0 R /Dest [3 0 R /XYZ 0 300 0] >>",
      "<< /Title (Fixture) /Producer (hand) >>"};
  static const char* const streams[] = {
      NULL, NULL, NULL, NULL, "/CS0 cs 1 scn 20 20 100 50 re f BT /F1 12 Tf 30 200 Td (Spot) Tj ET",
      "BT /F1 12 Tf 30 200 Td (Second) Tj ET"};
  enum { kCount = sizeof dicts / sizeof dicts[0] };
  long offsets[kCount];
  FILE* out = fopen(path, "wb");
  if (!out) {
    perror(path);
    exit(2);
  }
  fputs("%PDF-1.4\n", out);
  for (int i = 0; i < kCount; ++i) {
    offsets[i] = ftell(out);
    const char* stream = i < (int)(sizeof streams / sizeof streams[0]) ? streams[i] : NULL;
    if (stream)
      fprintf(out, "%d 0 obj\n<< /Length %zu >>\nstream\n%s\nendstream\nendobj\n", i + 1, strlen(stream), stream);
    else
      fprintf(out, "%d 0 obj\n%s\nendobj\n", i + 1, dicts[i]);
  }
  long xref = ftell(out);
  fprintf(out, "xref\n0 %d\n0000000000 65535 f \n", kCount + 1);
  for (int i = 0; i < kCount; ++i) fprintf(out, "%010ld 00000 n \n", offsets[i]);
  fprintf(out, "trailer\n<< /Size %d /Root 1 0 R /Info 12 0 R >>\nstartxref\n%ld\n%%%%EOF\n", kCount + 1, xref);
  fclose(out);
}

/* The words of one page read through the token interface, joined by blanks. */
static void pageText(FLHANDLE input, int32_t page, char* text, size_t size) {
  TextTokenRecord token;
  FLVBSTR word = NULL, font = NULL;
  size_t used = 0;
  text[0] = 0;
  FLInitToken(&token);
  if (IDocAcquirePage(input, page) != 0) return;
  while (IDocReadText(input, &word, &token, &font) == 0 && token.page == page) {
    if (word && used + strlen(word) + 2 < size) {
      memcpy(text + used, word, strlen(word));
      used += strlen(word);
      text[used++] = ' ';
      text[used] = 0;
    }
    FLFreeVBSTR(word);
    FLFreeVBSTR(font);
  }
  FLFreeVBSTR(word);
  FLFreeVBSTR(font);
  FLFreeToken(&token);
}

/* Every function that takes a handle, given none and given one already released:
 * the missing-handle code, or the neutral answer its row names. */
static void missingHandlesAreRefused(void) {
  FLHANDLE released = PDocNew(NULL, 0, 0, NULL);
  FLHANDLE releasedInput = IDocOpen(fixture, NULL);
  FLHANDLE releasedContent = PDocGetContentHandle(released);
  CHECK_EQ(PDocRelease(released), 0);
  CHECK_EQ(IDocClose(releasedInput), 0);
  const FLHANDLE docs[2] = {0, released}, inputs[2] = {0, releasedInput}, contents[2] = {0, releasedContent};
  for (int i = 0; i < 2; ++i) {
    FLHANDLE d = docs[i], in = inputs[i], c = contents[i];
    FLVBSTR text = (FLVBSTR)"untouched", other = (FLVBSTR)"untouched", third = (FLVBSTR)"untouched";
    int32_t length = 5, n = 5;
    int64_t bytes = 5;
    float f[4] = {5, 5, 5, 5}, size = 5;
    int32_t flags[4] = {5, 5, 5, 5};
    int16_t widths[2] = {10, 10};
    unsigned char pixel[1] = {0};
    TextTokenRecord token;
    FLInitToken(&token);

    CHECK_EQ(PDocPageSize(d, 612, 792), FL_ERR_MISSING_HANDLE);
    PDocSetInfo(d, "t", "s", "a", "k");
    PDocSetAttr(d, "Title", "x");
    CHECK_EQ(PDocNewPage(d), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PDocNumPages(d), 0);
    CHECK_EQ(PDocClose(d), FL_ERR_MISSING_HANDLE);
    CHECK(PDocCloseB(d, &length) == NULL && length == 0);
    CHECK_EQ(PDocRelease(d), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PDocLastError(d), 0);
    CHECK_EQ(PDocCompress(d, 1), 0);
    CHECK_EQ(PDocGetContentHandle(d), 0);
    CHECK_EQ(PDocGetHeaderHandle(d), 0);
    CHECK_EQ(PDocGetInputHandle(d), 0);
    CHECK_EQ(PDocAttach(d, in), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PDocInputOpen(d, fixture), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PDocInputCopyPages(d, 1, 1), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PDocMerge(d, fixture, 1, 0), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PDocInputCopyColor(d, "Gold"), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PDocDedupe(d, 1), 0);
    CHECK(PDocDedupeSaved(d, &bytes) == 0 && bytes == 5);
    CHECK_EQ(PDocInputGetFont(d, "Helvetica", &text), FL_ERR_FAILED);
    CHECK(text == NULL);
    CHECK_EQ(PDocAddNullBookmark(d, 0, "t"), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PDocAddWebBookmark(d, 0, "t", "http://a"), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PDocAddGoToBookmark(d, 0, "t", 1, 0, 0), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PDocAddGoToRBookmark(d, 0, "t", "f.pdf", 1, 0, 0), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PDocAddOpenFileBookmark(d, 0, "t", "f.pdf"), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PDocAddWebLink(d, 1, 0, 0, 1, 1, "http://a", 0), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PDocAddGoToLink(d, 1, 0, 0, 1, 1, 1, 0, 0, 0), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PDocAddGoToRLink(d, 1, 0, 0, 1, 1, "f.pdf", 1, 0, 0, 0), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PDocInputCopyBookmarks(d, 0), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PDocSetFont(d, "Helvetica", 10), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PDocPrintText(d, 1, 1, "t"), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PDocGrayBar(d, 1, 1, 1, 1, 0.5f), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PDocSetLineWidth(d, 1), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PDocMoveTo(d, 1, 1), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PDocDrawTo(d, 1, 1), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PDocCreateImage(d, 1, 1, 8, 0, pixel, 1, NULL), 0);
    CHECK_EQ(PDocCreateImageEx(d, 1, 1, 8, 0, pixel, 1, NULL, 0), 0);
    CHECK_EQ(PDocLogoFile(d, fixture), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PDocLogo(d, fixture, 0), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PDocLogoPage(d, fixture, 1, 0), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PDocPrintLogo(d, 1), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PDocHeaderFont(d, "Helvetica", 9), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PDocHeaderText(d, 1, 1, "t"), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PDocHeaderHLine(d, 1, 2, 1, 1), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PDocHeaderVLine(d, 1, 2, 1, 1), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PDocHeaderGrayBar(d, 1, 1, 1, 1, 0.5f), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PDocHeaderPgInfo(d, 1, 1, "%p", 1), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PDocPutPageNumbers(d, 1, 1, "%p", 1, 0), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PDocHeaderClear(d), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PDocTable(d, 1, 100, 1, 2, widths), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PDocFillTable(d, 1, 1, "t"), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PDocCalcTableHeight(d, 2), 0);
    CHECK_EQ(PDocInputGetFormData(d, 1, &text, &other), FL_ERR_MISSING_HANDLE);
    CHECK(text == NULL && other == NULL);
    CHECK_EQ(PDocInputSetFormData(d, "name", "v", -1, -1), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PDocInputGetFormBox(d, "name", 0, &f[0], &f[1], &f[2], &f[3], &flags[0], &flags[1], &size, &flags[2],
                                 &flags[3], &n),
             FL_ERR_MISSING_HANDLE);
    CHECK(f[0] == 0 && f[3] == 0 && flags[0] == 0 && size == 0);

    CHECK_EQ(IDocClose(in), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(IDocLastError(in), FL_ERR_MISSING_HANDLE);
    CHECK(IDocPDFVersion(in) == NULL);
    CHECK_EQ(IDocNumPages(in), 0);
    CHECK_EQ(IDocAcquirePage(in, 1), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(IDocPageBox(in, &f[0], &f[1], &f[2], &f[3]), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(IDocMediaBox(in, &f[0], &f[1], &f[2], &f[3]), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(IDocPageRotate(in), 0);
    CHECK_EQ(IDocNumColorSpaces(in), -1);
    CHECK(IDocGetSeparation(in, 1) == NULL);
    text = (FLVBSTR) "untouched";
    CHECK_EQ(IDocGetInfoAttr(in, "Title", &text), FL_ERR_MISSING_HANDLE);
    CHECK(text == NULL);
    CHECK_EQ(IDocGetFonts(in, 0, &text), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(IDocGetFontName(in, 0, &text), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(IDocReadText(in, &text, &token, &other), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(IDocReadTextUTF8(in, &text, &token, &other), FL_ERR_MISSING_HANDLE);
    CHECK(text == NULL && other == NULL);
    CHECK_EQ(IDocGetFormData(in, 1, &text, &other, &third, &flags[0], &flags[1]), FL_ERR_MISSING_HANDLE);
    CHECK(text == NULL && other == NULL && third == NULL);
    CHECK_EQ(IDocGetFormBox(in, "name", 0, &f[0], &f[1], &f[2], &f[3], &flags[0], &flags[1], &size, &flags[2],
                            &flags[3], &n),
             FL_ERR_MISSING_HANDLE);
    CHECK_EQ(IDocSetFormData(in, "name", "v", -1, -1), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(IDocAddTextField(in, "f", NULL, 1, 1, 10, 10, 1, 0, 10, 0, 0, 0, -1, -1), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(IDocDeleteFormField(in, "name"), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(IDocSetFormFont(in, FLffCustom1, "Times-Roman"), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(IDocGetFormField(in, 1, &text, &other, &third, &flags[0], &flags[1], f), FL_ERR_MISSING_HANDLE);

    CHECK_EQ(PConSetFont(c, "Helvetica", 10), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PConSetCharSpacing(c, 1), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PConSetWordSpacing(c, 1), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PConSetTz(c, 100), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PConSetTm(c, 1, 0, 0, 1, 0, 0), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PConSetLineSpacing(c, 12), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PConPutText(c, "t"), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PConPutLn(c), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PConPutTab(c, 1, 1), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PConTextOp(c, "T*"), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PConDrawOp(c, "q Q"), FL_ERR_MISSING_HANDLE);
    CHECK(PConGetTextWidth(c, "t") == 0);
    CHECK_EQ(PConSetGray(c, 0, 0), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PConLineColor(c, 0, 0, 0), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PConFillColor(c, 0, 0, 0), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PConSetLineCS(c, "Gold", 1), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PConSetFillCS(c, "Gold", 1), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PConSetLineWidth(c, 1), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PConMoveTo(c, 1, 1), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PConDrawTo(c, 1, 1), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PConCurveTo(c, f, 4, 'v'), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PConDrawArea(c, 0), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PConRectangle(c, 1, 1, 1, 1, 0), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PConPrintImage(c, 1, 1, 1, 1, 1), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PConPrintLogo(c, 1), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PConTableDraw(c, 1, 100, 1, 2, widths), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PConTableText(c, 1, 1, "t", 0), FL_ERR_MISSING_HANDLE);
    CHECK_EQ(PConTableHeight(c, 2), 0);
    FLFreeToken(&token);
  }
  /* A handle of another kind is as good as none. */
  FLHANDLE doc = PDocNew(NULL, 0, 0, NULL);
  FLHANDLE content = PDocGetContentHandle(doc);
  CHECK_EQ(PDocNewPage(content), FL_ERR_MISSING_HANDLE);
  CHECK_EQ(IDocNumPages(doc), 0);
  CHECK_EQ(PConPutLn(doc), FL_ERR_MISSING_HANDLE);
  CHECK_EQ(PDocRelease(doc), 0);
}

/* An output document in memory: page counting, empty pages, the bytes handed out. */
static void memoryOutputIsHandedOutWhole(void) {
  int32_t error = -1, length = -1;
  FLHANDLE doc = PDocNew(NULL, 0, 0, &error);
  CHECK(doc != 0 && error == 0);
  CHECK_EQ(PDocNumPages(doc), 0);
  CHECK_EQ(PDocNewPage(doc), 0); /* nothing drawn: no page */
  CHECK_EQ(PDocNumPages(doc), 0);
  CHECK_EQ(PConDrawOp(PDocGetContentHandle(doc), "0 0 m 100 100 l S"), 0);
  CHECK_EQ(PDocNumPages(doc), 1);
  CHECK_EQ(PDocNewPage(doc), 0);
  CHECK_EQ(PDocNumPages(doc), 1);
  CHECK_EQ(PDocNewPage(doc), 0);
  CHECK_EQ(PDocNumPages(doc), 1);
  FLVBSTR bytes = PDocCloseB(doc, &length);
  CHECK(bytes != NULL);
  if (bytes) {
    CHECK_EQ(length, FLVBSTRLength(bytes));
    CHECK(length > 30 && memcmp(bytes, "%PDF-1.3", 8) == 0);
    CHECK(memcmp(bytes + length - 7, "%%EOF\r\n", 7) == 0 || memcmp(bytes + length - 6, "%%EOF\n", 6) == 0);
    FILE* out = fopen(at("memory.pdf"), "wb");
    if (out) {
      fwrite(bytes, 1, (size_t)length, out);
      fclose(out);
    }
    /* The input keeps its own copy: wiping the caller's bytes changes nothing. */
    FLHANDLE input = IDocMemOpen(bytes, length, &error);
    CHECK(input != 0 && error == 0);
    memset(bytes, 0, (size_t)length);
    CHECK_EQ(IDocNumPages(input), 1); /* the repeated PDocNewPage wrote no empty page */
    CHECK_TEXT(IDocPDFVersion(input), "1.3");
    CHECK_EQ(IDocAcquirePage(input, 1), 0);
    CHECK_EQ(IDocClose(input), 0);
  }
  FLFreeVBSTR(bytes);
  FLFreeVBSTR(NULL);
  /* The document keeps its buffer until released: asking again hands out the same file. */
  int32_t again = 0;
  bytes = PDocCloseB(doc, &again);
  CHECK(bytes != NULL && again == length);
  FLFreeVBSTR(bytes);
  CHECK_EQ(PDocRelease(doc), 0);
}

/* Opening failures carry the system's error number or the code, never a handle. */
static void failedOpensReportWhy(void) {
  int32_t error = 0;
  CHECK_EQ(PDocNew("/nonexistent-folder/out.pdf", 0, 0, &error), 0);
  CHECK_EQ(error, ENOENT);
  CHECK_EQ(PDocNew(NULL, 612, 0, &error), 0);
  CHECK_EQ(error, FL_ERR_PARAM_VALUE);
  CHECK_EQ(IDocOpen(at("missing.pdf"), &error), 0);
  CHECK_EQ(error, ENOENT);
  CHECK_EQ(IDocMemOpen("plain text, not a PDF file", 26, &error), 0);
  CHECK_EQ(error, FL_ERR_NOT_PDF);
  CHECK_EQ(IDocMemOpen(NULL, 10, &error), 0);
  CHECK(error != 0);
}

/* The hand-written input read through every query of an input document. */
static void inputQueries(void) {
  int32_t error = -1;
  float l = -1, b = -1, r = -1, t = -1;
  FLVBSTR text = NULL, font = NULL;
  TextTokenRecord token;
  FLHANDLE input = IDocOpen(fixture, &error);
  CHECK(input != 0 && error == 0);
  CHECK_TEXT(IDocPDFVersion(input), "1.4");
  CHECK_EQ(IDocNumPages(input), 2);
  CHECK_EQ(IDocPageBox(input, &l, &b, &r, &t), FL_ERR_BAD_CALLING_SEQUENCE);
  CHECK(l == 0 && b == 0 && r == 0 && t == 0);
  CHECK_EQ(IDocLastError(input), FL_ERR_BAD_CALLING_SEQUENCE);
  CHECK_EQ(IDocPageRotate(input), 0);
  CHECK_EQ(IDocNumColorSpaces(input), -1);
  CHECK_EQ(IDocAcquirePage(input, 0), FL_ERR_PARAM_VALUE);
  CHECK_EQ(IDocAcquirePage(input, 3), FL_ERR_NO_SUCH_PAGE);
  CHECK_EQ(IDocAcquirePage(input, 1), 0);
  CHECK_EQ(IDocPageBox(input, &l, &b, &r, &t), 0);
  CHECK(l == 10 && b == 10 && r == 390 && t == 290);
  CHECK_EQ(IDocMediaBox(input, &l, &b, &r, &t), 0); /* from the pages node */
  CHECK(l == 0 && b == 0 && r == 400 && t == 300);
  CHECK_EQ(IDocPageRotate(input), 90);
  CHECK_EQ(IDocNumColorSpaces(input), 1);
  CHECK_TEXT(IDocGetSeparation(input, 1), "Gold");
  CHECK_TEXT(IDocGetSeparation(input, 2), NULL);
  CHECK_TEXT(IDocGetSeparation(input, 0), NULL);
  CHECK_EQ(IDocGetInfoAttr(input, "Title", &text), 0);
  CHECK_TEXT(text, "Fixture");
  CHECK_EQ(IDocGetInfoAttr(input, "/Producer", &text), 0);
  CHECK_TEXT(text, "hand");
  CHECK_EQ(IDocGetInfoAttr(input, "Subject", &text), 0);
  CHECK_TEXT(text, NULL);
  CHECK_EQ(IDocGetFonts(input, 0, &text), 0);
  CHECK_TEXT(text, "Helvetica");

  FLInitToken(&token);
  CHECK_EQ(IDocReadText(input, &text, &token, &font), 0);
  CHECK_TEXT(text, "Spot");
  CHECK_TEXT(font, "Helvetica");
  CHECK_EQ(token.page, 1);
  CHECK_EQ(token.charCount, 4);
  CHECK(token.charRightPos != NULL && token.charRightPos[3] > token.charRightPos[0]);
  CHECK_EQ(IDocAcquirePage(input, 2), 0);
  CHECK_EQ(IDocNumColorSpaces(input), 0);
  CHECK_EQ(IDocReadTextUTF8(input, &text, &token, &font), 0);
  CHECK_TEXT(text, "Second");
  CHECK_TEXT(font, "Helvetica");
  CHECK_EQ(token.page, 2);
  while (IDocReadText(input, &text, &token, &font) == 0) {
    FLFreeVBSTR(text);
    FLFreeVBSTR(font);
  }
  CHECK_EQ(IDocLastError(input), FL_ERR_NO_SUCH_PAGE);
  CHECK(text == NULL && token.charRightPos == NULL);
  FLFreeToken(&token);
  CHECK(token.charRightPos == NULL && token.charCount == 0);
  CHECK_EQ(IDocClose(input), 0);
}

/* A drawing with every content operator, the document shortcuts, tables, images
 * and logos, read back afterwards. */
static void drawingFile(void) {
  int32_t error = -1;
  FLHANDLE doc = PDocNew(at("drawing.pdf"), 500, 700, &error);
  CHECK(doc != 0 && error == 0);
  CHECK_EQ(PDocPageSize(doc, 0, 792), FL_ERR_PARAM_VALUE);
  CHECK_EQ(PDocLastError(doc), FL_ERR_PARAM_VALUE);
  CHECK_EQ(PDocPageSize(doc, 612, 792), 0);
  PDocSetInfo(doc, "Drawing", "", "every_function", "dropped");
  PDocSetAttr(doc, "Keywords", NULL);
  PDocSetAttr(doc, "/Creator", "capi");
  CHECK_EQ(PDocCompress(doc, 0), 0);
  CHECK_EQ(PDocCompress(doc, 7), 1);
  CHECK_EQ(PDocInputCopyColor(doc, "Gold"), FL_ERR_BAD_CALLING_SEQUENCE); /* no input yet */
  CHECK_EQ(PDocInputOpen(doc, fixture), 0); /* the source of the spot colour */
  CHECK_EQ(PDocInputCopyColor(doc, "Gold"), 0);
  CHECK_EQ(PDocInputCopyColor(doc, "Silver"), FL_ERR_INPUT_PART);

  FLHANDLE c = PDocGetContentHandle(doc);
  CHECK(c != 0 && PDocGetContentHandle(doc) == c);
  CHECK_EQ(PConPutText(c, "no font"), FL_ERR_BAD_CALLING_SEQUENCE);
  CHECK(PConGetTextWidth(c, "no font") == 0);
  CHECK(PConSetFont(c, "No-Such-Font", 12) != 0);
  CHECK_EQ(PConSetFont(c, "Helvetica", 12), 0);
  CHECK_NEAR(PConGetTextWidth(c, "Hello"), 27.336);
  CHECK_EQ(PConSetCharSpacing(c, 1), 0);
  CHECK_NEAR(PConGetTextWidth(c, "Hello"), 31.336); /* spacing between characters, none after the last */
  CHECK_EQ(PConSetWordSpacing(c, 2), 0);
  CHECK_EQ(PConSetTz(c, 90), 0);
  CHECK_EQ(PConSetLineSpacing(c, 16), 0);
  CHECK_EQ(PConSetTm(c, 1, 0, 0, 1, 72, 740), 0);
  CHECK_EQ(PConPutText(c, "Operators"), 0);
  CHECK_EQ(PConPutLn(c), 0);
  CHECK_EQ(PConPutTab(c, 20, 0), 0);
  CHECK_EQ(PConTextOp(c, "(raw) Tj"), 0);
  CHECK_EQ(PConSetTz(c, NAN), FL_ERR_PARAM_VALUE);

  CHECK_EQ(PConSetGray(c, 0.2f, 0.8f), 0);
  CHECK_EQ(PConLineColor(c, 1, 0, 0), 0);
  CHECK_EQ(PConFillColor(c, 0, 0, 1), 0);
  CHECK_EQ(PConSetLineWidth(c, 2), 0);
  CHECK_EQ(PConRectangle(c, 72, 600, 100, 50, 1), 0);
  CHECK_EQ(PConRectangle(c, 72, 600, 100, 50, 3), FL_ERR_PARAM_VALUE);
  CHECK_EQ(PConDrawTo(c, 1, 1), FL_ERR_BAD_CALLING_SEQUENCE); /* no current point */
  CHECK_EQ(PConMoveTo(c, 200, 600), 0);
  CHECK_EQ(PConDrawTo(c, 300, 600), 0);
  const float curve[6] = {320, 650, 360, 650, 380, 600};
  CHECK_EQ(PConCurveTo(c, curve, 6, 'c'), 0);
  CHECK_EQ(PConCurveTo(c, curve, 4, 'v'), 0);
  CHECK_EQ(PConCurveTo(c, curve, 4, 'y'), 0);
  CHECK_EQ(PConCurveTo(c, curve, 4, 'c'), FL_ERR_PARAM_VALUE);
  CHECK_EQ(PConDrawArea(c, 0), 0);
  CHECK_EQ(PConDrawArea(c, 0), FL_ERR_BAD_CALLING_SEQUENCE); /* the path is gone */
  CHECK_EQ(PConSetFillCS(c, "Gold", 0.5f), 0);
  CHECK_EQ(PConSetLineCS(c, "/Gold", 1), 0);
  CHECK(PConSetLineCS(c, "Silver", 1) != 0);
  CHECK_EQ(PConRectangle(c, 400, 600, 50, 50, 1), 0);
  CHECK_EQ(PConDrawOp(c, "q"), 0);
  CHECK_EQ(PConMoveTo(c, 72, 500), 0);
  CHECK_EQ(PConDrawTo(c, 172, 500), 0);
  CHECK_EQ(PConDrawTo(c, 122, 560), 0);
  CHECK_EQ(PConDrawArea(c, 1), 0);
  CHECK_EQ(PConDrawOp(c, "Q"), 0);

  /* The document's shortcuts draw on the same page. */
  CHECK_EQ(PDocSetFont(doc, "Times-Roman", 11), 0);
  CHECK_EQ(PDocPrintText(doc, 72, 460, "Shortcut text"), 0);
  CHECK_EQ(PDocGrayBar(doc, 72, 440, 200, 10, 0.9f), 0);
  CHECK_EQ(PDocSetLineWidth(doc, 1), 0);
  CHECK_EQ(PDocMoveTo(doc, 72, 430), 0);
  CHECK_EQ(PDocDrawTo(doc, 272, 430), 0);

  /* Tables: row height is the font size plus 2. */
  const int16_t widths[3] = {80, 120, 60};
  CHECK_EQ(PDocCalcTableHeight(doc, 3), 39);
  CHECK_EQ(PConTableHeight(c, 2), 26);
  CHECK_EQ(PDocTable(doc, 72, 400, 2, 3, widths), 0);
  CHECK_EQ(PDocFillTable(doc, 1, 1, "Cell"), 0);
  CHECK_EQ(PConTableText(c, 2, 2, "Centred", 1), 0);
  CHECK_EQ(PConTableText(c, 2, 3, "Right", 2), 0);
  CHECK(PConTableText(c, 1, 4, "outside", 0) != 0);
  CHECK_EQ(PConTableDraw(c, 72, 330, 1, 2, widths), 0);
  CHECK_EQ(PConTableText(c, 1, 2, "Second table", 0), 0);

  /* Images: grey, RGB and indexed; a short palette is refused. */
  unsigned char grey[8] = {0, 40, 80, 120, 160, 200, 240, 255};
  unsigned char rgb[12] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0};
  unsigned char indexed[2] = {0, 1};
  unsigned char palette[768] = {0, 0, 0, 200, 30, 30};
  CHECK_EQ(PDocCreateImage(doc, 4, 2, 8, 0, grey, 8, NULL), 1);
  CHECK_EQ(PDocCreateImage(doc, 2, 2, 8, 1, rgb, 12, NULL), 2);
  CHECK_EQ(PDocCreateImage(doc, 4, 4, 8, 0, grey, 8, NULL), 0); /* too few bytes */
  CHECK_EQ(PDocLastError(doc), FL_ERR_PARAM_VALUE);
  CHECK_EQ(PDocCreateImageEx(doc, 2, 1, 8, 1, indexed, 2, palette, 6), 0);
  CHECK_EQ(PDocCreateImageEx(doc, 2, 1, 8, 1, indexed, 2, palette, 768), 3);
  CHECK_EQ(PConPrintImage(c, 1, 400, 500, 80, 40), 0);
  CHECK_EQ(PConPrintImage(c, 2, 400, 440, 40, 40), 0);
  CHECK_EQ(PConPrintImage(c, 3, 450, 440, 40, 20), 0);
  CHECK_EQ(PConPrintImage(c, 9, 400, 400, 10, 10), FL_ERR_PARAM_VALUE);

  /* Logos: pages of a PDF file painted by number. */
  CHECK(PConPrintLogo(c, 1) != 0); /* no logo file yet */
  CHECK(PDocLogoFile(doc, at("missing.pdf")) != 0);
  CHECK_EQ(PDocLogoFile(doc, fixture), 0);
  CHECK_EQ(PConPrintLogo(c, 1), 0);
  CHECK_EQ(PDocPrintLogo(doc, 2), 0);
  CHECK(PConPrintLogo(c, 3) != 0);

  CHECK_EQ(PDocNumPages(doc), 1);
  CHECK_EQ(PDocNewPage(doc), 0);
  CHECK_EQ(PConPutLn(c), FL_ERR_MISSING_HANDLE); /* the handle ended with its page */
  CHECK_EQ(PDocSetFont(doc, "Courier", 10), 0);
  CHECK_EQ(PDocPrintText(doc, 72, 700, "Second page"), 0);
  CHECK_EQ(PDocNumPages(doc), 2);
  CHECK_EQ(PDocClose(doc), 0);
  CHECK_EQ(PDocGetContentHandle(doc), 0);
  CHECK_EQ(PDocPrintText(doc, 72, 700, "too late"), FL_ERR_BAD_CALLING_SEQUENCE);
  CHECK_EQ(PDocRelease(doc), 0);

  char text[2048];
  FLVBSTR value = NULL;
  float l, b, r, t;
  FLHANDLE input = IDocOpen(at("drawing.pdf"), &error);
  CHECK(input != 0 && error == 0);
  CHECK_EQ(IDocNumPages(input), 2);
  CHECK_EQ(IDocAcquirePage(input, 1), 0);
  CHECK_EQ(IDocMediaBox(input, &l, &b, &r, &t), 0);
  CHECK(r == 612 && t == 792);
  CHECK_EQ(IDocNumColorSpaces(input), 1);
  CHECK_EQ(IDocGetInfoAttr(input, "Title", &value), 0);
  CHECK_TEXT(value, "Drawing");
  CHECK_EQ(IDocGetInfoAttr(input, "Author", &value), 0);
  CHECK_TEXT(value, "every_function");
  CHECK_EQ(IDocGetInfoAttr(input, "Creator", &value), 0);
  CHECK_TEXT(value, "capi");
  CHECK_EQ(IDocGetInfoAttr(input, "Keywords", &value), 0);
  CHECK_TEXT(value, NULL);
  CHECK_EQ(IDocGetFonts(input, 0, &value), 0);
  CHECK_TEXT(value, "Courier\rHelvetica\rTimes-Roman");
  pageText(input, 1, text, sizeof text);
  CHECK(strstr(text, "Operators") && strstr(text, "Shortcut") && strstr(text, "Cell") && strstr(text, "Centred") &&
        strstr(text, "Second table"));
  pageText(input, 2, text, sizeof text);
  CHECK(strstr(text, "Second page") != NULL);
  CHECK_EQ(IDocClose(input), 0);
}

/* Merging under a running header with page numbers and a logo, then bookmarks and
 * links of every kind. */
static void mergedFile(void) {
  int32_t error = -1;
  FLHANDLE doc = PDocNew(at("merged.pdf"), 0, 0, &error);
  CHECK(doc != 0 && error == 0);
  CHECK_EQ(PDocCompress(doc, 0), 0);

  /* A drawn title page with links of the three kinds. */
  CHECK_EQ(PDocSetFont(doc, "Helvetica", 14), 0);
  CHECK_EQ(PDocPrintText(doc, 50, 750, "Title page"), 0);
  CHECK_EQ(PDocAddWebLink(doc, 1, 50, 50, 100, 20, "https://example.com/", 0), 0);
  CHECK_EQ(PDocAddGoToLink(doc, 0, 50, 80, 100, 20, 1, 0, 0, 0), FL_ERR_PARAM_VALUE);
  CHECK_EQ(PDocAddGoToLink(doc, 1, 50, 80, 100, 20, 0, 0, 0, 0), FL_ERR_PARAM_VALUE);
  CHECK_EQ(PDocAddGoToLink(doc, 1, 50, 80, 100, 20, 3, 0, 250, 2), 0);
  CHECK_EQ(PDocAddGoToRLink(doc, 1, 50, 110, 100, 20, "other.pdf", 1, 0, 0, -1), 0);
  CHECK_EQ(PDocAddGoToRLink(doc, 1, 50, 110, 100, 20, NULL, 1, 0, 0, -1), FL_ERR_PARAM_VALUE);
  CHECK_EQ(PDocAddGoToRLink(doc, 1, 50, 110, 100, 20, "other.pdf", 0, 0, 0, -1), FL_ERR_PARAM_VALUE);
  CHECK_EQ(PDocAddGoToRLink(doc, 0, 50, 110, 100, 20, "other.pdf", 1, 0, 0, -1), FL_ERR_PARAM_VALUE);
  CHECK_EQ(PDocNewPage(doc), 0);

  FLHANDLE header = PDocGetHeaderHandle(doc);
  CHECK(header != 0 && header != PDocGetContentHandle(doc) && PDocGetHeaderHandle(doc) == header);
  CHECK_EQ(PDocHeaderFont(doc, NULL, 9), FL_ERR_PARAM_VALUE);
  CHECK_EQ(PDocHeaderText(doc, 20, 20, NULL), FL_ERR_PARAM_VALUE);
  CHECK_EQ(PDocHeaderFont(doc, "Helvetica-Bold", 9), 0);
  CHECK_EQ(PDocHeaderText(doc, 20, 285, "Running header"), 0);
  CHECK_EQ(PDocHeaderHLine(doc, 20, 380, 280, 0.5f), 0);
  CHECK_EQ(PDocHeaderVLine(doc, 20, 280, 15, 0.5f), 0);
  CHECK_EQ(PDocHeaderGrayBar(doc, 300, 282, 80, 10, 0.8f), 0);
  CHECK_EQ(PConSetFont(header, "Helvetica", 8), 0);
  CHECK_EQ(PConPutText(header, "via handle"), 0);
  CHECK_EQ(PDocPutPageNumbers(doc, 330, 15, "Page %p", 1, 45), FL_ERR_PARAM_VALUE);
  CHECK_EQ(PDocPutPageNumbers(doc, 330, 15, "Page %p", 1, 0), 0);
  CHECK_EQ(PDocLogoPage(doc, fixture, 2, 1), 0);

  CHECK_EQ(PDocInputCopyBookmarks(doc, 0), FL_ERR_BAD_CALLING_SEQUENCE); /* no input yet */
  CHECK_EQ(PDocInputOpen(doc, fixture), 0);
  CHECK_EQ(PDocInputCopyPages(doc, 1, 2), 0);
  CHECK_EQ(PDocInputCopyBookmarks(doc, 0), 0);
  CHECK_EQ(PDocNumPages(doc), 3);

  CHECK_EQ(PDocHeaderClear(doc), 0);
  CHECK_EQ(PDocLogo(doc, fixture, 0), 0); /* logo 1 into the new header */
  CHECK_EQ(PDocHeaderFont(doc, "Courier", 8), 0);
  CHECK_EQ(PDocHeaderPgInfo(doc, 20, 15, "p. %p", 3), 0);
  CHECK_EQ(PDocMerge(doc, fixture, 2, 2), 0);
  CHECK_EQ(PDocMerge(doc, at("missing.pdf"), 1, 0), ENOENT);
  CHECK_EQ(PDocNumPages(doc), 4);

  int32_t error2 = -1;
  FLHANDLE input = IDocOpen(fixture, &error2);
  CHECK_EQ(PDocAttach(doc, 0), FL_ERR_MISSING_HANDLE);
  CHECK_EQ(PDocAttach(doc, input), 0);
  FLHANDLE shared = PDocGetInputHandle(doc);
  CHECK(shared != 0 && PDocGetInputHandle(doc) == shared);
  CHECK_EQ(IDocNumPages(shared), 2);
  CHECK_EQ(PDocDedupe(doc, 1), 1);
  CHECK_EQ(PDocInputCopyPages(doc, 1, 1), 0);
  int64_t saved = -1;
  CHECK(PDocDedupeSaved(doc, &saved) > 0 && saved > 0); /* the same font, copied from three opens */
  CHECK_EQ(PDocNumPages(doc), 5);

  CHECK_EQ(PDocAddNullBookmark(doc, 0, "Contents"), 0);
  CHECK_EQ(PDocAddNullBookmark(doc, 0, NULL), FL_ERR_PARAM_VALUE);
  CHECK_EQ(PDocAddNullBookmark(doc, 99, "orphan"), FL_ERR_PARAM_VALUE);
  CHECK_EQ(PDocAddGoToBookmark(doc, 1, "Page two", 2, 0, 300), 0);
  CHECK_EQ(PDocAddGoToBookmark(doc, 1, "Page zero", 0, 0, 0), FL_ERR_PARAM_VALUE);
  CHECK_EQ(PDocAddWebBookmark(doc, 1, "Web", "https://example.com/"), 0);
  CHECK_EQ(PDocAddWebBookmark(doc, 1, "Web", NULL), FL_ERR_PARAM_VALUE);
  CHECK_EQ(PDocAddGoToRBookmark(doc, 1, "Other file", "other.pdf", 1, 0, 0), 0);
  CHECK_EQ(PDocAddGoToRBookmark(doc, 1, "Other file", NULL, 1, 0, 0), FL_ERR_PARAM_VALUE);
  CHECK_EQ(PDocAddGoToRBookmark(doc, 1, "Other file", "other.pdf", 0, 0, 0), FL_ERR_PARAM_VALUE);
  CHECK_EQ(PDocAddOpenFileBookmark(doc, 1, "Notes", "notes.txt"), 0);
  CHECK_EQ(PDocAddOpenFileBookmark(doc, 1, "Notes", ""), FL_ERR_PARAM_VALUE);
  CHECK_EQ(PDocRelease(doc), 0);
  CHECK_EQ(IDocNumPages(shared), 0); /* released with its document */
  CHECK_EQ(IDocClose(input), 0);

  long size = 0;
  char* bytes = readWhole(at("merged.pdf"), &size);
  CHECK(bytes != NULL);
  if (bytes) {
    CHECK_EQ(countOf(bytes, size, "/Subtype /Link"), 3); /* the refused ones added nothing */
    CHECK_EQ(countOf(bytes, size, "/Rect [ 50 50 150 70 ]"), 1);
    CHECK_EQ(countOf(bytes, size, "/URI (https://example.com/)"), 2);
    CHECK_EQ(countOf(bytes, size, "/Title (Spot)"), 1); /* the input's bookmark came along */
    CHECK_EQ(countOf(bytes, size, "/Title (Notes)"), 1);
    CHECK_EQ(countOf(bytes, size, "/Title (orphan)"), 0);
    free(bytes);
  }
  char text[2048];
  input = IDocOpen(at("merged.pdf"), &error);
  CHECK(input != 0 && error == 0);
  CHECK_EQ(IDocNumPages(input), 5);
  pageText(input, 1, text, sizeof text);
  CHECK(strstr(text, "Title page") && !strstr(text, "Running header")); /* drawn, not copied */
  pageText(input, 2, text, sizeof text);
  CHECK(strstr(text, "Spot") && strstr(text, "Running header") && strstr(text, "via handle") &&
        strstr(text, "Page 1"));
  pageText(input, 3, text, sizeof text);
  CHECK(strstr(text, "Second") && strstr(text, "Page 2"));
  pageText(input, 4, text, sizeof text);
  CHECK(strstr(text, "Spot") && !strstr(text, "Running header") && strstr(text, "p. 3"));
  pageText(input, 5, text, sizeof text);
  CHECK(strstr(text, "p. 4") != NULL);
  CHECK_EQ(IDocClose(input), 0);
}

/* Form fields read, changed, added and deleted on an input, then copied out. */
static void filledFormFile(void) {
  int32_t error = -1, fieldFlags = -1, annotFlags = -1, page = 0, font = 0, alignment = 0;
  float x, y, w, h, size, rect[4];
  FLVBSTR name = NULL, value = NULL, description = NULL, type = NULL;
  FLHANDLE input = IDocOpen(fixture, &error);
  CHECK(input != 0 && error == 0);
  CHECK_EQ(IDocGetFormData(input, 1, &name, &value, &description, &fieldFlags, &annotFlags), 0);
  CHECK_TEXT(name, "name");
  CHECK_TEXT(value, "old");
  CHECK_TEXT(description, "Your name");
  CHECK(fieldFlags == 0 && annotFlags == 4);
  CHECK_EQ(IDocGetFormData(input, 2, &name, &value, &description, NULL, NULL), FL_ERR_PARAM_VALUE);
  CHECK(name == NULL && value == NULL && description == NULL);
  CHECK_EQ(IDocGetFormBox(input, "name", 0, &x, &y, &w, &h, &page, &font, &size, &alignment, &fieldFlags,
                          &annotFlags),
           0);
  CHECK(x == 50 && y == 100 && w == 200 && h == 20 && page == 1 && font == FLffHelv && size == 10);
  CHECK_EQ(IDocGetFormBox(input, "nosuch", 0, &x, &y, &w, &h, &page, NULL, NULL, NULL, NULL, NULL),
           FL_ERR_PARAM_VALUE);
  CHECK(x == 0 && page == 0);
  CHECK_EQ(IDocGetFormField(input, 1, &name, &type, &value, &fieldFlags, &page, rect), 0);
  CHECK_TEXT(name, "name");
  CHECK_TEXT(type, "Tx");
  CHECK_TEXT(value, "old");
  CHECK(page == 1 && rect[0] == 50 && rect[3] == 120);
  CHECK_EQ(IDocGetFontName(input, FLffHelv, &name), 0);
  CHECK_TEXT(name, "Helvetica");
  CHECK_EQ(IDocSetFormFont(input, FLffCustom1, "Times-Roman"), 0);
  CHECK_EQ(IDocGetFontName(input, FLffCustom1, &name), 0);
  CHECK_TEXT(name, "Times-Roman");

  CHECK_EQ(IDocAddTextField(input, "added", "Added field", 60, 150, 180, 18, 2, FLffCustom1, 11, 0, 0,
                            FLFlagAnnotPrintable, 0x000000, 0xFFFFFF),
           0);
  CHECK_EQ(IDocAddTextField(input, "beyond", NULL, 60, 150, 180, 18, 9, FLffHelv, 10, 0, 0, 0, -1, -1),
           FL_ERR_NO_SUCH_PAGE);
  CHECK_EQ(IDocAddTextField(input, "gone", NULL, 60, 200, 100, 18, 1, FLffHelv, 10, 0, 0, 0, -1, -1), 0);
  CHECK_EQ(IDocDeleteFormField(input, "gone"), 0);
  CHECK_EQ(IDocDeleteFormField(input, "nosuch"), FL_ERR_PARAM_VALUE);
  CHECK_EQ(IDocSetFormData(input, "name", "Ada", -1, -1), 0);
  CHECK_EQ(IDocSetFormData(input, "nosuch", "x", -1, -1), FL_ERR_PARAM_VALUE);

  FLHANDLE doc = PDocNew(at("filled.pdf"), 0, 0, &error);
  CHECK_EQ(PDocInputGetFormData(doc, 1, &name, &value), FL_ERR_BAD_CALLING_SEQUENCE);
  CHECK_EQ(PDocInputSetFormData(doc, "name", "x", -1, -1), FL_ERR_BAD_CALLING_SEQUENCE);
  CHECK_EQ(PDocAttach(doc, input), 0);
  CHECK_EQ(PDocInputGetFormData(doc, 1, &name, &value), 0);
  CHECK_TEXT(name, "name"); /* reads give the input's own value; the new one goes out with the pages */
  FLFreeVBSTR(value);
  CHECK_EQ(PDocInputSetFormData(doc, "added", "Typed", -1, FLFlagAnnotPrintable), 0);
  CHECK_EQ(PDocInputGetFormBox(doc, "added", 1, &x, &y, &w, &h, &page, &font, &size, &alignment, &fieldFlags,
                               &annotFlags),
           0);
  CHECK(x == 60 && y == 150 && w == 180 && h == 18 && page == 2 && size == 11);
  CHECK_EQ(PDocInputCopyPages(doc, 1, 2), 0);
  CHECK_EQ(PDocRelease(doc), 0);
  CHECK_EQ(IDocClose(input), 0);

  input = IDocOpen(at("filled.pdf"), &error);
  CHECK(input != 0 && error == 0);
  int found = 0;
  for (int32_t i = 1; IDocGetFormField(input, i, &name, &type, &value, &fieldFlags, &page, rect) == 0; ++i) {
    if (strcmp(name, "name") == 0 && value && strcmp(value, "Ada") == 0 && page == 1) found |= 1;
    if (strcmp(name, "added") == 0 && value && strcmp(value, "Typed") == 0 && page == 2) found |= 2;
    if (strcmp(name, "gone") == 0) found |= 4;
    FLFreeVBSTR(name);
    FLFreeVBSTR(type);
    FLFreeVBSTR(value);
  }
  CHECK_EQ(found, 3);
  CHECK_EQ(IDocClose(input), 0);
}

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: every_function OUTPUT_DIR\n");
    return 2;
  }
  outDir = argv[1];
  snprintf(fixture, sizeof fixture, "%s/fixture.pdf", outDir);
  writeFixture(fixture);
  missingHandlesAreRefused();
  memoryOutputIsHandedOutWhole();
  failedOpensReportWhy();
  inputQueries();
  drawingFile();
  mergedFile();
  filledFormFile();
  printf("%d passed, %d failed\n", passed, failed);
  return failed == 0 ? 0 : 1;
}
