// The IDoc, TToken and Content automation classes through Invoke: the guards,
// the error tables, optional arguments with their defaults, and what the content
// members write into the page.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "pdf/api/automation/AutoClasses.h"
#include "pdf/api/automation/Dispatch.h"

using namespace folian::automation;

namespace {

// Calls a member by name; the HRESULT goes to *hr when asked for, else it must be S_OK.
Variant Call(DispatchObject& object, const char* name, std::vector<Variant> args = {}, HRESULT* hr = nullptr) {
  int32_t dispid = -1;
  const char* names[] = {name};
  EXPECT_EQ(object.GetIDsOfNames(names, 1, &dispid), S_OK) << name;
  Variant result;
  HRESULT got = object.Invoke(dispid, FL_DISPATCH_METHOD, args, nullptr, 0, result);
  if (hr)
    *hr = got;
  else
    EXPECT_EQ(got, S_OK) << name;
  return result;
}

int32_t ErrCode(DispatchObject& object) { return static_cast<int32_t>(Call(object, "ErrCode").Integer()); }

Variant Bytes(const std::string& text, int32_t lowerBound = 0) {
  return Variant::Bytes(std::vector<uint8_t>(text.begin(), text.end()), lowerBound);
}

// An output document in memory, uncompressed so its page can be searched, and a
// Content object bound to its page or header.
struct Page {
  FLHANDLE doc = PDocNew(nullptr, 0, 0, nullptr);
  Ref<DispatchObject> content = NewContent();
  explicit Page(bool header = false) {
    PDocCompress(doc, 0);
    BindContent(*content, header ? PDocGetHeaderHandle(doc) : PDocGetContentHandle(doc));
  }
  ~Page() {
    BindContent(*content, 0);
    PDocRelease(doc);
  }
  // The finished file.
  std::string Close() {
    BindContent(*content, 0);
    int32_t length = 0;
    FLVBSTR bytes = PDocCloseB(doc, &length);
    std::string file = bytes ? std::string(bytes, static_cast<size_t>(length)) : std::string();
    FLFreeVBSTR(bytes);
    return file;
  }
};

// A two-page document: "Hello" and "World" far apart on page 1, "Second" on page 2.
std::string TwoPageFile() {
  FLHANDLE doc = PDocNew(nullptr, 0, 0, nullptr);
  FLHANDLE c = PDocGetContentHandle(doc);
  PConSetFont(c, "Helvetica", 10);
  PConSetTm(c, 1, 0, 0, 1, 100, 700);
  PConPutText(c, "Hello");
  PConSetTm(c, 1, 0, 0, 1, 300, 500);
  PConPutText(c, "World");
  PDocNewPage(doc);
  c = PDocGetContentHandle(doc);
  PConSetFont(c, "Courier", 12);
  PConSetTm(c, 1, 0, 0, 1, 50, 50);
  PConPutText(c, "Second");
  int32_t length = 0;
  FLVBSTR bytes = PDocCloseB(doc, &length);
  std::string file(bytes, static_cast<size_t>(length));
  FLFreeVBSTR(bytes);
  PDocRelease(doc);
  return file;
}

TEST(AutomationIDoc, WithoutAnInputEveryMemberReportsNoCurrentInput) {
  Ref<DispatchObject> idoc = NewIDoc();
  struct Case {
    const char* member;
    std::vector<Variant> args;
    int64_t result;  // the neutral answer, as an integer
  };
  const std::vector<Case> cases = {
      {"NumPages", {}, -1},      {"GoNextPage", {}, 0},         {"GoPage", {}, 0},
      {"NumColors", {}, -1},     {"GetRotate", {}, 0},          {"DeleteFormField", {Variant::String("x")}, 0},
      {"SetFormFont", {Variant::Int32(14), Variant::String("Times-Roman")}, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Call(*idoc, c.member, c.args).Integer(), c.result) << c.member;
    EXPECT_EQ(ErrCode(*idoc), pdErrNoCurrentInput) << c.member;
  }
  EXPECT_EQ(Call(*idoc, "GetToken").ObjectPtr(), nullptr);
  EXPECT_EQ(Call(*idoc, "GetFonts").Text(), "");
  EXPECT_EQ(ErrCode(*idoc), pdErrNoCurrentInput);
}

TEST(AutomationIDoc, FailedOpensMapTheStatusIntoErrCode) {
  Ref<DispatchObject> idoc = NewIDoc();
  EXPECT_EQ(Call(*idoc, "Open", {Variant::String(FOLIAN_TEST_OUTPUT "/no-such-file.pdf")}).Integer(), 0);
  EXPECT_EQ(ErrCode(*idoc), pdErrOS);
  EXPECT_EQ(Call(*idoc, "OpenMem", {Bytes("plain text, no PDF")}).Integer(), 0);
  EXPECT_EQ(ErrCode(*idoc), pdErrNotPDF);
  HRESULT hr = S_OK;
  Call(*idoc, "OpenMem", {Variant::String("%PDF-1.4")}, &hr);
  EXPECT_EQ(hr, E_INVALIDARG);  // a string is not a byte array
  EXPECT_EQ(Call(*idoc, "NumPages").Integer(), -1);
  EXPECT_EQ(ErrCode(*idoc), pdErrNoCurrentInput);
}

TEST(AutomationIDoc, OpenMemUsesEveryByteOfTheArrayAndKeepsACopy) {
  const std::string file = TwoPageFile();
  Ref<DispatchObject> idoc = NewIDoc();
  // A lower bound other than 0 changes nothing: the elements are the file.
  Variant bytes = Bytes(file, 1);
  EXPECT_EQ(Call(*idoc, "OpenMem", {bytes}).Integer(), -1);
  EXPECT_EQ(ErrCode(*idoc), pdSuccess);
  bytes = Variant();
  EXPECT_EQ(Call(*idoc, "NumPages").Integer(), 2);
  EXPECT_EQ(Call(*idoc, "GetInfoAttr", {Variant::String("Producer")}).Text(), "PDF Folian");
  EXPECT_EQ(ErrCode(*idoc), pdSuccess);
  EXPECT_EQ(Call(*idoc, "GetInfoAttr", {Variant::String("Subject")}).Text(), "");
  EXPECT_NE(ErrCode(*idoc), pdSuccess);  // absent: the lookup's failure
  EXPECT_EQ(Call(*idoc, "GetFonts").Text(), "Courier\rHelvetica");

}

TEST(AutomationIDoc, PagesBoxesAndColoursNeedASelectedPage) {
  Ref<DispatchObject> idoc = NewIDoc();
  ASSERT_EQ(Call(*idoc, "OpenMem", {Bytes(TwoPageFile())}).Integer(), -1);
  EXPECT_EQ(Call(*idoc, "NumColors").Integer(), -1);
  EXPECT_EQ(ErrCode(*idoc), pdErrNoCurrentPage);
  Variant left = Variant::Float(9), bottom, right = Variant::Float(9), top;
  Call(*idoc, "GetMediaBox", {Variant::ByRef(&left), Variant::ByRef(&bottom), Variant::ByRef(&right), Variant::ByRef(&top)});
  EXPECT_EQ(ErrCode(*idoc), pdErrNoCurrentPage);
  EXPECT_EQ(left.Real(), 0);
  EXPECT_EQ(right.Real(), 0);

  EXPECT_EQ(Call(*idoc, "GoPage").Integer(), -1);  // PageNumber defaults to 1
  EXPECT_EQ(ErrCode(*idoc), pdSuccess);
  Call(*idoc, "GetVisibleBox", {Variant::ByRef(&left), Variant::ByRef(&bottom), Variant::ByRef(&right), Variant::ByRef(&top)});
  EXPECT_EQ(right.Real(), 595);
  EXPECT_EQ(top.Real(), 842);
  EXPECT_EQ(Call(*idoc, "GetRotate").Integer(), 0);
  EXPECT_EQ(Call(*idoc, "NumColors").Integer(), 0);
  EXPECT_EQ(Call(*idoc, "GetColor").Text(), "");
  EXPECT_EQ(Call(*idoc, "GoPage", {Variant::Int32(3)}).Integer(), 0);
  EXPECT_EQ(ErrCode(*idoc), pdErrOS);  // 1015 through the document table
  EXPECT_EQ(Call(*idoc, "GoPage", {Variant::Int32(0)}).Integer(), 0);
  EXPECT_EQ(ErrCode(*idoc), pdErrParamValue);
}

TEST(AutomationIDoc, TokensArePageBoundSnapshots) {
  Ref<DispatchObject> idoc = NewIDoc();
  ASSERT_EQ(Call(*idoc, "OpenMem", {Bytes(TwoPageFile())}).Integer(), -1);
  ASSERT_EQ(Call(*idoc, "GoPage", {Variant::Int32(1)}).Integer(), -1);
  Variant first = Call(*idoc, "GetToken");
  ASSERT_NE(first.ObjectPtr(), nullptr);
  DispatchObject& token = *first.ObjectPtr();
  EXPECT_EQ(Call(token, "Text").Text(), "Hello");
  EXPECT_EQ(Call(token, "Font").Text(), "Helvetica");
  EXPECT_FLOAT_EQ(static_cast<float>(Call(token, "X").Real()), 100);
  EXPECT_FLOAT_EQ(static_cast<float>(Call(token, "Y").Real()), 700);
  EXPECT_EQ(Call(token, "Width").Integer(), 22);  // 22.78 in whole points
  EXPECT_EQ(Call(token, "Height").Integer(), 10);
  EXPECT_EQ(Call(token, "Page").Integer(), 1);
  EXPECT_EQ(Call(token, "Orientation").Integer(), 0);
  // Right edges count characters from 1; outside the token they are 0.
  EXPECT_NEAR(Call(token, "CharRightPos", {Variant::Int32(1)}).Real(), 7.22, 0.01);  // "H"
  EXPECT_NEAR(Call(token, "CharRightPos", {Variant::Int32(5)}).Real(), 22.78, 0.01);
  EXPECT_EQ(Call(token, "CharRightPos", {Variant::Int32(0)}).Real(), 0);
  EXPECT_EQ(Call(token, "CharRightPos", {Variant::Int32(6)}).Real(), 0);

  Variant second = Call(*idoc, "GetToken");
  ASSERT_NE(second.ObjectPtr(), nullptr);
  EXPECT_EQ(Call(*second.ObjectPtr(), "Text").Text(), "World");
  // The page is done: no token, twice, and nothing of page 2 slips through.
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(Call(*idoc, "GetToken").ObjectPtr(), nullptr);
    EXPECT_EQ(ErrCode(*idoc), pdErrNoMoreData);
  }
  EXPECT_EQ(Call(*idoc, "GoNextPage").Integer(), -1);
  Variant third = Call(*idoc, "GetToken");
  ASSERT_NE(third.ObjectPtr(), nullptr);
  EXPECT_EQ(Call(*third.ObjectPtr(), "Text").Text(), "Second");
  EXPECT_EQ(Call(*third.ObjectPtr(), "Page").Integer(), 2);
  EXPECT_EQ(Call(*idoc, "GoNextPage").Integer(), 0);
  EXPECT_EQ(ErrCode(*idoc), pdErrNoCurrentPage);

