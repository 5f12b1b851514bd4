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
/* Opens an output document on the file, or in memory without a name; a width other
 * than 0 sets the page size. None on failure, with the errno or code in `error`. */
FOLIAN_API FLHANDLE PDocNew(const char* fileName, uint16_t width, int32_t height, int32_t* error);
/* Page size in points (1..65535) for the page being built and later pages. */
FOLIAN_API int32_t PDocPageSize(FLHANDLE doc, int32_t width, int32_t height);
/* Sets /Title, /Subject, /Author and /Keywords of the document information; none
 * or empty texts are left out. */
FOLIAN_API void PDocSetInfo(FLHANDLE doc, const char* title, const char* subject, const char* author,
                            const char* keywords);
/* Sets one document information entry, or removes it when `value` is none. */
FOLIAN_API void PDocSetAttr(FLHANDLE doc, const char* key, const char* value);
/* Ends the current page, writing it when it has content; an empty page is not written. */
FOLIAN_API int32_t PDocNewPage(FLHANDLE doc);
/* Pages written so far, plus one when the current page has content; 0 without handle. */
FOLIAN_API int32_t PDocNumPages(FLHANDLE doc);
/* Finishes and closes the output; the handle stays valid until PDocRelease. */
FOLIAN_API int32_t PDocClose(FLHANDLE doc);
/* Closes the output and hands out a memory document's bytes, storing their count in
 * `length`; none for a disk file, an empty output or a failed close. */
FOLIAN_API FLVBSTR PDocCloseB(FLHANDLE doc, int32_t* length);
/* Closes the document if still open and destroys it; returns the code of the close. */
FOLIAN_API int32_t PDocRelease(FLHANDLE doc);
/* The document's last error: an errno value or an FL_ERR code; 0 without handle. */
FOLIAN_API int32_t PDocLastError(FLHANDLE doc);
/* Turns compression of written content streams on (non-zero, the default) or off;
 * returns the setting. */
FOLIAN_API int16_t PDocCompress(FLHANDLE doc, int16_t on);
/* The content handle of the current page, made on first request; none once closed. */
FOLIAN_API FLHANDLE PDocGetContentHandle(FLHANDLE doc);

/* Page import: the document's current input, copying pages, merging files. */
/* Makes an opened input document the current input, releasing a previous one; an
 * input already attached to another document is refused. */
FOLIAN_API int32_t PDocAttach(FLHANDLE doc, FLHANDLE input);
/* Opens the file as the document's current input. */
FOLIAN_API int32_t PDocInputOpen(FLHANDLE doc, const char* fileName);
/* Copies pages first..last (1-based) of the current input; a last page outside the
 * input's pages means up to its last page. */
FOLIAN_API int32_t PDocInputCopyPages(FLHANDLE doc, int16_t firstPage, int16_t lastPage);
/* Opens the file and copies pages first..last as PDocInputCopyPages does. */
FOLIAN_API int32_t PDocMerge(FLHANDLE doc, const char* fileName, int32_t firstPage, int32_t lastPage);
/* Copies the separation colour space of that name (its colorant or its resource
 * name) from the current input: FL_ERR_BAD_CALLING_SEQUENCE without input,
 * FL_ERR_INPUT_PART when the input has no such colour. */
FOLIAN_API int32_t PDocInputCopyColor(FLHANDLE doc, const char* colorName);
/* Objects met while copying pages whose bytes equal those of an object already
 * written (the same font file, image or colour space in many inputs) are written
 * once. On by default; `on` 0 turns it off (for the rest of the document), and
 * copied objects are then written in the order they are met. Returns the setting. */
FOLIAN_API int16_t PDocDedupe(FLHANDLE doc, int16_t on);
/* The objects not written again so far because an identical one was, and their
 * bytes in `bytes` when given. */
FOLIAN_API int32_t PDocDedupeSaved(FLHANDLE doc, int64_t* bytes);
/* An IDoc handle on the current input, or none without one; valid while that input
 * stays current and the document lives. */
FOLIAN_API FLHANDLE PDocGetInputHandle(FLHANDLE doc);
/* Not supported: always FL_ERR_FAILED, with `result` set to none. */
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
/* A bookmark without action. */
FOLIAN_API int32_t PDocAddNullBookmark(FLHANDLE doc, int32_t parent, const char* title);
/* A bookmark that opens a web address. */
FOLIAN_API int32_t PDocAddWebBookmark(FLHANDLE doc, int32_t parent, const char* title, const char* address);
/* A bookmark to a page of this document; `left` and `top` place the view (0: the
 * viewer's own). */
