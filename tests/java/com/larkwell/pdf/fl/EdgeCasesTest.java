package com.larkwell.pdf.fl;

import static com.larkwell.pdf.fl.JavaTests.add;
import static com.larkwell.pdf.fl.JavaTests.check;
import static com.larkwell.pdf.fl.JavaTests.equal;
import static com.larkwell.pdf.fl.JavaTests.file;
import static com.larkwell.pdf.fl.JavaTests.near;
import static com.larkwell.pdf.fl.JavaTests.raw;
import static com.larkwell.pdf.fl.JavaTests.token;
import static com.larkwell.pdf.fl.JavaTests.tokens;
import static com.larkwell.pdf.fl.JavaTests.z;

import java.io.File;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.util.Arrays;
import java.util.List;

/** The conversions of the native methods and the cases where they meet bad arguments. */
final class EdgeCasesTest {
  private static final int ENOENT = 2;
  private static final int PARAM_VALUE = 1005;
  private static final int MISSING_HANDLE = 1012;
  private static final int NO_SUCH_PAGE = 1015;

  /** A document in memory with the given lines of Helvetica text, one page per line. */
  static byte[] pages(String... lines) {
    int[] err = new int[1];
    int doc = FLLib.PDocNew(null, err);
    for (String line : lines) {
      int con = FLLib.PDocGetContentHandle(doc);
      FLLib.PConSetFont(con, z("Helvetica"), 12);
      FLLib.PConSetTm(con, 1, 0, 0, 1, 72, 700);
      FLLib.PConPutText(con, z(line));
      FLLib.PDocNewPage(doc);
    }
    byte[] bytes = FLLib.PDocGetOutputBytes(doc);
    FLLib.PDocRelease(doc);
    return bytes;
  }

  static int open(byte[] bytes) {
    int[] err = new int[1];
    int idoc = FLLib.IDocOpen(bytes, err);
    check(idoc != 0 && err[0] == 0, "document opens from memory (err " + err[0] + ")");
    return idoc;
  }

