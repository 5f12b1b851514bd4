package com.larkwell.pdf.fl;

import static com.larkwell.pdf.fl.JavaTests.add;
import static com.larkwell.pdf.fl.JavaTests.check;
import static com.larkwell.pdf.fl.JavaTests.equal;
import static com.larkwell.pdf.fl.JavaTests.file;
import static com.larkwell.pdf.fl.JavaTests.z;

import java.io.File;
import java.nio.charset.StandardCharsets;
import java.util.List;

/**
 * What a Java program does with the library from start to end: draws pages with
 * text and a table, fills a form field, merges two files under a header with page
 * numbers, adds bookmarks and links, reads the text back, and has the result
 * checked by qpdf and by the reference-integrity check.
 */
final class AcceptanceTest {
  private static final float[] BOX = new float[4];

  /** Page one: a title and a two-by-three table; page two: a closing line. */
  private static void drawReport(File target) {
    int[] err = new int[1];
    int doc = FLLib.PDocNew(z(target.getPath()), err);
    check(doc != 0, "report created (err " + err[0] + ")");
    equal(0, FLLib.PDocPageSize(doc, 595, 842), "A4 pages");
    FLLib.PDocSetInfo(doc, "Search report", "EP1033882", "Examiner", "patent, search");
    int con = FLLib.PDocGetContentHandle(doc);
    equal(0, FLLib.PConSetFont(con, z("Helvetica-Bold"), 16), "title font");
    equal(0, FLLib.PConSetTm(con, 1, 0, 0, 1, 72, 760), "title position");
    equal(0, FLLib.PConPutText(con, z("Search report")), "title");
    equal(0, FLLib.PConSetFont(con, z("Helvetica"), 10), "table font");
    equal(0, FLLib.PConGridDraw(con, 72, 700, 2, new short[] {120, 200, 100}), "table");
    String[][] cells = {{"Number", "Title", "Pages"}, {"EP1033882", "Toolkit", "12"}};
    for (int row = 0; row < 2; row++) {
      for (int column = 0; column < 3; column++) {
        equal(0, FLLib.PConGridText(con, row + 1, column + 1, z(cells[row][column]), column == 2 ? 2 : 0),
              "cell " + row + "," + column);
      }
    }
    equal(0, FLLib.PConSetLineWidth(con, 0.5f), "line width");
    equal(0, FLLib.PConSetLineColor(con, 0, 0, 1), "line colour");
    equal(0, FLLib.PConMoveTo(con, 72, 640), "move");
    equal(0, FLLib.PConDrawTo(con, 523, 640), "rule");
    equal(0, FLLib.PConDrawArea(con, false), "stroke");
    equal(0, FLLib.PDocNewPage(doc), "page two");
    con = FLLib.PDocGetContentHandle(doc);
    FLLib.PConSetFont(con, z("Times-Roman"), 12);
    FLLib.PConSetTm(con, 1, 0, 0, 1, 72, 760);
    equal(0, FLLib.PConPutText(con, z("End of report")), "closing line");
    equal(2, FLLib.PDocNumPages(doc), "report pages");
    equal(0, FLLib.PDocRelease(doc), "report written");
  }

  /** One page in memory that becomes an input with a text field added to it. */
  private static int formInput() {
    int doc = FLLib.PDocNew(null, new int[1]);
    int con = FLLib.PDocGetContentHandle(doc);
    FLLib.PConSetFont(con, z("Courier"), 12);
    FLLib.PConSetTm(con, 1, 0, 0, 1, 72, 720);
    FLLib.PConPutText(con, z("Applicant:"));
    int idoc = FLLib.IDocOpen(FLLib.PDocGetOutputBytes(doc), new int[1]);
    FLLib.PDocRelease(doc);
    equal(0, FLLib.IDocAddTextField(idoc, "Applicant", "Name of the applicant", 160, 712, 200, 20, 1, 0, 12, 0, 0,
                                    4, 0, 0xFFFFFF), "text field added");
    return idoc;
  }

