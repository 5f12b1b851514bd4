/* folian32: exported functions of the PDF toolkit.
 *
 * Documents are reached through 32-bit handles. A handle the library never issued,
 * one already released, or one of the wrong kind is refused with FL_ERR_MISSING_HANDLE
 * (or the result a function lists for a missing handle); it is never dereferenced.
 * Functions that return a code return 0 for success, otherwise the document's last
 * error (an errno value for file trouble, or one of the FL_ERR codes), and 1017 when
 * an operation failed without a more specific code.
 *
 * Byte strings handed out (FLVBSTR) are owned by the caller and freed with
 * FLFreeVBSTR; the four bytes before the pointer hold the length, and a zero byte
 * follows the last byte.
 *
 * Threads: one handle must be used by one thread at a time; distinct handles may be
 * used on different threads at once. An input attached to an output document
 * (PDocAttach, PDocInputOpen, or the handle from PDocGetInputHandle) is shared by
 * both handles: use the input's handle and the output's handle from one thread at a
 * time. Releasing a handle while another thread uses it is not allowed.
 */
#ifndef FOLIAN32_H
#define FOLIAN32_H

#include <stdint.h>

#ifdef __cplusplus
#define FOLIAN_EXTERN_C extern "C"
#else
#define FOLIAN_EXTERN_C
#endif
#define FOLIAN_API FOLIAN_EXTERN_C __attribute__((visibility("default")))

typedef uint32_t FLHANDLE;
typedef char* FLVBSTR;

enum {
  FL_OK = 0,
  FL_ERR_NOT_PDF = 1001,
  FL_ERR_BAD_TRAILER = 1002,
  FL_ERR_BAD_XREF = 1003,
  FL_ERR_NULL_REF = 1004,
  FL_ERR_PARAM_VALUE = 1005,
  FL_ERR_READING_OBJECT = 1006,
  FL_ERR_ALREADY_WRITTEN = 1007,
  FL_ERR_BAD_CALLING_SEQUENCE = 1008,
  FL_ERR_INTERNAL = 1009,
  FL_ERR_UNEXPECTED = 1010,
  FL_ERR_INPUT_OUTPUT = 1011,
  FL_ERR_MISSING_HANDLE = 1012,
  FL_ERR_ILLEGAL_FONT = 1014,
  FL_ERR_NO_SUCH_PAGE = 1015,
  FL_ERR_INPUT_PART = 1016,
  FL_ERR_FAILED = 1017,
  FL_ERR_ENCRYPTED = 1018
};

/* Output documents. */
FOLIAN_API FLHANDLE PDocNew(const char* fileName, uint16_t width, int32_t height, int32_t* error);
FOLIAN_API int32_t PDocPageSize(FLHANDLE doc, int32_t width, int32_t height);
FOLIAN_API void PDocSetInfo(FLHANDLE doc, const char* title, const char* subject, const char* author,
                            const char* keywords);
FOLIAN_API void PDocSetAttr(FLHANDLE doc, const char* key, const char* value);
FOLIAN_API int32_t PDocNewPage(FLHANDLE doc);
FOLIAN_API int32_t PDocNumPages(FLHANDLE doc);
FOLIAN_API int32_t PDocClose(FLHANDLE doc);
FOLIAN_API FLVBSTR PDocCloseB(FLHANDLE doc, int32_t* length);
FOLIAN_API int32_t PDocRelease(FLHANDLE doc);
FOLIAN_API int32_t PDocLastError(FLHANDLE doc);
FOLIAN_API int16_t PDocCompress(FLHANDLE doc, int16_t on);
FOLIAN_API FLHANDLE PDocGetContentHandle(FLHANDLE doc);

/* Page import: the document's current input, copying pages, merging files. */
FOLIAN_API int32_t PDocAttach(FLHANDLE doc, FLHANDLE input);
FOLIAN_API int32_t PDocInputOpen(FLHANDLE doc, const char* fileName);
FOLIAN_API int32_t PDocInputCopyPages(FLHANDLE doc, int16_t firstPage, int16_t lastPage);
FOLIAN_API int32_t PDocMerge(FLHANDLE doc, const char* fileName, int32_t firstPage, int32_t lastPage);
FOLIAN_API FLHANDLE PDocGetInputHandle(FLHANDLE doc);
FOLIAN_API int32_t PDocInputGetFont(FLHANDLE doc, const char* name, FLVBSTR* result);