  // A token outlives the document it came from.
  idoc = nullptr;
  EXPECT_EQ(Call(token, "Text").Text(), "Hello");
  Ref<DispatchObject> blank = NewTToken();
  EXPECT_EQ(Call(*blank, "Text").Text(), "");
  EXPECT_EQ(Call(*blank, "CharRightPos", {Variant::Int32(1)}).Real(), 0);
}

TEST(AutomationIDoc, FormFieldsAddedReadAndDeleted) {
  Ref<DispatchObject> idoc = NewIDoc();
  ASSERT_EQ(Call(*idoc, "OpenMem", {Bytes(TwoPageFile())}).Integer(), -1);
  // X, Y, W given; H = 16, Page = 1, Font = Helv and Size = 12 by default.
  EXPECT_EQ(Call(*idoc, "AddTextField",
                 {Variant::String("name"), Variant::String("Your name"), Variant::Float(50), Variant::Float(100),
                  Variant::Float(200)})
                .Integer(),
            -1);
  Variant x, y, w, h, page, font, size;
  EXPECT_EQ(Call(*idoc, "GetFormBox",
                 {Variant::String("name"), Variant::Missing(), Variant::ByRef(&x), Variant::ByRef(&y),
                  Variant::ByRef(&w), Variant::ByRef(&h), Variant::ByRef(&page), Variant::ByRef(&font),
                  Variant::ByRef(&size)})
                .Integer(),
            -1);
  EXPECT_EQ(x.Real(), 50);
  EXPECT_EQ(w.Real(), 200);
  EXPECT_EQ(h.Real(), 16);
  EXPECT_EQ(page.Integer(), 1);
  EXPECT_EQ(font.Integer(), 0);
  EXPECT_EQ(size.Real(), 12);
  Variant name = Variant::String("old"), data, description, multiline;
  EXPECT_EQ(Call(*idoc, "GetFormData",
                 {Variant::Int16(1), Variant::ByRef(&name), Variant::ByRef(&data), Variant::ByRef(&description),
                  Variant::ByRef(&multiline)})
                .Integer(),
            -1);
  EXPECT_EQ(name.Text(), "name");
  EXPECT_EQ(description.Text(), "Your name");
  EXPECT_EQ(multiline.Integer(), 0);
  EXPECT_EQ(Call(*idoc, "GetFormBox", {Variant::String("nosuch")}).Integer(), 0);
  EXPECT_EQ(ErrCode(*idoc), pdErrParamValue);
  EXPECT_EQ(Call(*idoc, "DeleteFormField", {Variant::String("nosuch")}).Integer(), 0);
  EXPECT_EQ(ErrCode(*idoc), pdErrParamValue);
  EXPECT_EQ(Call(*idoc, "DeleteFormField", {Variant::String("name")}).Integer(), 1);
  EXPECT_EQ(ErrCode(*idoc), pdSuccess);
}

