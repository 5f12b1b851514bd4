package com.larkwell.pdf.fl;

/**
 * The exported functions of the folian32 PDF library as static native methods.
 *
 * <p>Handles of output documents, input documents and page contents travel as
 * {@code int}; 0 is no handle. Methods that return a status give 0 for success and
 * otherwise the library's code (an operating-system error number, or 1001 to 1018;
 * 1012 for a handle that is not live).
 *
 * <p>Text goes in as {@code byte[]} (the bytes as they are, up to the first zero
 * byte or the end of the array; WinAnsi for text on pages) or as {@code String}
 * (UTF-8). A null array or string is a missing argument. Output arguments are
 * arrays: {@code int[] err} receives a status in element 0, {@code float[]}
 * receives a box; an array shorter than the values is filled as far as it goes.
 */
public final class FLLib {
  static {
    System.loadLibrary("folian32");
  }

  private FLLib() {}

  /** End page for {@link #PDocMerge} meaning "to the last page" (and any larger value). */
  public static final int LAST_PAGE = 32001;

  // Output documents.

  /** A new output document written to the file, or to memory when fileName is null; 0 on failure. */
  public static native int PDocNew(byte[] fileName, int[] err);
  public static native int PDocRelease(int doc);
  public static native int PDocClose(int doc);
  /** Closes a document written to memory and returns the whole file; null when there are no bytes. */
  public static native byte[] PDocGetOutputBytes(int doc);
  /** Copies pages startPage..endPage of the file; an endPage of 32001 or more means the last page. */
  public static native int PDocMerge(int doc, byte[] fileName, int startPage, int endPage);
  public static native int PDocInputOpen(int doc, byte[] fileName);
  public static native int PDocInputCopyPages(int doc, int first, int last);
  public static native int PDocInputCopyColor(int doc, byte[] colour);
  public static native int PDocInputSetFormData(int doc, byte[] field, byte[] data, int formFlags, int annotFlags);
  /**
   * Writes an image and returns its number (0 when refused). The data's length is the
   * array's length; a palette shorter than 768 bytes is padded with zeros.
   */
  public static native int PDocCreateImage(int doc, int width, int height, int bits, boolean colour, byte[] data,
                                           byte[] palette);
  public static native void PDocSetInfo(int doc, String title, String subject, String author, String keywords);
  public static native int PDocSetInfoB(int doc, byte[] title, byte[] subject, byte[] author, byte[] keywords);
  /** Sets an information entry, or removes it when value is null. */
  public static native int PDocSetAttr(int doc, String key, String value);
  public static native int PDocSetAttrB(int doc, byte[] key, byte[] value);
  public static native int PDocLastError(int doc);
  /** background false: registers the logo file only; true: logo 1 beneath every copied page. */
  public static native int PDocLogo(int doc, byte[] fileName, boolean background);
  public static native int PDocAttach(int doc, int inputDoc);
  public static native int PDocGetContentHandle(int doc);
  public static native int PDocGetHeaderHandle(int doc);
  public static native int PDocGetInputHandle(int doc);
  public static native int PDocNewPage(int doc);
  public static native int PDocHeaderClear(int doc);
  public static native int PDocNumPages(int doc);
  public static native int PDocPageSize(int doc, int width, int height);
  /** "%p" in the format is the page number; orientation 0, 90, 180, 270 or -90. */
  public static native int PDocPutPageNumbers(int doc, String format, float x, float y, int start, int orientation);

  // Bookmarks and links. level is the parent bookmark's number (0: top level).

  public static native int PDocAddNullBookmark(int doc, byte[] title, int level);
  public static native int PDocAddWebBookmark(int doc, byte[] title, int level, byte[] url);
  public static native int PDocAddOpenFileBookmark(int doc, byte[] title, int level, byte[] fileName);
  public static native int PDocAddGoToBookmark(int doc, byte[] title, int level, int page, int x, int y);
  public static native int PDocAddGoToRBookmark(int doc, byte[] title, int level, byte[] fileName, int page, int x,
                                                int y);
  /** rect holds left, bottom, right, top. */
  public static native int PDocAddWebLink(int doc, int page, float[] rect, String url, int style);
  public static native int PDocAddGoToLink(int doc, int page, float[] rect, int destPage, int x, int y, int style);
  public static native int PDocAddGoToRLink(int doc, int page, float[] rect, String fileName, int destPage, int x,
                                            int y, int style);

