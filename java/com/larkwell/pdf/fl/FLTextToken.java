package com.larkwell.pdf.fl;

/**
 * One positioned piece of text of an input document's page, read with
 * {@link #IDocReadTextToken}: its box in points, its page (from 1), its
 * orientation, the font's name, the text (one character per byte of the library)
 * and the right edge of each character measured from the token's start.
 */
public class FLTextToken {
  static {
    System.loadLibrary("folian32");
  }

  public float X;
  public float Y;
  public float W;
  public float H;
  public int Page;
  public short Orientation;
  public String Font;
  public String Text;
  public float[] CharRightPos;

  /**
   * Reads the next token of the input into this object. Pages are read in turn: the
   * first token after a page's last is empty and carries the next page's number;
   * after the last page the result is 1015. Returns 0 or the library's status.
   */
  public native int IDocReadTextToken(int idoc);
}
