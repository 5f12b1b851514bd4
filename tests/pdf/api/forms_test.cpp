// Form fields through the C interface: reading, filling with new appearances,
// adding and deleting fields, form fonts, carrying forms on merge, and forms
// damaged in the ways hostile files are (loops, broken appearances, huge values).
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>

#include "pdf/PdfBuilder.h"
#include "pdf/PdfScan.h"
#include "pdf/api/folian32.h"

using namespace folian::test;

namespace {

// A one-page file whose catalog has a form with `fields`; objects 5 and up are
// the caller's. Object 9 is the /Helv font of the form's resources.
std::string FormFile(const std::map<int, std::string>& objects, const std::string& fields,
                     const std::string& annots, const std::string& formExtra = "/DA (/Helv 0 Tf 0 g)") {
  PdfBuilder pdf;
  pdf.Obj(1, "<< /Type /Catalog /Pages 2 0 R /AcroForm 4 0 R >>");
  pdf.Obj(2, "<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
  std::string page = "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Resources << >>";
  if (!annots.empty()) page += " /Annots [" + annots + "]";
  pdf.Obj(3, page + " >>");
  pdf.Obj(4, "<< /Fields [" + fields + "] /DR << /Font << /Helv 9 0 R >> >> " + formExtra + " >>");
  pdf.Obj(9, "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>");
  for (const auto& [number, body] : objects) pdf.Obj(number, body);
  int size = objects.empty() ? 10 : std::max(10, objects.rbegin()->first + 1);
  pdf.Xref("/Size " + std::to_string(size) + " /Root 1 0 R");
  return pdf.Bytes();
}

std::string Stream(const std::string& dict, const std::string& data) {
  return "<< " + dict + " /Length " + std::to_string(data.size()) + " >>\nstream\n" + data + "\nendstream";
}

FLHANDLE Open(const std::string& bytes) {
  int32_t error = 0;
  FLHANDLE input = IDocMemOpen(bytes.data(), static_cast<int32_t>(bytes.size()), &error);
  EXPECT_NE(input, 0u) << error;
  return input;
}

std::string Take(FLVBSTR text) {
  std::string out = text ? std::string(text, static_cast<size_t>(FLVBSTRLength(text))) : std::string();
  FLFreeVBSTR(text);
  return out;
}

std::string TestName() { return testing::UnitTest::GetInstance()->current_test_info()->name(); }

// Copies every page of the input into a new file and gives its bytes; the file
// must pass qpdf --check and refer to no missing object.
std::string CopyAll(FLHANDLE input, const std::string& tag = "") {
  std::string path = OutputPath("forms-" + TestName() + tag + ".pdf");
  int32_t error = 0;
  FLHANDLE doc = PDocNew(path.c_str(), 0, 0, &error);
  EXPECT_NE(doc, 0u);
  EXPECT_EQ(PDocAttach(doc, input), 0);
  EXPECT_EQ(PDocInputCopyPages(doc, 1, 0), 0);
  EXPECT_EQ(PDocRelease(doc), 0);
  std::string bytes = ReadFile(path);
  EXPECT_TRUE(DanglingRefs(bytes).empty()) << path;
  std::string report;
  EXPECT_EQ(RunCommand("qpdf --check " + path + " 2>&1", &report), 0) << report;
  return bytes;
}

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

const char* kCheckAp = "<< /N << /Yes 7 0 R /Off 8 0 R >> >>";

// A text field with a bordered appearance and a check box.
std::string TextAndCheckBox() {
  return FormFile(
      {{5, "<< /Type /Annot /Subtype /Widget /FT /Tx /T (name) /TU (Your name) /V (old) /Ff 2 /F 4 /Q 2 "
           "/DA (/Helv 10 Tf 0 g) /Rect [100 700 200 720] /P 3 0 R /AP << /N 6 0 R >> >>"},
       {6, Stream("/Type /XObject /Subtype /Form /BBox [0 0 100 20]",
                  "0 G 1 w 0.5 0.5 99 19 re s /Tx BMC q BT /Helv 10 Tf (old) Tj ET Q EMC")},
       {7, Stream("/Type /XObject /Subtype /Form /BBox [0 0 12 12]", "0 0 12 12 re f")},
       {8, Stream("/Type /XObject /Subtype /Form /BBox [0 0 12 12]", "")},
       {10, "<< /Type /Annot /Subtype /Widget /FT /Btn /T (ok) /V /Off /AS /Off /Rect [100 600 112 612] /P 3 0 R "
            "/AP " + std::string(kCheckAp) + " >>"}},
      "5 0 R 10 0 R", "5 0 R 10 0 R");
}

}  // namespace

TEST(Forms, readsEntriesAndWidgetGeometry) {
  FLHANDLE input = Open(TextAndCheckBox());
  FLVBSTR name = nullptr, value = nullptr, description = nullptr;
  int32_t ff = 0, f = 0;
  ASSERT_EQ(IDocGetFormData(input, 1, &name, &value, &description, &ff, &f), 0);
  EXPECT_EQ(Take(name), "name");
  EXPECT_EQ(Take(value), "old");
  EXPECT_EQ(Take(description), "Your name");
  EXPECT_EQ(ff, 2);
  EXPECT_EQ(f, 4);
  ASSERT_EQ(IDocGetFormData(input, 2, &name, &value, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(Take(name), "ok");
  EXPECT_EQ(Take(value), "Off");  // a name value loses its slash
  EXPECT_EQ(IDocGetFormData(input, 3, &name, &value, nullptr, nullptr, nullptr), FL_ERR_PARAM_VALUE);

  float x, y, w, h, size;
  int32_t page, font, q;
  ASSERT_EQ(IDocGetFormBox(input, "name", 0, &x, &y, &w, &h, &page, &font, &size, &q, &ff, &f), 0);
  EXPECT_EQ(x, 100);
  EXPECT_EQ(y, 700);
  EXPECT_EQ(w, 100);
  EXPECT_EQ(h, 20);
  EXPECT_EQ(page, 1);
  EXPECT_EQ(font, FLffHelv);
  EXPECT_EQ(size, 10);
  EXPECT_EQ(q, 2);
  EXPECT_EQ(IDocGetFormBox(input, "name", 2, &x, &y, &w, &h, &page, &font, &size, &q, &ff, &f), FL_ERR_PARAM_VALUE);
  EXPECT_EQ(IDocGetFormBox(input, "nobody", 1, &x, &y, &w, &h, &page, &font, &size, &q, &ff, &f), FL_ERR_PARAM_VALUE);
  EXPECT_EQ(IDocGetFormData(0, 1, &name, &value, nullptr, nullptr, nullptr), FL_ERR_MISSING_HANDLE);
  EXPECT_EQ(IDocClose(input), 0);

  // A file without a form.
  PdfBuilder plain;
  plain.Obj(1, "<< /Type /Catalog /Pages 2 0 R >>").Obj(2, "<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
  plain.Obj(3, "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 10 10] >>").Xref("/Size 4 /Root 1 0 R");
  FLHANDLE none = Open(plain.Bytes());
  EXPECT_EQ(IDocGetFormData(none, 1, &name, &value, nullptr, nullptr, nullptr), FL_ERR_INPUT_PART);
  EXPECT_EQ(IDocLastError(none), FL_ERR_INPUT_PART);
  IDocClose(none);
}

TEST(Forms, fillGivesValueAppearanceAndCheckBoxState) {
  FLHANDLE input = Open(TextAndCheckBox());
  EXPECT_EQ(IDocSetFormData(input, "name", "Ada", FLFlagFormLeaveAsIs, FLFlagAnnotLeaveAsIs), 0);
  EXPECT_EQ(IDocSetFormData(input, "ok", "Yes", 0, FLFlagAnnotLeaveAsIs), 0);
  EXPECT_EQ(IDocSetFormData(input, "missing", "x", -1, -1), FL_ERR_PARAM_VALUE);
  std::string out = CopyAll(input);
  EXPECT_NE(out.find("/V (Ada)"), std::string::npos);
  EXPECT_EQ(out.find("(old)"), std::string::npos) << "the old value is gone from value and appearance";
  // The border drawn before the text section stays; the text is right-aligned.
  size_t section = out.find("0 G 1 w 0.5 0.5 99 19 re s /Tx BMC q 1 1 98 18 re W n 0 g BT /Helv 10 Tf 0 g");
  ASSERT_NE(section, std::string::npos);
  EXPECT_NE(out.find("Td (Ada) Tj ET Q EMC", section), std::string::npos);
  EXPECT_NE(out.find("/AS /Yes"), std::string::npos);
  EXPECT_NE(out.find("/V /Yes"), std::string::npos);
  EXPECT_NE(out.find("/Ff 0"), std::string::npos);  // flags other than -1 replace /Ff
  EXPECT_NE(out.find("/AcroForm"), std::string::npos);
  EXPECT_NE(out.find("/DA (/Helv 0 Tf 0 g)"), std::string::npos);
  IDocClose(input);
}

TEST(Forms, checkBoxStateItDoesNotHaveBecomesOff) {
  for (const char* value : {"Maybe", "Off", ""}) {
    FLHANDLE input = Open(TextAndCheckBox());
    ASSERT_EQ(IDocSetFormData(input, "ok", value, -1, -1), 0);
    std::string out = CopyAll(input, value);
    EXPECT_NE(out.find("/AS /Off"), std::string::npos) << value;
    EXPECT_EQ(out.find("/Maybe"), std::string::npos) << value;
    IDocClose(input);
  }
}

TEST(Forms, addedFieldHasBoxAppearanceAndJoinsTheForm) {
  FLHANDLE input = Open(TextAndCheckBox());
  // Custom slots need a registered font; slots outside 0..15 do not exist.
  EXPECT_EQ(IDocAddTextField(input, "c", nullptr, 10, 10, 50, 20, 1, FLffCustom1, 10, 0, 0, 0, -1, -1),
            FL_ERR_INPUT_PART);
  EXPECT_EQ(IDocAddTextField(input, "c", nullptr, 10, 10, 50, 20, 1, 16, 10, 0, 0, 0, -1, -1), FL_ERR_PARAM_VALUE);
  EXPECT_EQ(IDocAddTextField(input, "c", nullptr, 10, 10, 50, 20, 9, FLffHelv, 10, 0, 0, 0, -1, -1),
            FL_ERR_NO_SUCH_PAGE);
  ASSERT_EQ(IDocSetFormFont(input, FLffUndefined, "Times-Bold"), 0);
  FLVBSTR font = nullptr;
  ASSERT_EQ(IDocGetFontName(input, FLffCustom1, &font), 0);
  EXPECT_EQ(Take(font), "Times-Bold");
  ASSERT_EQ(IDocAddTextField(input, "added", "New one", 300, 400, 100, 20, 1, FLffCustom1, 12, 1, 4096, 4, 0,
                             0x0000FF),
            0);
  float x, y, w, h, size;
  int32_t page, formFont, q, ff, f;
  ASSERT_EQ(IDocGetFormBox(input, "added", 1, &x, &y, &w, &h, &page, &formFont, &size, &q, &ff, &f), 0);
  EXPECT_EQ(page, 1);
  EXPECT_EQ(formFont, FLffCustom1);
  FLVBSTR name = nullptr;
  ASSERT_EQ(IDocGetFormData(input, 3, &name, nullptr, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(Take(name), "added");
  std::string out = CopyAll(input);
  EXPECT_NE(out.find("1 0 0 rg 0 0 100 20 re f 0 G 1 w 0.5 0.5 99 19 re s "), std::string::npos);
  EXPECT_NE(out.find("/T (added)"), std::string::npos);
  EXPECT_NE(out.find("/DA (/Ctm1 12 Tf 0 g)"), std::string::npos);
  EXPECT_NE(out.find("/BaseFont /Times-Bold"), std::string::npos);
  EXPECT_NE(out.find("/Ctm1"), std::string::npos);
  // qpdf finds the added field in the output's form, beside the file's own.
  std::string json;
  ASSERT_EQ(RunCommand("qpdf --json " + OutputPath("forms-" + TestName() + ".pdf") + " 2>/dev/null", &json), 0);
  EXPECT_NE(json.find("\"fullname\": \"added\""), std::string::npos);
  EXPECT_NE(json.find("\"fullname\": \"name\""), std::string::npos);
  EXPECT_NE(json.find("\"fullname\": \"ok\""), std::string::npos);
  IDocClose(input);
}

TEST(Forms, addedFieldOnPageWithoutAnnotsAndFilledBeforeCopy) {
  std::string bytes = FormFile({}, "", "");
  FLHANDLE input = Open(bytes);
  ASSERT_EQ(IDocAddTextField(input, "only", nullptr, 72, 72, 200, 24, 1, FLffCour, 0, 0, 0, 0, 0, 0xFFFFFF), 0);
  ASSERT_EQ(IDocSetFormData(input, "only", "typed", -1, -1), 0);
  std::string out = CopyAll(input);
  EXPECT_NE(out.find("/Annots ["), std::string::npos);
  EXPECT_NE(out.find("1 g 0 0 200 24 re f 0 G 1 w 0.5 0.5 199 23 re s /Tx BMC"), std::string::npos);
  EXPECT_NE(out.find("(typed) Tj"), std::string::npos);
  EXPECT_NE(out.find("/Cour"), std::string::npos);
  IDocClose(input);
}

TEST(Forms, deletedFieldIsLeftOutOnCopy) {
  FLHANDLE input = Open(TextAndCheckBox());
  EXPECT_EQ(IDocDeleteFormField(input, "nobody"), FL_ERR_PARAM_VALUE);
  ASSERT_EQ(IDocDeleteFormField(input, "ok"), 0);
  std::string out = CopyAll(input);
  EXPECT_EQ(out.find("/T (ok)"), std::string::npos);
  EXPECT_NE(out.find("/T (name)"), std::string::npos);
  IDocClose(input);
}

TEST(Forms, mergingTwoCopiesKeepsTwoIndependentFields) {
  std::string path = OutputPath("forms-merge-input.pdf");
  WriteFile(path, TextAndCheckBox());
  std::string outPath = OutputPath("forms-merged-twice.pdf");
  int32_t error = 0;
  FLHANDLE doc = PDocNew(outPath.c_str(), 0, 0, &error);
  ASSERT_EQ(PDocMerge(doc, path.c_str(), 1, 0), 0);
  ASSERT_EQ(PDocMerge(doc, path.c_str(), 1, 0), 0);
  ASSERT_EQ(PDocRelease(doc), 0);
  std::string out = ReadFile(outPath);
  EXPECT_TRUE(DanglingRefs(out).empty());
  EXPECT_EQ(Count(out, "/T (name)"), 1u);
  EXPECT_EQ(Count(out, "/T (name#2)"), 1u);
  EXPECT_EQ(Count(out, "/T (ok#2)"), 1u);
  EXPECT_EQ(Count(out, "/AcroForm"), 1u);
  size_t fields = out.find("/Fields [");
  ASSERT_NE(fields, std::string::npos);
  EXPECT_EQ(Count(out.substr(fields, out.find(']', fields) - fields), " R"), 4u);
}

TEST(Forms, hierarchicalNamesAndKidWidgets) {
  std::string bytes = FormFile(
      {{5, "<< /T (person) /Kids [6 0 R] >>"},
       {6, "<< /Parent 5 0 R /T (name) /FT /Tx /DA (/Helv 0 Tf 0 g) /Kids [7 0 R 8 0 R] >>"},
       {7, "<< /Type /Annot /Subtype /Widget /Parent 6 0 R /Rect [10 10 110 30] /P 3 0 R >>"},
       {8, "<< /Type /Annot /Subtype /Widget /Parent 6 0 R /Rect [10 50 110 70] /P 3 0 R >>"}},
      "5 0 R", "7 0 R 8 0 R");
  FLHANDLE input = Open(bytes);
  FLVBSTR full = nullptr, type = nullptr;
  int32_t page = 0;
  float rect[4];
  ASSERT_EQ(IDocGetFormField(input, 1, &full, &type, nullptr, nullptr, &page, rect), 0);
  EXPECT_EQ(Take(full), "person.name");
  EXPECT_EQ(Take(type), "Tx");
  EXPECT_EQ(page, 1);
  EXPECT_EQ(IDocGetFormField(input, 2, &full, nullptr, nullptr, nullptr, nullptr, nullptr), FL_ERR_PARAM_VALUE);
  float x, y, w, h, size;
  int32_t p, font, q, ff, f;
  // Kid widgets are named by their parent; the second instance is the second widget.
  ASSERT_EQ(IDocGetFormBox(input, "name", 2, &x, &y, &w, &h, &p, &font, &size, &q, &ff, &f), 0);
  EXPECT_EQ(y, 50);
  ASSERT_EQ(IDocSetFormData(input, "person.name", "both", -1, -1), 0);
  std::string out = CopyAll(input);
  // Each widget gets an appearance; the two are alike, so they are one object.
  EXPECT_EQ(Count(out, "/AP"), 2u);
  EXPECT_EQ(Count(out, "(both) Tj"), 1u);
  EXPECT_EQ(Count(out, "/V (both)"), 1u);  // the value sits on the field
  IDocClose(input);
}

// Damaged forms: every call gives a clear result and the copy stays valid.
TEST(Forms, hostileFormsGiveClearResults) {
  std::string big(1 << 20, 'w');
  struct Row {
    const char* what;
    std::map<int, std::string> objects;
    std::string fields;
    std::string annots;
    const char* name;
    int32_t setResult;
    const char* expected;  // in the copy ("!" first: not in it), or empty
  } rows[] = {
      {"kids loop", {{5, "<< /T (a) /Kids [6 0 R] >>"}, {6, "<< /T (b) /Parent 5 0 R /Kids [5 0 R 7 0 R] >>"},
                     {7, "<< /Type /Annot /Subtype /Widget /Parent 6 0 R /FT /Tx /DA (/Helv 9 Tf 0 g) "
                         "/Rect [0 0 50 20] /P 3 0 R >>"}},
       "5 0 R", "7 0 R", "a.b", 0, "(v) Tj"},
      {"parent loop", {{5, "<< /Type /Annot /Subtype /Widget /Parent 6 0 R /Rect [0 0 50 20] /P 3 0 R >>"},
                       {6, "<< /T (p) /Parent 5 0 R /Kids [5 0 R] >>"}},
       "6 0 R", "5 0 R", "p", 0, "/V (v)"},
      {"no Tf", {{5, "<< /Type /Annot /Subtype /Widget /T (t) /FT /Tx /DA (0 g) /Rect [0 0 50 20] /P 3 0 R >>"}},
       "5 0 R", "5 0 R", "t", 0, "!/V (v)"},  // left unchanged: nothing to draw the text with
      {"absurd size", {{5, "<< /Type /Annot /Subtype /Widget /T (t) /FT /Tx /DA (/Helv 99999999999999 Tf 0 g) "
                           "/Rect [0 0 50 20] /P 3 0 R >>"}},
       "5 0 R", "5 0 R", "t", 0, "/Helv 14.38 Tf"},
      {"short rect", {{5, "<< /Type /Annot /Subtype /Widget /T (t) /FT /Tx /DA (/Helv 0 Tf 0 g) /Rect [0 0 50] "
                          "/P 3 0 R >>"}},
       "5 0 R", "5 0 R", "t", 0, "1 1 198 18 re"},  // the 200 by 20 default box
      {"high bytes", {{5, "<< /Type /Annot /Subtype /Widget /T (\xe9t\xe9) /FT /Tx /Rect [0 0 50 20] /P 3 0 R >>"}},
       "5 0 R", "5 0 R", "\xe9t\xe9", 0, "/V (v)"},
      {"empty field list", {}, "", "", "x", FL_ERR_PARAM_VALUE, ""},
  };
  for (Row& row : rows) {
    SCOPED_TRACE(row.what);
    FLHANDLE input = Open(FormFile(row.objects, row.fields, row.annots));
    FLVBSTR name = nullptr;
    (void)IDocGetFormData(input, 1, &name, nullptr, nullptr, nullptr, nullptr);
    FLFreeVBSTR(name);
    float x, y, w, h, size;
    int32_t p, font, q, ff, f;
    (void)IDocGetFormBox(input, row.name, 1, &x, &y, &w, &h, &p, &font, &size, &q, &ff, &f);
    EXPECT_EQ(IDocSetFormData(input, row.name, "v", -1, -1), row.setResult);
    std::string out = CopyAll(input, std::string("-") + std::to_string(&row - rows));
    if (*row.expected == '!') {
      EXPECT_EQ(out.find(row.expected + 1), std::string::npos);
    } else if (*row.expected) {
      EXPECT_NE(out.find(row.expected), std::string::npos);
    }
    IDocClose(input);
  }
  // A megabyte value in a multi-line field: the appearance stays small, /V holds it all.
  FLHANDLE input = Open(FormFile({{5, "<< /Type /Annot /Subtype /Widget /T (m) /FT /Tx /Ff 4096 "
                                      "/DA (/Helv 0 Tf 0 g) /Rect [0 0 100 40] /P 3 0 R >>"}},
                                 "5 0 R", "5 0 R"));
  ASSERT_EQ(IDocSetFormData(input, "m", big.c_str(), -1, -1), 0);
  std::string out = CopyAll(input, "-big");
  EXPECT_GT(out.size(), big.size());
  EXPECT_LT(out.size(), big.size() + 10000);
  IDocClose(input);
}

TEST(Forms, outputDocumentReachesItsCurrentInput) {
  std::string path = OutputPath("forms-pdoc.pdf");
  int32_t error = 0;
  FLHANDLE doc = PDocNew(path.c_str(), 0, 0, &error);
  FLVBSTR name = nullptr, value = nullptr;
  EXPECT_EQ(PDocInputGetFormData(doc, 1, &name, &value), FL_ERR_BAD_CALLING_SEQUENCE);
  EXPECT_EQ(PDocInputSetFormData(doc, "name", "x", -1, -1), FL_ERR_BAD_CALLING_SEQUENCE);
  EXPECT_EQ(PDocInputSetFormData(0, "name", "x", -1, -1), FL_ERR_MISSING_HANDLE);
  FLHANDLE input = Open(TextAndCheckBox());
  ASSERT_EQ(PDocAttach(doc, input), 0);
  ASSERT_EQ(PDocInputGetFormData(doc, 1, &name, &value), 0);
  EXPECT_EQ(Take(name), "name");
  EXPECT_EQ(Take(value), "old");
  float x, y, w, h, size;
  int32_t page, font, q, ff, f;
  ASSERT_EQ(PDocInputGetFormBox(doc, "ok", 0, &x, &y, &w, &h, &page, &font, &size, &q, &ff, &f), 0);
  EXPECT_EQ(w, 12);
  EXPECT_EQ(font, FLffHelv);  // the form's default appearance is the one in force
  EXPECT_EQ(PDocInputSetFormData(doc, "nobody", "x", -1, -1), FL_ERR_PARAM_VALUE);
  EXPECT_EQ(PDocLastError(doc), FL_ERR_PARAM_VALUE);
  ASSERT_EQ(PDocInputSetFormData(doc, "name", "Through the output", -1, -1), 0);
  ASSERT_EQ(PDocInputCopyPages(doc, 1, 0), 0);
  ASSERT_EQ(PDocRelease(doc), 0);
  EXPECT_NE(ReadFile(path).find("/V (Through the output)"), std::string::npos);
  IDocClose(input);
}