FOLIAN_API int32_t PDocAddGoToBookmark(FLHANDLE doc, int32_t parent, const char* title, int32_t page, int16_t left,
                                       int16_t top);
/* A bookmark to a page of another file. */
FOLIAN_API int32_t PDocAddGoToRBookmark(FLHANDLE doc, int32_t parent, const char* title, const char* fileName,
                                        int32_t page, int16_t left, int16_t top);
/* A bookmark that launches a file. */
FOLIAN_API int32_t PDocAddOpenFileBookmark(FLHANDLE doc, int32_t parent, const char* title, const char* fileName);
/* A link on `page` that opens a web address. */
FOLIAN_API int32_t PDocAddWebLink(FLHANDLE doc, int32_t page, float x, float y, float width, float height,
                                  const char* address, int32_t border);
/* A link on `page` to page `targetPage` of this document, the view at `left`, `top`. */
FOLIAN_API int32_t PDocAddGoToLink(FLHANDLE doc, int32_t page, float x, float y, float width, float height,
                                   int32_t targetPage, int32_t left, int32_t top, int32_t border);
/* A link on `page` to page `targetPage` of another file. */
FOLIAN_API int32_t PDocAddGoToRLink(FLHANDLE doc, int32_t page, float x, float y, float width, float height,
                                    const char* fileName, int32_t targetPage, int32_t left, int32_t top,
                                    int32_t border);
/* Copies the current input's bookmarks that lead to pages already copied from it,
 * below bookmark `parent` (0: the top level). FL_ERR_BAD_CALLING_SEQUENCE without
 * a current input. */
FOLIAN_API int32_t PDocInputCopyBookmarks(FLHANDLE doc, int32_t parent);

/* Input documents. */
/* Opens a PDF file for reading; none on failure, with the errno or code in `error`. */
FOLIAN_API FLHANDLE IDocOpen(const char* fileName, int32_t* error);
/* As IDocOpen on a private copy of `length` bytes. */
FOLIAN_API FLHANDLE IDocMemOpen(const char* bytes, int32_t length, int32_t* error);
/* Closes the input and releases its handle; an output document that attached it
 * keeps using it. */
FOLIAN_API int32_t IDocClose(FLHANDLE input);
/* The input's last error; FL_ERR_MISSING_HANDLE without handle. */
FOLIAN_API int32_t IDocLastError(FLHANDLE input);
/* The version from the file's header ("1.4"). */
FOLIAN_API FLVBSTR IDocPDFVersion(FLHANDLE input);
/* The /Count of the root pages node; 0 without handle. */
FOLIAN_API int32_t IDocNumPages(FLHANDLE input);
/* Makes page `page` (1-based) current. */
FOLIAN_API int32_t IDocAcquirePage(FLHANDLE input, int32_t page);
/* The visible (crop) box of the current page, falling back to the media box;
 * FL_ERR_BAD_CALLING_SEQUENCE without a current page. Outputs are 0 on failure. */
FOLIAN_API int32_t IDocPageBox(FLHANDLE input, float* left, float* bottom, float* right, float* top);
/* The media box of the current page, inherited from the nearest node that has one. */
FOLIAN_API int32_t IDocMediaBox(FLHANDLE input, float* left, float* bottom, float* right, float* top);
/* The current page's rotation in degrees; 0 without handle or page. */
FOLIAN_API int16_t IDocPageRotate(FLHANDLE input);
/* An entry of the document information (key with or without the slash), strings
 * decoded; `value` is none when the entry is absent. */
FOLIAN_API int32_t IDocGetInfoAttr(FLHANDLE input, const char* key, FLVBSTR* value);
/* Base font names of page `page` (1-based; 0 or less for all pages), sorted and
 * joined by a carriage return; none when the page uses no fonts. */
FOLIAN_API int32_t IDocGetFonts(FLHANDLE input, int32_t page, FLVBSTR* result);
/* The base font behind form font id 0..15 in the input's form resources. */
FOLIAN_API int32_t IDocGetFontName(FLHANDLE input, int32_t fontId, FLVBSTR* result);

