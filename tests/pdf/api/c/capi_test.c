/* The exported interface as a C program sees it: handles, the last-error
 * protocol, and byte strings handed out and freed. */
#include <errno.h>
#include <stdio.h>
#include <string.h>

#include "pdf/api/folian32.h"

static int passed, failed;

#define CHECK(cond)                                                    \
  do {                                                                 \
    if (cond) {                                                        \
      ++passed;                                                        \
    } else {                                                           \
      ++failed;                                                        \
      fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
    }                                                                  \
  } while (0)

static void memoryDocumentIsHandedOutWhole(void) {
  int32_t error = -1, length = 0;
  FLHANDLE doc = PDocNew(NULL, 0, 0, &error);
  CHECK(doc != 0 && error == 0);
  CHECK(PDocNumPages(doc) == 0);
  FLHANDLE content = PDocGetContentHandle(doc);
  CHECK(content != 0);
  CHECK(PConDrawOp(content, "0 0 m 300 300 l S") == 0);
  CHECK(PDocNumPages(doc) == 1);
  CHECK(PDocNewPage(doc) == 0);
  CHECK(PDocNewPage(doc) == 0);
  CHECK(PDocNumPages(doc) == 1);
  FLVBSTR bytes = PDocCloseB(doc, &length);
  CHECK(bytes != NULL);
  if (bytes) {
    CHECK(length == FLVBSTRLength(bytes));
    CHECK(length > 20 && memcmp(bytes, "%PDF-1.3\n", 9) == 0);
    CHECK(memcmp(bytes + length - 7, "%%EOF\r\n", 7) == 0);
    CHECK(strstr(bytes, "%PDF-1.3\r\n") == NULL);
    FILE* out = fopen(FOLIAN_TEST_OUTPUT "/capi-memory.pdf", "wb");
    if (out) {
      fwrite(bytes, 1, (size_t)length, out);
      fclose(out);
    }
  }
  FLFreeVBSTR(bytes);
  FLFreeVBSTR(bytes); /* a second free of the same string is ignored */
  FLFreeVBSTR(NULL);
  CHECK(PDocRelease(doc) == 0);
}

static void diskDocumentClosesOnce(void) {
  int32_t error = -1;
  FLHANDLE doc = PDocNew(FOLIAN_TEST_OUTPUT "/capi-disk.pdf", 612, 792, &error);
  CHECK(doc != 0 && error == 0);
  PDocSetInfo(doc, "Title", NULL, "", "keys");
  PDocSetAttr(doc, "Creator", "capi_test");
  CHECK(PConDrawOp(PDocGetContentHandle(doc), "1 0 0 rg 100 100 200 200 re f") == 0);
  CHECK(PDocCompress(doc, 0) == 0);
  CHECK(PDocCompress(doc, 1) == 1);
  int32_t length = 7;
  CHECK(PDocCloseB(doc, &length) == NULL && length == 0); /* disk output hands out nothing */
  CHECK(PDocClose(doc) == 0);                              /* closing twice is harmless */
  CHECK(PDocLastError(doc) == 0);
  CHECK(PDocRelease(doc) == 0);
}

static void missingFolderGivesTheSystemError(void) {
  int32_t error = 0;
  FLHANDLE doc = PDocNew("/nonexistent-folder/x.pdf", 0, 0, &error);
  CHECK(doc == 0);
  CHECK(error == ENOENT);
  CHECK(PDocNew(FOLIAN_TEST_OUTPUT "/bad-size.pdf", 612, 70000, &error) == 0 && error == FL_ERR_PARAM_VALUE);
}