  static void register() {
    add("newOnUncreatablePathGivesNoHandleAndTheSystemError", () -> {
      byte[] path = z(new File(JavaTests.out, "missing-folder/sub/x.pdf").getPath());
      int[] err = {-1};
      equal(0, FLLib.PDocNew(path, err), "handle");
      equal(ENOENT, err[0], "err[0]");
      // Without an error array, or with an empty one, nothing is written.
      equal(0, FLLib.PDocNew(path, null), "handle without err");
      equal(0, FLLib.PDocNew(path, new int[0]), "handle with empty err");
    });

    add("nullFileNameWritesToMemoryAndTheBytesOpenAgain", () -> {
      byte[] bytes = pages("memory", "second");
      check(bytes != null, "bytes handed out");
      String text = new String(bytes, StandardCharsets.ISO_8859_1);
      check(text.startsWith("%PDF-1.3"), "begins with the header");
      check(text.endsWith("%%EOF\n") || text.endsWith("%%EOF\r\n"), "ends with %%EOF and a line end");
      int idoc = open(bytes);
      equal(2, FLLib.IDocNumPages(idoc), "pages read from memory");
      FLTextToken t = new FLTextToken();
      equal(0, t.IDocReadTextToken(idoc), "first token");
      equal("memory", t.Text, "text of the first page");
      equal(0, FLLib.IDocClose(idoc), "close");
      // The same bytes as a file name would be a missing file; as data they open.
      File saved = file("memory-saved.pdf");
      Files.write(saved.toPath(), bytes);
      int fromFile = FLLib.IDocOpen(z(saved.getPath()), new int[1]);
      equal(2, FLLib.IDocNumPages(fromFile), "pages read from the file");
      FLLib.IDocClose(fromFile);
      int[] err = new int[1];
      equal(0, FLLib.IDocOpen(raw("%PDF-1.3 but nothing else"), err), "damaged bytes give no handle");
      check(err[0] != 0, "damaged bytes give a code (" + err[0] + ")");
      err[0] = 0;
      equal(0, FLLib.IDocOpen(z(file("none.pdf").getPath()), err), "missing file gives no handle");
      equal(ENOENT, err[0], "missing file gives ENOENT");
    });

    add("outputBytesOnlyForMemoryDocuments", () -> {
      int doc = FLLib.PDocNew(null, new int[1]);
      FLLib.PConPutText(FLLib.PDocGetContentHandle(doc), z("x"));
      check(FLLib.PDocGetOutputBytes(doc) != null, "close hands out bytes");
      FLLib.PDocRelease(doc);
      int onDisk = FLLib.PDocNew(z(file("on-disk.pdf").getPath()), new int[1]);
      equal(null, FLLib.PDocGetOutputBytes(onDisk), "a file document hands out no bytes");
      equal(0, FLLib.PDocRelease(onDisk), "release after close");
      equal(null, FLLib.PDocGetOutputBytes(12345), "no handle");
    });

    add("gridWithThreeWidthsDrawsThreeColumns", () -> {
      int doc = FLLib.PDocNew(null, new int[1]);
      int con = FLLib.PDocGetContentHandle(doc);
      FLLib.PConSetFont(con, z("Helvetica"), 10);
      equal(0, FLLib.PConGridDraw(con, 100, 700, 2, new short[] {50, 80, 120}), "grid");
      for (int column = 1; column <= 3; column++) {
        equal(0, FLLib.PConGridText(con, 1, column, z("C" + column), 0), "text in column " + column);
      }
      check(FLLib.PConGridText(con, 1, 4, z("C4"), 0) != 0, "there is no fourth column");
      check(FLLib.PConGridHeight(con, 2) > 0, "two rows have a height");
      byte[] bytes = FLLib.PDocGetOutputBytes(doc);
      FLLib.PDocRelease(doc);
      int idoc = open(bytes);
      List<FLTextToken> found = tokens(idoc);
      FLTextToken c1 = token(found, "C1"), c2 = token(found, "C2"), c3 = token(found, "C3");
      check(c1 != null && c2 != null && c3 != null, "three cells read back: " + JavaTests.joined(found));
      if (c1 != null && c2 != null && c3 != null) {
        near(50, c2.X - c1.X, 0.01, "second column starts one width on");
        near(80, c3.X - c2.X, 0.01, "third column starts one more width on");
      }
      equal(null, token(found, "C4"), "fourth cell");
      FLLib.IDocClose(idoc);
    });

    add("shellOpenRunsTheOpenerDetached", () -> {
      String log = System.getProperty("folian.openerLog");
      check(log != null, "the runner names the opener's log");
      File document = file("to-open.pdf");
      Files.write(document.toPath(), pages("open me"));
      File record = new File(log);
      record.delete();
      equal(1, FLLib.ShellOpen(document.getPath()), "opener started");
      long deadline = System.nanoTime() + 10_000_000_000L;
      String seen = "";
      while (System.nanoTime() < deadline) {
        if (record.exists()) {
          seen = new String(Files.readAllBytes(record.toPath()), StandardCharsets.UTF_8);
          if (seen.endsWith("\n")) break;
        }
        Thread.sleep(20);
      }
      equal(document.getPath() + "\n", seen, "the opener got the path, unchanged");
      // Nothing to open: no opener runs.
      equal(0, FLLib.ShellOpen(file("not-there.pdf").getPath()), "missing file");
      equal(0, FLLib.ShellOpen("C:/docs/a.pdf"), "a Windows path that names nothing here");
      equal(0, FLLib.ShellOpen(""), "empty path");
      equal(0, FLLib.ShellOpen(null), "null path");
    });

    add("endPageFrom32001MeansTheLastPage", () -> {
      File three = file("three-pages.pdf");
      Files.write(three.toPath(), pages("one", "two", "three"));
      byte[] name = z(three.getPath());
      int[][] ranges = {{2, 32001, 2}, {1, FLLib.LAST_PAGE + 1000, 3}, {1, Integer.MAX_VALUE, 3}, {2, 2, 1}};
      for (int[] r : ranges) {
        int doc = FLLib.PDocNew(null, new int[1]);
        equal(0, FLLib.PDocMerge(doc, name, r[0], r[1]), "merge " + r[0] + ".." + r[1]);
        equal(r[2], FLLib.PDocNumPages(doc), "pages of " + r[0] + ".." + r[1]);
        FLLib.PDocRelease(doc);
      }
      // 16-bit page numbers saturate instead of wrapping round.
      int doc = FLLib.PDocNew(null, new int[1]);
      equal(0, FLLib.PDocInputOpen(doc, name), "input");
      equal(0, FLLib.PDocInputCopyPages(doc, 2, 65538), "copy 2..65538");
      equal(2, FLLib.PDocNumPages(doc), "pages 2 and 3 copied");
      FLLib.PDocRelease(doc);
    });

    add("paletteShorterThan768BytesIsPadded", () -> {
      int doc = FLLib.PDocNew(z(file("palette.pdf").getPath()), new int[1]);
      byte[] pixels = {0, 1, 2, 3};
      int indexed = FLLib.PDocCreateImage(doc, 2, 2, 8, true, pixels, new byte[] {(byte) 255, 0, 0, 0, 0, (byte) 255});
      check(indexed > 0, "indexed image with a six-byte palette: " + indexed);
      int grey = FLLib.PDocCreateImage(doc, 2, 2, 8, false, pixels, null);
      check(grey > 0, "grey image without palette: " + grey);
      equal(0, FLLib.PDocCreateImage(doc, 2, 2, 8, false, null, null), "no data");
      equal(0, FLLib.PDocCreateImage(doc, 4, 4, 8, false, pixels, null), "data shorter than the rows");
      int con = FLLib.PDocGetContentHandle(doc);
      equal(0, FLLib.PConPrintImage(con, indexed, 72, 600, 100, 100), "paint indexed");
      equal(0, FLLib.PConPrintImage(con, grey, 200, 600, 100, 100), "paint grey");
      equal(0, FLLib.PDocRelease(doc), "release");
      // The lookup table has 256 entries, the first two from the palette.
      check(new String(JavaTests.read(file("palette.pdf")), StandardCharsets.ISO_8859_1).contains("/Indexed /DeviceRGB 255"),
            "the indexed colour space has 256 entries");
    });

    add("outputArraysAreFilledAsFarAsTheyReach", () -> {
      int idoc = open(pages("box"));
      equal(0, FLLib.IDocAcquirePage(idoc, 1), "page 1");
      float[] box = new float[4];
      equal(0, FLLib.IDocMediaBox(idoc, box), "media box");
      check(box[2] > box[0] && box[3] > box[1], "a real box: " + Arrays.toString(box));
      float[] two = {-1, -1};
      equal(0, FLLib.IDocPageBox(idoc, two), "page box into two floats");
      equal(box[0], two[0], "left");
      equal(box[1], two[1], "bottom");
      equal(0, FLLib.IDocPageBox(idoc, new float[0]), "into no floats");
      equal(0, FLLib.IDocPageBox(idoc, null), "into null");
      float[] longer = new float[6];
      Arrays.fill(longer, -7);
      FLLib.IDocMediaBox(idoc, longer);
      equal(-7f, longer[4], "elements past the box stay as they were");
      FLLib.IDocClose(idoc);
      equal(MISSING_HANDLE, FLLib.IDocPageBox(idoc, box), "closed input");
    });

    add("nullArraysAreMissingArguments", () -> {
      int doc = FLLib.PDocNew(null, new int[1]);
      int con = FLLib.PDocGetContentHandle(doc);
      equal(PARAM_VALUE, FLLib.PDocAddNullBookmark(doc, null, 0), "bookmark without title");
      equal(PARAM_VALUE, FLLib.PDocAddWebBookmark(doc, z("t"), 0, null), "web bookmark without address");
      equal(PARAM_VALUE, FLLib.PDocMerge(doc, null, 1, 1), "merge without file");
      equal(PARAM_VALUE, FLLib.PConPutText(con, null), "text without text");
      equal(PARAM_VALUE, FLLib.PDocAddWebLink(doc, 1, null, "https://example.org/", 0), "link without rectangle");
      equal(PARAM_VALUE, FLLib.PDocAddWebLink(doc, 1, new float[3], "https://example.org/", 0), "three-float rectangle");
      equal(PARAM_VALUE, FLLib.PDocSetAttr(doc, null, "x"), "attribute without key");
      check(FLLib.PConCurveTo(con, null, 'c') != 0, "curve without points");
      check(FLLib.PConCurveTo(con, new float[] {1, 2, 3, 4, 5, 6}, (char) 0x163) != 0,
            "a character that only ends in 'c' is no curve type");
      FLLib.PConMoveTo(con, 0, 0);
      equal(0, FLLib.PConCurveTo(con, new float[] {1, 2, 3, 4, 5, 6}, 'c'), "curve");
      check(FLLib.PConGridDraw(con, 10, 10, 1, null) != 0, "grid without widths");
      int[] err = {0};
      equal(0, FLLib.IDocOpen(null, err), "open nothing");
      check(err[0] != 0, "open nothing gives a code");
      equal(null, FLLib.IDocGetFormData(12345, 1), "form data without handle");
      FLLib.PDocRelease(doc);
    });

    add("textGoesInAsBytesOrUtf8AndComesOutWidenedOrDecoded", () -> {
      int doc = FLLib.PDocNew(null, new int[1]);
      equal(0, FLLib.PDocSetAttrB(doc, z("Publisher"), new byte[] {'C', 'a', 'f', (byte) 0xE9, 0}), "byte attribute");
      equal(0, FLLib.PDocSetAttr(doc, "Creator", "\u00c9t\u00e9"), "string attribute");
      equal(0, FLLib.PDocSetAttr(doc, "Company", "Larkwell"), "an entry");
      equal(0, FLLib.PDocSetAttr(doc, "Company", null), "the entry removed");
      FLLib.PDocSetInfo(doc, "Title \u00e9", null, "Author", null);
      equal(0, FLLib.PDocSetInfoB(doc, null, z("Subject"), null, raw("Keywords")), "info from bytes");
      int con = FLLib.PDocGetContentHandle(doc);
      FLLib.PConSetFont(con, z("Helvetica-Bold"), 12);
      FLLib.PConPutText(con, z("fonts"));
      int idoc = open(FLLib.PDocGetOutputBytes(doc));
      FLLib.PDocRelease(doc);
      equal("Caf\u00e9", FLLib.IDocGetInfoAttr(idoc, "Publisher"), "bytes widened one to one");
      // A String goes in as UTF-8; read back byte by byte it shows its two bytes.
      equal("\u00c3\u0089t\u00c3\u00a9", FLLib.IDocGetInfoAttr(idoc, "Creator"), "UTF-8 bytes widened");
      equal("Title \u00c3\u00a9", FLLib.IDocGetInfoAttr(idoc, "Title"), "title");
      equal("Subject", FLLib.IDocGetInfoAttr(idoc, "Subject"), "subject from a terminated array");
      equal("Keywords", FLLib.IDocGetInfoAttr(idoc, "Keywords"), "keywords from an unterminated array");
      equal("", FLLib.IDocGetInfoAttr(idoc, "Company"), "removed entry");
      equal(null, FLLib.IDocGetInfoAttr(idoc, null), "no key");
      equal("Helvetica-Bold", FLLib.IDocGetFonts(idoc, 1), "fonts of page 1");
      equal(null, FLLib.IDocGetFonts(12345, 1), "fonts without handle");
      FLLib.IDocClose(idoc);
    });

    add("bytesEndAtTheFirstZeroOrTheArrayEnd", () -> {
      int doc = FLLib.PDocNew(null, new int[1]);
      int con = FLLib.PDocGetContentHandle(doc);
      FLLib.PConSetFont(con, z("Courier"), 10);
      FLLib.PConSetTm(con, 1, 0, 0, 1, 72, 700);
      // Eight bytes fill the array to its end with no padding after it, so a read past
      // the end would meet the next object's header rather than a lucky zero.
      equal(0, FLLib.PConPutText(con, raw("ABCDEFGH")), "unterminated text");
      FLLib.PConSetTm(con, 1, 0, 0, 1, 72, 600);
      equal(0, FLLib.PConPutText(con, new byte[] {'D', 'E', 0, 'X', 'Y'}), "text with bytes after its zero");
      near(FLLib.PConGetTextWidth(con, z("ABCDEFGH")), FLLib.PConGetTextWidth(con, raw("ABCDEFGH")), 0.001, "widths agree");
      near(48, FLLib.PConGetTextWidth(con, raw("ABCDEFGH")), 0.001, "eight Courier characters at 10 points");
      int idoc = open(FLLib.PDocGetOutputBytes(doc));
      FLLib.PDocRelease(doc);
      List<FLTextToken> found = tokens(idoc);
      check(token(found, "ABCDEFGH") != null, "ABCDEFGH read back: " + JavaTests.joined(found));
      check(token(found, "DE") != null, "DE read back: " + JavaTests.joined(found));
      FLLib.IDocClose(idoc);
    });

    add("textTokenFieldsDescribeTheToken", () -> {
      int idoc = open(pages("Hello", "World"));
      FLTextToken t = new FLTextToken();
      equal(0, t.IDocReadTextToken(idoc), "first token");
      equal("Hello", t.Text, "text");
      equal("Helvetica", t.Font, "font");
      equal(1, t.Page, "page");
      equal((short) 0, t.Orientation, "orientation");
      near(72, t.X, 0.01, "x");
      near(700, t.Y, 3, "y");
      check(t.W > 20 && t.H > 5, "box " + t.W + " x " + t.H);
      equal(5, t.CharRightPos.length, "one right edge per character");
      for (int i = 1; i < t.CharRightPos.length; i++) check(t.CharRightPos[i] > t.CharRightPos[i - 1], "edges grow");
      near(t.W, t.CharRightPos[4], 0.01, "the last edge is the width");
      int code = 0;
      int reads = 0;
      while (code == 0 && reads++ < 100) code = t.IDocReadTextToken(idoc);
      equal(NO_SUCH_PAGE, code, "after the last page");
      equal(0, t.CharRightPos.length, "an empty token has no edges");
      equal("", t.Text, "an empty token has no text");
      FLLib.IDocClose(idoc);
      equal(MISSING_HANDLE, t.IDocReadTextToken(idoc), "closed input");
    });

    add("handlesOfTheWrongKindAreRefused", () -> {
      int doc = FLLib.PDocNew(null, new int[1]);
      int con = FLLib.PDocGetContentHandle(doc);
      equal(MISSING_HANDLE, FLLib.PConPutText(doc, z("x")), "document handle as content");
      equal(MISSING_HANDLE, FLLib.PDocNewPage(con), "content handle as document");
      equal(0, FLLib.IDocNumPages(doc), "document handle as input");
      equal(MISSING_HANDLE, FLLib.IDocLastError(0), "no input");
      equal(0, FLLib.PDocLastError(0), "no document");
      equal(MISSING_HANDLE, FLLib.PDocAttach(doc, doc), "document attached to itself");
      equal(0, FLLib.PDocRelease(doc), "release");
      equal(MISSING_HANDLE, FLLib.PDocRelease(doc), "second release");
    });
  }

  private EdgeCasesTest() {}
}