/* Drawing on the current page through the document (same operators as PCon). */
/* PConSetFont on the current page. */
FOLIAN_API int32_t PDocSetFont(FLHANDLE doc, const char* fontName, float size);
/* Text at (x, y), or at the current text position when both are 0. */
FOLIAN_API int32_t PDocPrintText(FLHANDLE doc, float x, float y, const char* text);
/* A filled bar in a grey level (0 black .. 1 white); the fill grey stays set. */
FOLIAN_API int32_t PDocGrayBar(FLHANDLE doc, float x, float y, float width, float height, float grey);
/* PConSetLineWidth on the current page. */
FOLIAN_API int32_t PDocSetLineWidth(FLHANDLE doc, float width);
/* PConMoveTo on the current page. */
FOLIAN_API int32_t PDocMoveTo(FLHANDLE doc, float x, float y);
/* PConDrawTo on the current page. */
FOLIAN_API int32_t PDocDrawTo(FLHANDLE doc, float x, float y);

/* Content of the current page (handle from PDocGetContentHandle). The handle ends
 * with the page: after PDocNewPage, PDocClose or PDocRelease it is refused with
 * FL_ERR_MISSING_HANDLE; ask for a new one on the next page. Reals must be finite
 * (FL_ERR_PARAM_VALUE otherwise); a failing operator leaves the page as it was.
 * Fonts are the fourteen standard fonts or fonts of the document's current input. */
/* Selects a font and size (Tf); FL_ERR_FAILED for a font that is not available. */
FOLIAN_API int32_t PConSetFont(FLHANDLE content, const char* fontName, float size);
/* Character spacing (Tc) in unscaled text units. */
FOLIAN_API int32_t PConSetCharSpacing(FLHANDLE content, float value);
/* Word spacing (Tw) in unscaled text units. */
FOLIAN_API int32_t PConSetWordSpacing(FLHANDLE content, float value);
/* Horizontal scaling (Tz) in percent. */
FOLIAN_API int32_t PConSetTz(FLHANDLE content, float percent);
/* Sets the text matrix (Tm). */
FOLIAN_API int32_t PConSetTm(FLHANDLE content, float a, float b, float c, float d, float e, float f);
/* Leading (TL) used by PConPutLn. */
FOLIAN_API int32_t PConSetLineSpacing(FLHANDLE content, float leading);
/* Shows text at the current text position; FL_ERR_BAD_CALLING_SEQUENCE without a font. */
FOLIAN_API int32_t PConPutText(FLHANDLE content, const char* text);
/* Moves to the start of the next text line (T*). */
FOLIAN_API int32_t PConPutLn(FLHANDLE content);
/* Moves the text position by dx, dy (Td). */
FOLIAN_API int32_t PConPutTab(FLHANDLE content, float dx, float dy);
/* Appends raw operators inside a text object. */
FOLIAN_API int32_t PConTextOp(FLHANDLE content, const char* operators);
/* Appends raw operators outside a text object. */
FOLIAN_API int32_t PConDrawOp(FLHANDLE content, const char* operators);
/* Width in points of the text in the current font, size and spacing; 0 without a font. */
FOLIAN_API float PConGetTextWidth(FLHANDLE content, const char* text);
/* Grey levels (0 black .. 1 white) for stroking and filling. */
FOLIAN_API int32_t PConSetGray(FLHANDLE content, float stroke, float fill);
/* RGB stroking colour, each component 0..1. */
FOLIAN_API int32_t PConLineColor(FLHANDLE content, float red, float green, float blue);
/* RGB filling colour, each component 0..1. */
FOLIAN_API int32_t PConFillColor(FLHANDLE content, float red, float green, float blue);
/* Strokes in a separation colour of the document's current input at a tint 0..1;
 * FL_ERR_FAILED when the input has no such colour. */
FOLIAN_API int32_t PConSetLineCS(FLHANDLE content, const char* colorName, float tint);
/* Fills in a separation colour of the current input, as PConSetLineCS. */
FOLIAN_API int32_t PConSetFillCS(FLHANDLE content, const char* colorName, float tint);
/* Line width in points. */
FOLIAN_API int32_t PConSetLineWidth(FLHANDLE content, float width);
/* Starts a path at (x, y). */
FOLIAN_API int32_t PConMoveTo(FLHANDLE content, float x, float y);
/* Draws a line to (x, y) and strokes the path; FL_ERR_BAD_CALLING_SEQUENCE without a
 * current point. */