static void staleAndMadeUpHandlesAreRefused(void) {
  FLHANDLE doc = PDocNew(NULL, 0, 0, NULL);
  FLHANDLE content = PDocGetContentHandle(doc);
  CHECK(PDocClose(content) == FL_ERR_MISSING_HANDLE); /* wrong kind */
  CHECK(PDocRelease(doc) == 0);
  CHECK(PDocRelease(doc) == FL_ERR_MISSING_HANDLE);
  CHECK(PDocClose(doc) == FL_ERR_MISSING_HANDLE);
  CHECK(PConDrawOp(content, "0 g") == FL_ERR_MISSING_HANDLE);
  CHECK(PDocNewPage(12345) == FL_ERR_MISSING_HANDLE);
  CHECK(PDocPageSize(0, 612, 792) == FL_ERR_MISSING_HANDLE);
  CHECK(PDocLastError(0) == 0);
  CHECK(PDocNumPages(0) == 0);
  CHECK(PDocCloseB(0, NULL) == NULL);
  PDocSetInfo(0, "a", "b", "c", "d");
  PDocSetAttr(0, "a", "b");
}

static void contentOperatorsFromC(void) {
  FLHANDLE doc = PDocNew(FOLIAN_TEST_OUTPUT "/capi-content.pdf", 0, 0, NULL);
  FLHANDLE content = PDocGetContentHandle(doc);
  const float curve[6] = {100, 200, 150, 250, 200, 200};
  CHECK(PConPutText(content, "no font") == FL_ERR_BAD_CALLING_SEQUENCE);
  CHECK(PConSetFont(content, "Helvetica", 10) == 0);
  CHECK(PConGetTextWidth(content, "Hello") > 22.77f && PConGetTextWidth(content, "Hello") < 22.79f);
  CHECK(PConPutText(content, "Hello from C") == 0);
  CHECK(PConMoveTo(content, 50, 50) == 0);
  CHECK(PConCurveTo(content, curve, 6, 'c') == 0);
  CHECK(PConCurveTo(content, curve, 2, 'v') == FL_ERR_PARAM_VALUE);
  CHECK(PConDrawArea(content, 0) == 0);
  CHECK(PConDrawTo(content, 10, 10) == FL_ERR_BAD_CALLING_SEQUENCE);
  CHECK(PDocLastError(doc) == FL_ERR_BAD_CALLING_SEQUENCE);
  CHECK(PDocNewPage(doc) == 0);
  CHECK(PConSetFont(content, "Helvetica", 10) == FL_ERR_MISSING_HANDLE);
  CHECK(PDocRelease(doc) == 0);
}

static void badPageSizeIsRefusedAndRemembered(void) {
  FLHANDLE doc = PDocNew(NULL, 0, 0, NULL);
  CHECK(PDocPageSize(doc, 0, 792) == FL_ERR_PARAM_VALUE);
  CHECK(PDocLastError(doc) == FL_ERR_PARAM_VALUE);
  CHECK(PDocPageSize(doc, 612, 792) == 0);
  CHECK(PDocRelease(doc) == 0);
}

static void inputDocumentsFollowTheProtocol(void) {
  int32_t error = -1;
  FLHANDLE doc = PDocNew(FOLIAN_TEST_OUTPUT "/capi-input.pdf", 300, 200, &error);
  CHECK(PConDrawOp(PDocGetContentHandle(doc), "0 0 m 10 10 l S") == 0);
  CHECK(PDocRelease(doc) == 0);

  FLHANDLE input = IDocOpen(FOLIAN_TEST_OUTPUT "/capi-input.pdf", &error);
  CHECK(input != 0 && error == 0);
  float l = -1, b = -1, r = -1, t = -1;
  CHECK(IDocPageBox(input, &l, &b, &r, &t) == FL_ERR_BAD_CALLING_SEQUENCE);
  CHECK(l == 0 && t == 0);
  CHECK(IDocNumPages(input) == 1);
  CHECK(IDocAcquirePage(input, 2) == FL_ERR_NO_SUCH_PAGE);
  CHECK(IDocAcquirePage(input, 0) == FL_ERR_PARAM_VALUE);
  CHECK(IDocAcquirePage(input, 1) == 0);
  CHECK(IDocMediaBox(input, &l, &b, &r, &t) == 0 && r == 300 && t == 200);
  CHECK(IDocPageRotate(input) == 0);
  FLVBSTR version = IDocPDFVersion(input);
  CHECK(version && strcmp(version, "1.3") == 0);
  FLFreeVBSTR(version);
  FLVBSTR producer = NULL;
  CHECK(IDocGetInfoAttr(input, "Producer", &producer) == 0 && producer && strcmp(producer, "PDF Folian") == 0);
  FLFreeVBSTR(producer);

  /* An input attached to one document is refused by another. */
  FLHANDLE first = PDocNew(NULL, 0, 0, NULL), second = PDocNew(NULL, 0, 0, NULL);
  CHECK(PDocAttach(first, input) == 0);
  CHECK(PDocAttach(second, input) == FL_ERR_BAD_CALLING_SEQUENCE);
  CHECK(PDocGetInputHandle(second) == 0);
  CHECK(PDocGetInputHandle(first) != 0);
  CHECK(PDocInputCopyPages(first, 1, 1) == 0);
  CHECK(IDocClose(input) == 0);
  CHECK(PDocInputCopyPages(first, 1, 1) == 0); /* the document keeps the input it attached */
  CHECK(PDocNumPages(first) == 2);
  CHECK(PDocInputGetFont(first, "Helvetica", NULL) == FL_ERR_FAILED);
  CHECK(PDocRelease(first) == 0);
  CHECK(PDocRelease(second) == 0);

  CHECK(IDocClose(input) == FL_ERR_MISSING_HANDLE);
  CHECK(IDocLastError(input) == FL_ERR_MISSING_HANDLE);
  CHECK(IDocNumPages(input) == 0);
  CHECK(IDocOpen(FOLIAN_TEST_OUTPUT "/no-such-input.pdf", &error) == 0 && error == ENOENT);
  CHECK(IDocMemOpen("%PDF-1.4 garbage", 16, &error) == 0 && error != 0);
}