/* Bookmarks, links and named destinations.
 * Pages are 1-based. A bookmark's parent is the number of a bookmark made earlier
 * through these functions (1 for the first one made), or 0 for the top level;
 * bookmarks copied by PDocInputCopyBookmarks are not numbered. A parent that does
 * not exist, a missing title, address or file, or a page below 1 gives
 * FL_ERR_PARAM_VALUE. A GoTo target is written as a reference to the page, so it
 * must be a page of the finished document; one that is not is left without
 * action (and reported). Links go on a page not yet written: the current page or
 * a later one (FL_ERR_BAD_CALLING_SEQUENCE for a page already written). The
 * rectangle is x, y, width, height; `border` is the border code: 0 a plain
 * border, 1 to 6 dashed or solid red, green, blue, any other code gives the
 * colour by its units, tens and hundreds digits (0 none, 9 full, d as 0.d) and a
 * dash by its thousands and ten-thousands digits; a negative code writes no
 * border entry. */
FOLIAN_API int32_t PDocAddNullBookmark(FLHANDLE doc, int32_t parent, const char* title);
FOLIAN_API int32_t PDocAddWebBookmark(FLHANDLE doc, int32_t parent, const char* title, const char* address);
FOLIAN_API int32_t PDocAddGoToBookmark(FLHANDLE doc, int32_t parent, const char* title, int32_t page, int16_t left,
                                       int16_t top);
FOLIAN_API int32_t PDocAddGoToRBookmark(FLHANDLE doc, int32_t parent, const char* title, const char* fileName,
                                        int32_t page, int16_t left, int16_t top);
FOLIAN_API int32_t PDocAddOpenFileBookmark(FLHANDLE doc, int32_t parent, const char* title, const char* fileName);
FOLIAN_API int32_t PDocAddWebLink(FLHANDLE doc, int32_t page, float x, float y, float width, float height,
                                  const char* address, int32_t border);
FOLIAN_API int32_t PDocAddGoToLink(FLHANDLE doc, int32_t page, float x, float y, float width, float height,
                                   int32_t targetPage, int32_t left, int32_t top, int32_t border);
FOLIAN_API int32_t PDocAddGoToRLink(FLHANDLE doc, int32_t page, float x, float y, float width, float height,
                                    const char* fileName, int32_t targetPage, int32_t left, int32_t top,
                                    int32_t border);
/* Copies the current input's bookmarks that lead to pages already copied from it,
 * below bookmark `parent` (0: the top level). FL_ERR_BAD_CALLING_SEQUENCE without
 * a current input. */
FOLIAN_API int32_t PDocInputCopyBookmarks(FLHANDLE doc, int32_t parent);

/* Input documents. */
FOLIAN_API FLHANDLE IDocOpen(const char* fileName, int32_t* error);
FOLIAN_API FLHANDLE IDocMemOpen(const char* bytes, int32_t length, int32_t* error);
FOLIAN_API int32_t IDocClose(FLHANDLE input);
FOLIAN_API int32_t IDocLastError(FLHANDLE input);
FOLIAN_API FLVBSTR IDocPDFVersion(FLHANDLE input);
FOLIAN_API int32_t IDocNumPages(FLHANDLE input);
FOLIAN_API int32_t IDocAcquirePage(FLHANDLE input, int32_t page);
FOLIAN_API int32_t IDocPageBox(FLHANDLE input, float* left, float* bottom, float* right, float* top);
FOLIAN_API int32_t IDocMediaBox(FLHANDLE input, float* left, float* bottom, float* right, float* top);
FOLIAN_API int16_t IDocPageRotate(FLHANDLE input);
FOLIAN_API int32_t IDocGetInfoAttr(FLHANDLE input, const char* key, FLVBSTR* value);
/* Base font names of page `page` (1-based; 0 or less for all pages), sorted and
 * joined by a carriage return; none when the page uses no fonts. */
FOLIAN_API int32_t IDocGetFonts(FLHANDLE input, int32_t page, FLVBSTR* result);
/* The base font behind form font id 0..15 in the input's form resources. */
FOLIAN_API int32_t IDocGetFontName(FLHANDLE input, int32_t fontId, FLVBSTR* result);

/* Drawing on the current page through the document (same operators as PCon). */
FOLIAN_API int32_t PDocSetFont(FLHANDLE doc, const char* fontName, float size);
FOLIAN_API int32_t PDocPrintText(FLHANDLE doc, float x, float y, const char* text);
FOLIAN_API int32_t PDocGrayBar(FLHANDLE doc, float x, float y, float width, float height, float grey);
FOLIAN_API int32_t PDocSetLineWidth(FLHANDLE doc, float width);
FOLIAN_API int32_t PDocMoveTo(FLHANDLE doc, float x, float y);
FOLIAN_API int32_t PDocDrawTo(FLHANDLE doc, float x, float y);