FOLIAN_API int32_t PConDrawTo(FLHANDLE content, float x, float y);
/* curveType 'c' takes six numbers, 'v' and 'y' four; count is the length of points. */
FOLIAN_API int32_t PConCurveTo(FLHANDLE content, const float* points, int32_t count, char curveType);
/* Closes the open path, fills and strokes it; with `clip` non-zero it also becomes
 * the clipping path. */
FOLIAN_API int32_t PConDrawArea(FLHANDLE content, int16_t clip);
/* style 0 fill, 1 border and fill, 2 border; other values are refused. */
FOLIAN_API int32_t PConRectangle(FLHANDLE content, float x, float y, float width, float height, int32_t style);

/* Images, logos, running headers, page numbers and tables.
 *
 * PDocCreateImage writes an image at once and returns its number (from 1), or 0
 * when it was refused (the last error says why: FL_ERR_PARAM_VALUE for a width
 * or height outside 1..32767, bits other than 1, 2, 4, 8, or data shorter than
 * the rows need). `color` 0 is grey; otherwise RGB, or indexed through
 * `palette`, which must hold 768 bytes (256 RGB triples). PDocCreateImageEx
 * takes the palette's length and refuses one shorter than 768 bytes. Data beyond
 * what the rows need is not written.
 *
 * Logo files are PDF files whose pages are logos, painted by number (from 1).
 * PDocLogo puts logo 1 into the header (background 0) or beneath every page
 * copied afterwards. The header content (its handle from PDocGetHeaderHandle,
 * valid until PDocRelease) and the page number are laid over every page copied
 * afterwards; "%p" in the page-number format is the page number, "%%" a percent
 * sign. Orientation 0, 90, 180, 270 or -90; others give FL_ERR_PARAM_VALUE.
 * Tables have at most 10 columns; alignment 1 centres a cell's text, 2 aligns
 * it right, anything else left. */
/* Writes an image and returns its number; 0 when refused or without handle. */
FOLIAN_API int32_t PDocCreateImage(FLHANDLE doc, int32_t width, int32_t height, int16_t bits, int16_t color,
                                   const unsigned char* data, int32_t dataLength, const unsigned char* palette);
/* PDocCreateImage with the palette's length in bytes. */
FOLIAN_API int32_t PDocCreateImageEx(FLHANDLE doc, int32_t width, int32_t height, int16_t bits, int16_t color,
                                     const unsigned char* data, int32_t dataLength, const unsigned char* palette,
                                     int32_t paletteLength);
/* A width or height of 0 paints the image in the current coordinates (1 x 1 point). */
FOLIAN_API int32_t PConPrintImage(FLHANDLE content, int32_t image, float x, float y, float width, float height);
/* Opens the logo file that PConPrintLogo and PDocPrintLogo paint from. */
FOLIAN_API int32_t PDocLogoFile(FLHANDLE doc, const char* fileName);
/* Lays logo 1 of the file over (background 0) or beneath every page copied afterwards. */
FOLIAN_API int32_t PDocLogo(FLHANDLE doc, const char* fileName, int16_t background);
/* PDocLogo with another logo than the first. */
FOLIAN_API int32_t PDocLogoPage(FLHANDLE doc, const char* fileName, int16_t logo, int16_t background);
/* Paints logo number `logo` of the current logo file on the content. */
FOLIAN_API int32_t PConPrintLogo(FLHANDLE content, int16_t logo);
/* Paints a logo of the current logo file on the current page (below 1: the first). */
FOLIAN_API int32_t PDocPrintLogo(FLHANDLE doc, int16_t logo);
/* The content handle of the header, made on first request; none once closed. */
FOLIAN_API FLHANDLE PDocGetHeaderHandle(FLHANDLE doc);
/* Selects the header's font; FL_ERR_PARAM_VALUE without a font name. */
FOLIAN_API int32_t PDocHeaderFont(FLHANDLE doc, const char* fontName, float size);
/* Header text at (x, y); FL_ERR_PARAM_VALUE without text. */
FOLIAN_API int32_t PDocHeaderText(FLHANDLE doc, float x, float y, const char* text);
/* A header bar `width` thick from (x1, y) to (x2, y). */
FOLIAN_API int32_t PDocHeaderHLine(FLHANDLE doc, int16_t x1, int16_t x2, int16_t y, float width);
/* A header bar `width` thick from (x, y1) up to (x, y2). */
FOLIAN_API int32_t PDocHeaderVLine(FLHANDLE doc, int16_t y1, int16_t y2, int16_t x, float width);
/* A filled header bar in a grey level. */
FOLIAN_API int32_t PDocHeaderGrayBar(FLHANDLE doc, int16_t x, int16_t y, int16_t width, int16_t height, float grey);
/* PDocPutPageNumbers upright. */
FOLIAN_API int32_t PDocHeaderPgInfo(FLHANDLE doc, float x, float y, const char* format, int32_t start);
/* Numbers the pages copied afterwards from `start`, the format's "%p" at (x, y) in
 * the header font, turned by `orientation`. */