static void bookmarksAndLinksKeepTheLastErrorProtocol(void) {
  int32_t error = 0;
  int32_t length = 0;
  FLVBSTR bytes;
  FLHANDLE doc = PDocNew(NULL, 0, 0, &error);
  CHECK(doc != 0);
  CHECK(PDocCompress(doc, 0) == 0); /* plain text, so strstr sees the whole file */
  CHECK(PDocAddWebLink(doc, 1, 72.0f, 700.0f, 100.0f, 20.0f, "http://example.com/(x)", 5) == 0);
  CHECK(PConDrawOp(PDocGetContentHandle(doc), "0 0 m 10 10 l S") == 0);
  CHECK(PDocNewPage(doc) == 0);
  CHECK(PDocAddGoToBookmark(doc, 0, "first", 1, 0, 0) == 0);
  CHECK(PDocAddNullBookmark(doc, 2, "no parent 2 yet") == FL_ERR_PARAM_VALUE);
  CHECK(PDocLastError(doc) == FL_ERR_PARAM_VALUE);
  CHECK(PDocAddNullBookmark(doc, 1, "child") == 0);
  CHECK(PDocAddGoToLink(doc, 1, 0, 0, 10, 10, 1, 0, 0, 0) == FL_ERR_BAD_CALLING_SEQUENCE);
  CHECK(PDocInputCopyBookmarks(doc, 0) == FL_ERR_BAD_CALLING_SEQUENCE);
  bytes = PDocCloseB(doc, &length);
  CHECK(bytes != NULL);
  if (bytes) {
    CHECK(strstr(bytes, "/URI (http://example.com/\\(x\\))") != NULL);
    CHECK(strstr(bytes, "/Title (child)") != NULL);
    CHECK(strstr(bytes, "/PageMode /UseOutlines") != NULL);
  }
  FLFreeVBSTR(bytes);
  CHECK(PDocRelease(doc) == 0);
}