/* Content of the current page (handle from PDocGetContentHandle). The handle ends
 * with the page: after PDocNewPage, PDocClose or PDocRelease it is refused with
 * FL_ERR_MISSING_HANDLE; ask for a new one on the next page. Reals must be finite
 * (FL_ERR_PARAM_VALUE otherwise); a failing operator leaves the page as it was.
 * Fonts are the fourteen standard fonts or fonts of the document's current input. */
FOLIAN_API int32_t PConSetFont(FLHANDLE content, const char* fontName, float size);
FOLIAN_API int32_t PConSetCharSpacing(FLHANDLE content, float value);
FOLIAN_API int32_t PConSetWordSpacing(FLHANDLE content, float value);
FOLIAN_API int32_t PConSetTz(FLHANDLE content, float percent);
FOLIAN_API int32_t PConSetTm(FLHANDLE content, float a, float b, float c, float d, float e, float f);
FOLIAN_API int32_t PConSetLineSpacing(FLHANDLE content, float leading);
FOLIAN_API int32_t PConPutText(FLHANDLE content, const char* text);
FOLIAN_API int32_t PConPutLn(FLHANDLE content);
FOLIAN_API int32_t PConPutTab(FLHANDLE content, float dx, float dy);
FOLIAN_API int32_t PConTextOp(FLHANDLE content, const char* operators);
FOLIAN_API int32_t PConDrawOp(FLHANDLE content, const char* operators);
/* Width in points of the text in the current font, size and spacing; 0 without a font. */
FOLIAN_API float PConGetTextWidth(FLHANDLE content, const char* text);
FOLIAN_API int32_t PConSetGray(FLHANDLE content, float stroke, float fill);
FOLIAN_API int32_t PConLineColor(FLHANDLE content, float red, float green, float blue);
FOLIAN_API int32_t PConFillColor(FLHANDLE content, float red, float green, float blue);
FOLIAN_API int32_t PConSetLineCS(FLHANDLE content, const char* colorName, float tint);
FOLIAN_API int32_t PConSetFillCS(FLHANDLE content, const char* colorName, float tint);
FOLIAN_API int32_t PConSetLineWidth(FLHANDLE content, float width);
FOLIAN_API int32_t PConMoveTo(FLHANDLE content, float x, float y);
FOLIAN_API int32_t PConDrawTo(FLHANDLE content, float x, float y);
/* curveType 'c' takes six numbers, 'v' and 'y' four; count is the length of points. */
FOLIAN_API int32_t PConCurveTo(FLHANDLE content, const float* points, int32_t count, char curveType);
FOLIAN_API int32_t PConDrawArea(FLHANDLE content, int16_t clip);
/* style 0 fill, 1 border and fill, 2 border; other values are refused. */
FOLIAN_API int32_t PConRectangle(FLHANDLE content, float x, float y, float width, float height, int32_t style);

/* Byte strings handed out by the library. */
FOLIAN_API void FLFreeVBSTR(FLVBSTR text);
FOLIAN_API int32_t FLVBSTRLength(FLVBSTR text);

/* Text extraction. IDocReadText hands out the next token of the input, page after
 * page: the first call reads the first page (or the page made current with
 * IDocAcquirePage). When a page has no more tokens the next call selects the next
 * page and returns an empty token (no text, zero box) with its page number; after
 * the last page the call fails with FL_ERR_NO_SUCH_PAGE and an empty token whose
 * page number lies beyond the document. Text is handed out in the bytes of the
 * library (one byte per character, re-coded through the font's encoding);
 * IDocReadTextUTF8 hands it out as UTF-8, using the fonts' /ToUnicode maps. The
 * record's charRightPos holds one right edge per character (charCount of them),
 * measured from the token's start; the library replaces it on each call and
 * FLFreeToken frees it. Prepare a record with FLInitToken before its first use. */
typedef struct TextTokenRecord {
  float x;
  float y;
  float width;
  float height;
  int32_t page;
  int32_t orientation;
  float* charRightPos;
  int32_t charCount;
} TextTokenRecord;
FOLIAN_API void FLInitToken(TextTokenRecord* token);
FOLIAN_API void FLFreeToken(TextTokenRecord* token);
FOLIAN_API int32_t IDocReadText(FLHANDLE input, FLVBSTR* text, TextTokenRecord* token, FLVBSTR* font);
FOLIAN_API int32_t IDocReadTextUTF8(FLHANDLE input, FLVBSTR* text, TextTokenRecord* token, FLVBSTR* font);
/* Separation colour spaces of the current page: the count (-1 without handle or
 * current page) and the colorant name of the index-th one, counted from 1. */
FOLIAN_API int16_t IDocNumColorSpaces(FLHANDLE input);
FOLIAN_API FLVBSTR IDocGetSeparation(FLHANDLE input, int16_t index);

#endif /* FOLIAN32_H */