  // Page content (handle from PDocGetContentHandle or PDocGetHeaderHandle).

  public static native int PConSetFont(int con, byte[] name, float size);
  public static native int PConCharSpacing(int con, float value);
  public static native int PConWordSpacing(int con, float value);
  public static native int PConSetTz(int con, float value);
  public static native int PConSetLineWidth(int con, float value);
  public static native int PConLineSpacing(int con, float value);
  public static native int PConSetTm(int con, float a, float b, float c, float d, float e, float f);
  public static native int PConPutText(int con, byte[] text);
  public static native int PConTextOp(int con, byte[] text);
  public static native int PConDrawOp(int con, byte[] text);
  public static native int PConPutLn(int con);
  public static native int PConPutTab(int con, float x, float y);
  public static native int PConMoveTo(int con, float x, float y);
  public static native int PConDrawTo(int con, float x, float y);
  public static native float PConGetTextWidth(int con, byte[] text);
  public static native int PConSetGray(int con, float line, float fill);
  public static native int PConSetLineColor(int con, float red, float green, float blue);
  public static native int PConSetFillColor(int con, float red, float green, float blue);
  public static native int PConSetLineCS(int con, byte[] colour, float tint);
  public static native int PConSetFillCS(int con, byte[] colour, float tint);
  /** style 0 fill, 1 border and fill, 2 border. */
  public static native int PConRectangle(int con, float x, float y, float w, float h, int style);
  /** type 'c' takes six numbers, 'v' and 'y' four. */
  public static native int PConCurveTo(int con, float[] points, char type);
  public static native int PConDrawArea(int con, boolean clip);
  public static native int PConPrintLogo(int con, int number);
  public static native int PConPrintImage(int con, int image, float x, float y, float w, float h);
  /** A table of rows rows with one column per element of widths. */
  public static native int PConGridDraw(int con, int x, int y, int rows, short[] widths);
  public static native int PConGridHeight(int con, int rows);
  /** alignment 1 centre, 2 right, otherwise left. */
  public static native int PConGridText(int con, int row, int column, byte[] text, int alignment);

  // Input documents.

  /** Opens the array as a PDF file in memory when it begins with "%PDF-", otherwise as a file name. */
  public static native int IDocOpen(byte[] fileOrData, int[] err);
  public static native int IDocClose(int idoc);
  public static native int IDocNumPages(int idoc);
  public static native int IDocLastError(int idoc);
  public static native int IDocPageRotate(int idoc);
  public static native int IDocNumColorSpaces(int idoc);
  public static native int IDocAcquirePage(int idoc, int page);
  /** box receives left, bottom, right, top. */
  public static native int IDocPageBox(int idoc, float[] box);
  public static native int IDocMediaBox(int idoc, float[] box);
  /**
   * values receives x, y, width, height, page, form font, font size, alignment, field flags
   * and annotation flags of the field's widget.
   */
  public static native int IDocGetFormBox(int idoc, byte[] name, int instance, float[] values);
  /** name, value and description of the field as byte[] elements; null on failure. */
  public static native Object[] IDocGetFormData(int idoc, int fieldNumber);
  public static native int IDocDeleteFormField(int idoc, byte[] name);
  public static native int IDocAddTextField(int idoc, String name, String description, float x, float y, float w,
                                            float h, int page, int font, float size, int alignment, int formFlags,
                                            int annotFlags, int borderRGB, int backgroundRGB);
  public static native int IDocSetFormFont(int idoc, int fontId, String baseFont);
  /** Base font names of the page joined by carriage returns; null on failure. */
  public static native String IDocGetFonts(int idoc, int page);
  public static native String IDocGetFontName(int idoc, int fontId);
  /** The colorant name of separation colour space index (from 1) of the current page; null when none. */
  public static native String IDocGetSeparation(int idoc, int index);
  /** An information entry, one character per byte; empty when the input has none, null on failure. */
  public static native String IDocGetInfoAttr(int idoc, String key);

  /**
   * Opens the file (or address) with the desktop's default application, without waiting
   * for it. 1 when the application was started, 0 when the file does not exist or no
   * opener could be started. The opener is xdg-open, or the command in FOLIAN_OPENER.
   */
  public static native int ShellOpen(String path);
}