static void imagesHeadersAndTablesFromC(void) {
  int32_t error = 0;
  FLHANDLE doc = PDocNew(NULL, 0, 0, &error);
  unsigned char pixels[6] = {0, 64, 128, 192, 255, 32};
  CHECK(PDocCreateImage(0, 3, 2, 8, 0, pixels, 6, NULL) == 0);
  CHECK(PDocCreateImage(doc, 3, 2, 8, 1, pixels, 6, NULL) == 0);
  CHECK(PDocLastError(doc) == FL_ERR_PARAM_VALUE);
  CHECK(PDocCreateImage(doc, 3, 2, 8, 0, pixels, 6, NULL) == 1);
  FLHANDLE content = PDocGetContentHandle(doc);
  CHECK(PConPrintImage(content, 1, 10, 10, 30, 20) == 0);
  CHECK(PConPrintImage(content, 2, 10, 10, 30, 20) == FL_ERR_PARAM_VALUE);
  CHECK(PDocLogoFile(doc, "") == FL_ERR_PARAM_VALUE);
  FLHANDLE header = PDocGetHeaderHandle(doc);
  CHECK(header != 0 && header != content);
  CHECK(PDocHeaderText(doc, 10, 10, "no font") == FL_ERR_BAD_CALLING_SEQUENCE);
  CHECK(PConSetFont(header, "Helvetica", 9) == 0);
  CHECK(PDocHeaderText(doc, 10, 10, "header") == 0);
  CHECK(PDocPutPageNumbers(doc, 10, 10, "%p", 1, 45) == FL_ERR_PARAM_VALUE);
  CHECK(PDocHeaderPgInfo(doc, 10, 10, "%p", 1) == 0);
  CHECK(PDocHeaderClear(doc) == 0);
  int16_t widths[2] = {40, 60};
  CHECK(PConTableText(content, 1, 1, "x", 0) == FL_ERR_BAD_CALLING_SEQUENCE);
  CHECK(PConSetFont(content, "Courier", 10) == 0);
  CHECK(PConTableDraw(content, 20, 200, 2, 2, widths) == 0);
  CHECK(PConTableText(content, 2, 2, "cell", 1) == 0);
  CHECK(PConTableHeight(content, 3) == 36);
  CHECK(PDocRelease(doc) == 0);
  CHECK(PConTableHeight(header, 1) == 0);
}

static void textTokensFromC(void) {
  int32_t error = 0;
  int32_t length = 0;
  FLVBSTR bytes, text = NULL, font = NULL;
  FLHANDLE input;
  TextTokenRecord token;
  FLHANDLE doc = PDocNew(NULL, 0, 0, &error);
  CHECK(PConSetFont(PDocGetContentHandle(doc), "Helvetica", 10) == 0);
  CHECK(PConSetTm(PDocGetContentHandle(doc), 1, 0, 0, 1, 100, 700) == 0);
  CHECK(PConPutText(PDocGetContentHandle(doc), "Hello") == 0);
  bytes = PDocCloseB(doc, &length);
  CHECK(bytes != NULL);
  input = IDocMemOpen(bytes, length, &error);
  CHECK(input != 0);
  FLInitToken(&token);
  CHECK(IDocReadText(input, &text, &token, &font) == 0);
  CHECK(text != NULL && FLVBSTRLength(text) == 5 && memcmp(text, "Hello", 5) == 0);
  CHECK(font != NULL && strcmp(font, "Helvetica") == 0);
  CHECK(token.page == 1 && token.x == 100.0f && token.y == 700.0f && token.charCount == 5);
  CHECK(token.charRightPos != NULL && token.charRightPos[4] > 22.7f && token.charRightPos[4] < 22.8f);
  FLFreeVBSTR(text);
  FLFreeVBSTR(font);
  CHECK(IDocReadText(input, &text, &token, &font) == FL_ERR_NO_SUCH_PAGE);
  CHECK(text == NULL && font == NULL && token.page == 2 && token.charRightPos == NULL);
  CHECK(IDocLastError(input) == FL_ERR_NO_SUCH_PAGE);
  FLFreeToken(&token);
  CHECK(IDocClose(input) == 0);
  FLFreeVBSTR(bytes);
  CHECK(PDocRelease(doc) == 0);
}

int main(void) {
  inputDocumentsFollowTheProtocol();
  memoryDocumentIsHandedOutWhole();
  diskDocumentClosesOnce();
  missingFolderGivesTheSystemError();
  staleAndMadeUpHandlesAreRefused();
  badPageSizeIsRefusedAndRemembered();
  contentOperatorsFromC();
  bookmarksAndLinksKeepTheLastErrorProtocol();
  imagesHeadersAndTablesFromC();
  textTokensFromC();
  printf("%d passed, %d failed\n", passed, failed);
  return failed == 0 ? 0 : 1;
}