  static void register() {
    add("drawMergeMarkFillAndReadBack", () -> {
      File report = file("acceptance-report.pdf");
      File merged = file("acceptance-merged.pdf");
      drawReport(report);

      int[] err = new int[1];
      int doc = FLLib.PDocNew(z(merged.getPath()), err);
      check(doc != 0, "merged document created (err " + err[0] + ")");
      int header = FLLib.PDocGetHeaderHandle(doc);
      equal(0, FLLib.PConSetFont(header, z("Helvetica-Oblique"), 8), "header font");
      equal(0, FLLib.PConSetTm(header, 1, 0, 0, 1, 72, 810), "header position");
      equal(0, FLLib.PConPutText(header, z("Patent bundle")), "header text");
      equal(0, FLLib.PDocPutPageNumbers(doc, "Page %p", 500, 20, 1, 0), "page numbers");
      // A cover page of the document's own, with links to what follows.
      int cover = FLLib.PDocGetContentHandle(doc);
      FLLib.PConSetFont(cover, z("Helvetica-Bold"), 20);
      FLLib.PConSetTm(cover, 1, 0, 0, 1, 72, 700);
      equal(0, FLLib.PConPutText(cover, z("Contents")), "cover title");
      FLLib.PConSetFont(cover, z("Helvetica"), 12);
      FLLib.PConSetTm(cover, 1, 0, 0, 1, 72, 660);
      FLLib.PConPutText(cover, z("Form"));
      equal(0, FLLib.PDocAddGoToLink(doc, 1, new float[] {72, 655, 192, 675}, 4, 0, 800, 1), "link to page 4");
      equal(0, FLLib.PDocAddWebLink(doc, 1, new float[] {72, 690, 300, 720}, "https://example.org/EP1033882", 0),
            "web link");
      equal(0, FLLib.PDocNewPage(doc), "cover done");
      equal(0, FLLib.PDocMerge(doc, z(report.getPath()), 1, FLLib.LAST_PAGE), "report merged");
      int idoc = formInput();
      equal(0, FLLib.PDocAttach(doc, idoc), "form input attached");
      equal(0, FLLib.PDocInputSetFormData(doc, z("Applicant"), z("Larkwell Ltd"), -1, -1), "field filled");
      equal(0, FLLib.PDocInputCopyPages(doc, 1, 1), "form page copied");
      equal(4, FLLib.PDocNumPages(doc), "pages merged");
      equal(0, FLLib.PDocAddGoToBookmark(doc, z("Search report"), 0, 2, 0, 842), "bookmark 1");
      equal(0, FLLib.PDocAddGoToBookmark(doc, z("Last page of the report"), 1, 3, 0, 842), "bookmark 2 below 1");
      equal(0, FLLib.PDocAddGoToBookmark(doc, z("Form"), 0, 4, 0, 842), "bookmark 3");
      equal(0, FLLib.PDocAddWebBookmark(doc, z("Register"), 0, z("https://example.org/register")), "web bookmark");
      equal(0, FLLib.PDocAddNullBookmark(doc, z("Notes"), 0), "plain bookmark");
      equal(0, FLLib.PDocClose(doc), "merged document closed");
      equal(0, FLLib.PDocRelease(doc), "released");

      // Read back: text tokens of every page, the field's value.
      int in = FLLib.IDocOpen(z(merged.getPath()), err);
      check(in != 0, "merged document opens (err " + err[0] + ")");
      equal(4, FLLib.IDocNumPages(in), "pages");
      List<FLTextToken> found = JavaTests.tokens(in);
      String text = JavaTests.joined(found);
      for (String expected : new String[] {"Search report", "Number", "EP1033882", "Toolkit", "12", "End of report",
                                           "Applicant:", "Patent bundle", "Contents"}) {
        check(JavaTests.token(found, expected) != null, "\"" + expected + "\" read back from: " + text);
      }
      int numbered = 0;
      for (FLTextToken t : found) {
        if (t.Text.equals("Page " + (t.Page - 1)) || t.Text.equals("Page " + t.Page)) numbered++;
      }
      equal(3, numbered, "copied pages carry their numbers: " + text);
      Object[] field = FLLib.IDocGetFormData(in, 1);
      check(field != null && field.length == 3, "form data of field 1");
      if (field != null) {
        equal("Applicant", new String((byte[]) field[0], StandardCharsets.ISO_8859_1), "field name");
        equal("Larkwell Ltd", new String((byte[]) field[1], StandardCharsets.ISO_8859_1), "field value");
      }
      float[] values = new float[10];
      equal(0, FLLib.IDocGetFormBox(in, z("Applicant"), 1, values), "field box");
      equal(160f, values[0], "field x");
      equal(200f, values[2], "field width");
      equal(4f, values[4], "field page");
      FLLib.IDocAcquirePage(in, 1);
      equal(0, FLLib.IDocMediaBox(in, BOX), "media box");
      equal(842f, BOX[3], "A4 height");
      FLLib.IDocClose(in);

      // Other readers: structure, references, bookmarks and links.
      StringBuilder output = new StringBuilder();
      equal(0, JavaTests.run(output, "qpdf", "--check", merged.getPath()), "qpdf --check: " + output);
      output.setLength(0);
      String checkRefs = System.getProperty("folian.checkRefs");
      equal(0, JavaTests.run(output, checkRefs, merged.getPath(), report.getPath()), "check-refs: " + output);
      output.setLength(0);
      equal(0, JavaTests.run(output, "qpdf", "--json", "--json-key=outlines", merged.getPath()), "qpdf --json");
      for (String title : new String[] {"Search report", "Last page of the report", "Form", "Register", "Notes"}) {
        check(output.indexOf("\"title\": \"" + title + "\"") >= 0, "bookmark " + title);
      }
      String bytes = new String(JavaTests.read(merged), StandardCharsets.ISO_8859_1);
      check(bytes.contains("/URI (https://example.org/EP1033882)"), "web link's address");
      check(bytes.contains("/Subtype /Link"), "link annotations");
    });
  }

  private AcceptanceTest() {}
}