TEST(AutomationIDoc, AnInputBorrowedFromAnOutputDocumentEndsWithIt) {
  const std::string file = TwoPageFile();
  const char* path = FOLIAN_TEST_OUTPUT "/automation-two-pages.pdf";
  FILE* out = std::fopen(path, "wb");
  ASSERT_NE(out, nullptr);
  std::fwrite(file.data(), 1, file.size(), out);
  std::fclose(out);
  Ref<DispatchObject> pdoc = NewPDoc();
  ASSERT_EQ(Call(*pdoc, "New").Integer(), -1);
  ASSERT_EQ(Call(*pdoc, "InputOpen", {Variant::String(path)}).Integer(), -1);
  Variant borrowed = Call(*pdoc, "Input");
  ASSERT_NE(borrowed.ObjectPtr(), nullptr);
  EXPECT_EQ(Call(*borrowed.ObjectPtr(), "NumPages").Integer(), 2);
  ASSERT_EQ(Call(*pdoc, "Close").Integer(), -1);
  EXPECT_EQ(Call(*borrowed.ObjectPtr(), "NumPages").Integer(), -1);
  EXPECT_EQ(ErrCode(*borrowed.ObjectPtr()), pdErrNoCurrentInput);

  // An object that opened a file of its own keeps it when the document closes.
  ASSERT_EQ(Call(*pdoc, "New").Integer(), -1);
  ASSERT_EQ(Call(*pdoc, "InputOpen", {Variant::String(path)}).Integer(), -1);
  Variant reopened = Call(*pdoc, "Input");
  ASSERT_NE(reopened.ObjectPtr(), nullptr);
  ASSERT_EQ(Call(*reopened.ObjectPtr(), "OpenMem", {Bytes(file)}).Integer(), -1);
  ASSERT_EQ(Call(*pdoc, "Close").Integer(), -1);
  EXPECT_EQ(Call(*reopened.ObjectPtr(), "NumPages").Integer(), 2);
}