FOLIAN_API int32_t PDocPutPageNumbers(FLHANDLE doc, float x, float y, const char* format, int32_t start,
                                      int32_t orientation);
/* Discards the header; a new header handle is needed for later header content. */
FOLIAN_API int32_t PDocHeaderClear(FLHANDLE doc);
/* PConTableDraw on the current page. */
FOLIAN_API int32_t PDocTable(FLHANDLE doc, int16_t x, int16_t y, int16_t rows, int16_t columns, const int16_t* widths);
/* PConTableText on the current page, aligned left. */
FOLIAN_API int32_t PDocFillTable(FLHANDLE doc, int16_t row, int16_t column, const char* text);
/* The height of `rows` table rows in the current font size; 0 without handle. */
FOLIAN_API int32_t PDocCalcTableHeight(FLHANDLE doc, int16_t rows);
/* Rules a table of `rows` rows and `columns` columns of the given widths, its upper
 * left corner at (x, y), rows as high as the current font size needs. */
FOLIAN_API int32_t PConTableDraw(FLHANDLE content, int16_t x, int16_t y, int16_t rows, int16_t columns,
                                 const int16_t* widths);
/* Text in cell (row, column) of the last table, both from 1. */
FOLIAN_API int32_t PConTableText(FLHANDLE content, int16_t row, int16_t column, const char* text, int16_t alignment);
/* The height of `rows` table rows in the current font size; 0 without handle. */
FOLIAN_API int32_t PConTableHeight(FLHANDLE content, int16_t rows);

/* Byte strings handed out by the library. */
/* Frees a byte string handed out by the library; none, and one freed already, are ignored. */
FOLIAN_API void FLFreeVBSTR(FLVBSTR text);
/* The length of a byte string handed out by the library; 0 for none. */
FOLIAN_API int32_t FLVBSTRLength(FLVBSTR text);

/* Form fields of input documents.
 * Field numbers count the entries of the form's top-level /Fields from 1 (fields
 * added through IDocAddTextField follow); names are a field's /T or its full
 * name ("parent.kid"). New values, deletions and added fields are recorded on
 * the input and take effect when its pages are copied into an output document
 * (PDocAttach or PDocInputOpen, then PDocInputCopyPages): filled text fields get
 * new appearance streams, check boxes the appearance state the value names (or
 * /Off). Flags of -1 leave an entry unchanged. A name the form does not have
 * gives FL_ERR_PARAM_VALUE and changes nothing; an input without a form gives
 * FL_ERR_INPUT_PART. Pages are 1-based. */
enum FLFormFlags {
  FLFlagFormReadonly = 1,
  FLFlagFormRequired = 2,
  FLFlagFormNoExport = 4,
  FLFlagFormMultiline = 4096,
  FLFlagFormLeaveAsIs = -1
};
enum FLAnnotFlags {
  FLFlagAnnotInvisible = 1,
  FLFlagAnnotHidden = 2,
  FLFlagAnnotPrintable = 4,
  FLFlagAnnotLeaveAsIs = -1
};
enum FLFormFontType {
  FLffUndefined = -1,
  FLffHelv = 0, FLffHeBo, FLffHeObl, FLffHeBObl, FLffCour, FLffCoBo, FLffCoOb, FLffCoBObl,
  FLffTiRo, FLffTiBo, FLffTiIt, FLffTiBI, FLffZaDb, FLffSymb, FLffCustom1, FLffCustom2
};
/* Name, value and description as byte strings (a name value loses its slash). */
FOLIAN_API int32_t IDocGetFormData(FLHANDLE input, int16_t field, FLVBSTR* name, FLVBSTR* value,
                                   FLVBSTR* description, int32_t* fieldFlags, int32_t* annotFlags);