TEST(AutomationContent, AnUnboundObjectAnswersNotBound) {
  Ref<DispatchObject> content = NewContent();
  for (const char* member : {"ErrCode", "PrintNewLine", "GetTextWidth", "DrawCmd"}) {
    HRESULT hr = S_OK;
    std::vector<Variant> args;
    if (std::string(member) == "GetTextWidth" || std::string(member) == "DrawCmd") args.push_back(Variant::String("x"));
    Call(*content, member, args, &hr);
    EXPECT_EQ(hr, E_NOT_BOUND) << member;
  }
}

TEST(AutomationContent, ErrCodeGoesThroughTheContentTableAndResets) {
  Page page;
  DispatchObject& c = *page.content;
  struct Step {
    const char* member;
    std::vector<Variant> args;
    int32_t errCode;
  };
  const std::vector<Step> steps = {
      {"DrawTo", {Variant::Float(1), Variant::Float(1)}, pdErrBadCallingSequence},  // no current point
      {"MoveTo", {Variant::Float(1), Variant::Float(1)}, pdSuccess},               // a changing member resets
      {"PrintText", {Variant::String("no font")}, pdErrBadCallingSequence},
      {"GetTextWidth", {Variant::String("x")}, pdErrBadCallingSequence},           // reads only: code stays
      {"SetLineCS", {Variant::String("Gold"), Variant::Float(1.5f)}, pdErrUnexpected},  // 1005
      {"SetFillCS", {Variant::String("Gold"), Variant::Float(-0.1f)}, pdErrUnexpected},
      {"SetLineCS", {Variant::String("Gold")}, pdErrUnexpected},  // no input holds that colour
      {"SetFont", {Variant::String("Helvetica"), Variant::Float(10)}, pdSuccess},
      {"CurveTo", {Variant::Float(1), Variant::Float(2), Variant::Float(3), Variant::Float(4), Variant::Missing(),
                   Variant::Missing(), Variant::Int32(3)}, pdErrUnexpected},
      {"SetFont", {}, pdErrUnexpected},  // no name and no size
      {"GridText", {Variant::Int16(1), Variant::Int16(1), Variant::String("x")}, pdErrBadCallingSequence},
  };
  for (const Step& s : steps) {
    Call(c, s.member, s.args);
    EXPECT_EQ(ErrCode(c), s.errCode) << s.member;
  }
  EXPECT_EQ(Call(c, "SetLineCS", {Variant::String("Gold"), Variant::Float(1.5f)}).Integer(), 0);
  EXPECT_EQ(Call(c, "PrintLogo").Integer(), pdErrNoLogoDefined);
  EXPECT_EQ(Call(c, "GridHeight", {Variant::Int16(3)}).Integer(), 36);  // (10 + 2) x 3
}