/* The widget of field `name`, the instance-th (0 and 1 mean the first) searching
 * the pages in order: rectangle as x, y, width, height, its page, form font
 * (FLffUndefined when the default appearance names none), size, alignment (/Q)
 * and flags. FL_ERR_PARAM_VALUE when no widget matches. */
FOLIAN_API int32_t IDocGetFormBox(FLHANDLE input, const char* name, int16_t instance, float* x, float* y,
                                  float* width, float* height, int32_t* page, int32_t* formFont, float* fontSize,
                                  int32_t* alignment, int32_t* fieldFlags, int32_t* annotFlags);
/* Records a new value (and flags) for field `name`. */
FOLIAN_API int32_t IDocSetFormData(FLHANDLE input, const char* name, const char* value, int32_t fieldFlags,
                                   int32_t annotFlags);
/* Colours are 0x00BBGGRR, -1 for none. FL_ERR_PARAM_VALUE for a form font outside
 * 0..15 or a bad rectangle, FL_ERR_INPUT_PART for a custom slot without a font
 * registered by IDocSetFormFont, FL_ERR_NO_SUCH_PAGE for a page the input lacks. */
FOLIAN_API int32_t IDocAddTextField(FLHANDLE input, const char* name, const char* description, float x, float y,
                                    float width, float height, int32_t page, int32_t formFont, float size,
                                    int32_t alignment, int32_t fieldFlags, int32_t annotFlags, int32_t borderColor,
                                    int32_t backgroundColor);
/* Records the removal of field `name` and its widgets. */
FOLIAN_API int32_t IDocDeleteFormField(FLHANDLE input, const char* name);
/* Registers a Type 1 base font under a form font slot (FLffUndefined: FLffCustom1). */
FOLIAN_API int32_t IDocSetFormFont(FLHANDLE input, int32_t formFont, const char* baseFont);
/* Every field that has a widget, counted from 1 in the order of the form: full
 * name, type ("Tx", "Btn", "Ch", "Sig"), value, field flags, the page of its
 * first widget (0 when on none) and that widget's rectangle (left, bottom,
 * right, top; `rect` holds four floats). FL_ERR_PARAM_VALUE past the last. */
FOLIAN_API int32_t IDocGetFormField(FLHANDLE input, int32_t index, FLVBSTR* fullName, FLVBSTR* type,
                                    FLVBSTR* value, int32_t* fieldFlags, int32_t* page, float* rect);
/* IDocGetFormData's name and value on an output document's current input
 * (FL_ERR_BAD_CALLING_SEQUENCE without one, as for the two functions below). */
FOLIAN_API int32_t PDocInputGetFormData(FLHANDLE doc, int16_t field, FLVBSTR* name, FLVBSTR* value);
/* IDocSetFormData on the output document's current input. */
FOLIAN_API int32_t PDocInputSetFormData(FLHANDLE doc, const char* name, const char* value, int32_t fieldFlags,
                                        int32_t annotFlags);
/* IDocGetFormBox on the output document's current input. */
FOLIAN_API int32_t PDocInputGetFormBox(FLHANDLE doc, const char* name, int16_t instance, float* x, float* y,
                                       float* width, float* height, int32_t* page, int32_t* formFont,
                                       float* fontSize, int32_t* alignment, int32_t* fieldFlags,
                                       int32_t* annotFlags);
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
/* Empties a token record before its first use. */
FOLIAN_API void FLInitToken(TextTokenRecord* token);
/* Frees the record's character edges and empties it. */
FOLIAN_API void FLFreeToken(TextTokenRecord* token);
/* The next text token: its text and font name as byte strings and its box in `token`. */
FOLIAN_API int32_t IDocReadText(FLHANDLE input, FLVBSTR* text, TextTokenRecord* token, FLVBSTR* font);
/* IDocReadText with the text as UTF-8. */
FOLIAN_API int32_t IDocReadTextUTF8(FLHANDLE input, FLVBSTR* text, TextTokenRecord* token, FLVBSTR* font);
/* Separation colour spaces of the current page: the count (-1 without handle or
 * current page) and the colorant name of the index-th one, counted from 1. */
FOLIAN_API int16_t IDocNumColorSpaces(FLHANDLE input);
/* The colorant name of the index-th separation (from 1); none outside the range. */
FOLIAN_API FLVBSTR IDocGetSeparation(FLHANDLE input, int16_t index);

#endif /* FOLIAN32_H */