TEST(AutomationContent, MembersWriteTheirOperators) {
  Page page;
  DispatchObject& c = *page.content;
  unsigned char pixels[4] = {0, 80, 160, 255};
  ASSERT_EQ(PDocCreateImage(page.doc, 2, 2, 8, 0, pixels, 4, nullptr), 1);
  Call(c, "SetGrayLevel", {Variant::Float(2), Variant::Float(0.5f)});  // above 1: nothing
  Call(c, "SetGrayLevel", {Variant::Float(0.25f)});                    // fill stays (-1)
  Call(c, "MoveTo", {Variant::Float(10), Variant::Float(10)});
  Call(c, "CurveTo", {Variant::Float(1), Variant::Float(2), Variant::Float(3), Variant::Float(4), Variant::Float(5),
                      Variant::Float(6)});
  Call(c, "CurveTo", {Variant::Float(7), Variant::Float(8), Variant::Float(9), Variant::Float(10), Variant::Missing(),
                      Variant::Missing(), Variant::Int32(1)});
  Call(c, "CurveTo", {Variant::Float(11), Variant::Float(12), Variant::Float(13), Variant::Float(14),
                      Variant::Missing(), Variant::Missing(), Variant::Int32(2)});
  EXPECT_EQ(Call(c, "PrintImage", {Variant::Int32(1), Variant::Float(10), Variant::Float(20), Variant::Float(30),
                                   Variant::Float(40)})
                .Integer(),
            -1);
  EXPECT_EQ(Call(c, "PrintImage", {Variant::Int32(1), Variant::Float(10), Variant::Float(20)}).Integer(), -1);
  EXPECT_EQ(Call(c, "PrintImage", {Variant::Int32(2)}).Integer(), 0);
  EXPECT_EQ(ErrCode(c), pdErrUnexpected);
  Call(c, "SetFont", {Variant::String("Helvetica"), Variant::Float(10)});
  Call(c, "PrintText", {Variant::String("placed"), Variant::Float(72), Variant::Float(500)});
  // Widths 100, 50, 0, 80: the zero ends the columns, so there are two.
  Call(c, "PrintGrid", {Variant::Int16(72), Variant::Int16(400), Variant::Int16(2), Variant::Int16(100),
                        Variant::Int16(50), Variant::Int16(0), Variant::Int16(80)});
  EXPECT_EQ(ErrCode(c), pdSuccess);
  Call(c, "GridText", {Variant::Int16(1), Variant::Int16(2), Variant::String("two")});
  EXPECT_EQ(ErrCode(c), pdSuccess);
  Call(c, "GridText", {Variant::Int16(1), Variant::Int16(3), Variant::String("three")});
  EXPECT_EQ(ErrCode(c), pdErrUnexpected);

  const std::string file = page.Close();
  EXPECT_EQ(file.find(" 0.5 g"), std::string::npos);
  EXPECT_NE(file.find("0.25 G"), std::string::npos);
  EXPECT_NE(file.find("1 2 3 4 5 6 c"), std::string::npos);
  EXPECT_NE(file.find("7 8 9 10 v"), std::string::npos);
  EXPECT_NE(file.find("11 12 13 14 y"), std::string::npos);
  EXPECT_NE(file.find("q 30 0 0 40 10 20 cm\n"), std::string::npos);
  EXPECT_EQ(file.find("cm\nQ"), std::string::npos);  // the image sits between the matrix and Q
  EXPECT_NE(file.find("500 Tm"), std::string::npos);
  EXPECT_NE(file.find("(two) Tj"), std::string::npos);
  EXPECT_EQ(file.find("(three)"), std::string::npos);
}

TEST(AutomationContent, HeaderTextIsPlacedLikePageText) {
  Page page(true);
  Call(*page.content, "SetFont", {Variant::String("Courier"), Variant::Float(8)});
  Call(*page.content, "PrintText", {Variant::String("header"), Variant::Float(20), Variant::Float(30)});
  EXPECT_EQ(ErrCode(*page.content), pdSuccess);
  Call(*page.content, "PrintText", {Variant::String("next")});
  EXPECT_EQ(ErrCode(*page.content), pdSuccess);
}

}  // namespace
