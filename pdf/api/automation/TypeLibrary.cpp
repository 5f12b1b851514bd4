// The type library's contents: identities, members in slot order, enumerations.
#include "pdf/api/automation/TypeLibrary.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <strings.h>

namespace folian::automation {

namespace {

using PT = ParamType;

ParamInfo In(const char* name, PT type) { return {name, type, kIn, 0}; }
ParamInfo Opt(const char* name, PT type) { return {name, type, kOptional, 0}; }
ParamInfo Def(const char* name, PT type, double value) { return {name, type, kHasDefault, value}; }
ParamInfo Out(const char* name, PT type) { return {name, type, kOut, 0}; }

MethodInfo M(const char* name, int32_t dispid, std::vector<ParamInfo> params, PT result = PT::kVoid,
             const char* resultName = nullptr) {
  return {name, dispid, std::move(params), result, resultName, false};
}
MethodInfo Prop(const char* name, int32_t dispid, PT type) { return {name, dispid, {}, type, name, true}; }

Guid G(const char* text) {
  auto g = Guid::Parse(text);
  if (!g) throw std::logic_error("bad built-in identifier");
  return *g;
}

const InterfaceInfo kIPDoc{
    "IPDoc",
    G("{848255D3-8230-11D3-9E6D-0060080C087D}"),
    {
        M("New", 2, {Opt("FileName", PT::kString), Def("PageWidth", PT::kInt32, 595), Def("PageHeight", PT::kInt32, 842)},
          PT::kBool, "Ok"),
        M("InputOpen", 3, {In("FileName", PT::kString)}, PT::kBool, "res"),
        M("HeaderClear", 6, {}),
        M("InputCopyPages", 7, {Def("FirstPage", PT::kInt16, 1), Def("LastPage", PT::kInt16, 32767)}, PT::kBool, "res"),
        M("SetInfo", 8,
          {Opt("Title", PT::kString), Opt("Subject", PT::kString), Opt("Author", PT::kString),
           Opt("Keywords", PT::kString)}),
        M("Close", 9, {}, PT::kBool, "res"),
        M("InputSetFormData", 10,
          {In("FieldName", PT::kString), In("Data", PT::kString), Def("Formflags", PT::kEnum, -1),
           Def("Annotflags", PT::kEnum, -1)},
          PT::kBool, "res"),
        M("Input", 11, {}, PT::kObject, "Input"),
        M("Attach", 12, {In("Input", PT::kObject)}, PT::kBool, "res"),
        M("SetLogoFile", 13, {In("FileName", PT::kString)}, PT::kBool, "res"),
        M("PageSize", 14, {In("Width", PT::kInt32), In("Height", PT::kInt32)}),
        M("NewPage", 15, {}),
        M("Header", 16, {}, PT::kObject, "Header"),
        M("Page", 17, {}, PT::kObject, "Page"),
        M("PutPageNumbers", 18,
          {In("Format", PT::kString), In("X", PT::kFloat), In("Y", PT::kFloat), Def("StartPage", PT::kInt32, 1),
           Def("Orientation", PT::kInt32, 0)}),
        M("AddWebLink", 19,
          {In("Page", PT::kInt32), In("Left", PT::kFloat), In("Bottom", PT::kFloat), In("Right", PT::kFloat),
           In("Top", PT::kFloat), In("URL", PT::kString), Opt("Style", PT::kInt32)}),
        M("PagesWritten", 20, {}, PT::kInt32, "PagesWritten"),
        M("Merge", 21, {In("FileName", PT::kString), Opt("StartPage", PT::kInt32), Opt("EndPage", PT::kInt32)},
          PT::kBool, "res"),
        M("SetAttr", 22, {In("Key", PT::kString), Opt("Value", PT::kString)}),
        M("InputCopyColor", 23, {In("Color", PT::kString)}, PT::kBool, "Done"),
        M("AddNullBookmark", 24, {In("Title", PT::kString), Def("Level", PT::kInt32, 0)}, PT::kBool, "Done"),
        M("AddWebBookmark", 25, {In("Title", PT::kString), Def("Level", PT::kInt32, 0), In("URL", PT::kString)},
          PT::kBool, "Done"),
        M("AddGotoBookmark", 26,
          {In("Title", PT::kString), Def("Level", PT::kInt32, 0), In("Page", PT::kInt32), Opt("X", PT::kInt32),
           Opt("Y", PT::kInt32)},
          PT::kBool, "Done"),
        M("AddGoToRBookmark", 27,
          {In("Title", PT::kString), Def("Level", PT::kInt32, 0), In("FileName", PT::kString), In("Page", PT::kInt32),
           Opt("X", PT::kInt32), Opt("Y", PT::kInt32)},
          PT::kBool, "Done"),
        M("AddOpenFileBookmark", 28,
          {In("Title", PT::kString), Def("Level", PT::kInt32, 0), In("FileName", PT::kString)}, PT::kBool, "Done"),
        M("AddGoToLink", 29,
          {In("Page", PT::kInt32), In("Left", PT::kFloat), In("Bottom", PT::kFloat), In("Right", PT::kFloat),
           In("Top", PT::kFloat), In("DestinationPage", PT::kInt32), Opt("X", PT::kInt32), Opt("Y", PT::kInt32),
           Opt("Style", PT::kInt32)}),
        M("AddGoToRLink", 30,
          {In("Page", PT::kInt32), In("Left", PT::kFloat), In("Bottom", PT::kFloat), In("Right", PT::kFloat),
           In("Top", PT::kFloat), In("DestinationFile", PT::kString), In("DestinationPage", PT::kInt32),
           Opt("X", PT::kInt32), Opt("Y", PT::kInt32), Opt("Style", PT::kInt32)}),
        M("CloseB", 31, {}, PT::kVariant, "PDFBytes"),
        M("CreateImage", 32,
          {In("Width", PT::kInt32), In("Height", PT::kInt32), In("bits", PT::kInt16), In("Color", PT::kInt16),
           In("ImageData", PT::kVariant), Opt("Palette", PT::kVariant)},
          PT::kInt32, "ImageID"),
        M("InputCopyBookmarks", 33, {Def("Level", PT::kInt32, 0)}),
        M("ErrCode", 1, {}, PT::kEnum, "ErrCode"),
    }};

const InterfaceInfo kIIDoc{
    "IIDoc",
    G("{848255D6-8230-11D3-9E6D-0060080C087D}"),
    {
        M("Open", 1, {In("FileName", PT::kString)}, PT::kBool, "res"),
        M("GetFormData", 2,
          {In("FieldNum", PT::kInt16), Out("FieldName", PT::kString), Out("FieldData", PT::kString),
           Out("FieldDescription", PT::kString), Out("multiline", PT::kBool)},
          PT::kBool, "res"),
        M("ErrCode", 3, {}, PT::kEnum, "ErrCode"),
        M("GetFormBox", 4,
          {Opt("FieldName", PT::kString), Def("Instance", PT::kInt16, 0), Out("X", PT::kFloat), Out("Y", PT::kFloat),
           Out("W", PT::kFloat), Out("H", PT::kFloat), Out("Page", PT::kInt16), Out("Fontname", PT::kEnum),
           Out("Fontsize", PT::kFloat), Out("Alignment", PT::kInt16), Out("Formflag", PT::kInt32),
           Out("Annotflags", PT::kInt32)},
          PT::kBool, "r"),
        M("NumPages", 5, {}, PT::kInt32, "NumPages"),
        M("GoNextPage", 6, {}, PT::kBool, "res"),
        M("GoPage", 7, {Def("PageNumber", PT::kInt32, 1)}, PT::kBool, "res"),
        M("GetToken", 8, {}, PT::kObject, "Token"),
        M("AddTextField", 12,
          {In("FieldName", PT::kString), Opt("Description", PT::kString), In("X", PT::kFloat), In("Y", PT::kFloat),
           In("W", PT::kFloat), Def("H", PT::kFloat, 16), Def("Page", PT::kInt32, 1), Def("Font", PT::kEnum, 0),
           Def("Size", PT::kFloat, 12), Def("Alignment", PT::kInt32, 0), Def("Ff", PT::kInt32, 0),
           Def("F", PT::kInt32, 0), Def("BorderRGB", PT::kInt32, -1), Def("BackgroundRGB", PT::kInt32, -1)},
          PT::kBool, "res"),
        M("SetFormFont", 13, {Def("FontID", PT::kEnum, 14), In("Basefont", PT::kString)}, PT::kBool, "res"),
        M("GetFonts", 14, {}, PT::kString, "Fonts"),
        M("GetFontName", 15, {In("FontID", PT::kInt32)}, PT::kString, "Name"),
        M("GetInfoAttr", 16, {In("Key", PT::kString)}, PT::kString, "Value"),
        M("NumColors", 17, {}, PT::kInt32, "NumColors"),
        M("GetColor", 18, {Def("Index", PT::kInt32, 1)}, PT::kString, "Name"),
        M("DeleteFormField", 19, {In("Name", PT::kString)}, PT::kBool, "res"),
        M("OpenMem", 20, {In("PDFBytes", PT::kVariant)}, PT::kBool, "res"),
        M("GetMediaBox", 9,
          {Out("Left", PT::kFloat), Out("Bottom", PT::kFloat), Out("Right", PT::kFloat), Out("Top", PT::kFloat)}),
        M("GetRotate", 10, {}, PT::kInt16, "Rotate"),
        M("GetVisibleBox", 11,
          {Out("Left", PT::kFloat), Out("Bottom", PT::kFloat), Out("Right", PT::kFloat), Out("Top", PT::kFloat)}),
    }};

const InterfaceInfo kITToken{"ITToken",
                             G("{CC3194B0-87C8-11D3-9E72-0060080C087D}"),
                             {
                                 Prop("Text", 1, PT::kString),
                                 Prop("Font", 2, PT::kString),
                                 Prop("X", 3, PT::kFloat),
                                 Prop("Y", 4, PT::kFloat),
                                 Prop("Width", 5, PT::kInt16),
                                 Prop("Height", 6, PT::kInt16),
                                 Prop("Page", 7, PT::kInt32),
                                 Prop("Orientation", 8, PT::kInt32),
                                 M("CharRightPos", 9, {In("CharPos", PT::kInt32)}, PT::kFloat, "Pos"),
                             }};

const InterfaceInfo kIContent{
    "IContent",
    G("{EF83B483-8ED6-11D3-B928-ECF40F000000}"),
    {
        M("SetFont", 1, {Opt("Fontname", PT::kString), Opt("Size", PT::kFloat)}, PT::kBool, "res"),
        M("PrintText", 2, {In("Text", PT::kString), Opt("X", PT::kFloat), Opt("Y", PT::kFloat)}),
        M("GetTextWidth", 3, {In("Text", PT::kString)}, PT::kFloat, "Width"),
        M("SetLineSpacing", 4, {In("TL", PT::kFloat)}),
        M("PrintNewLine", 5, {}),
        M("SetTm", 6,
          {In("a", PT::kFloat), In("b", PT::kFloat), In("c", PT::kFloat), In("d", PT::kFloat), In("X", PT::kFloat),
           In("Y", PT::kFloat)}),
        M("MoveTo", 7, {In("X", PT::kFloat), In("Y", PT::kFloat)}),
        M("DrawTo", 8, {In("X", PT::kFloat), In("Y", PT::kFloat)}),
        M("SetGrayLevel", 9, {Def("GrayLine", PT::kFloat, -1), Def("GrayFill", PT::kFloat, -1)}),
        M("DrawRect", 10,
          {In("X", PT::kFloat), In("Y", PT::kFloat), In("W", PT::kFloat), In("H", PT::kFloat),
           Def("Flags", PT::kEnum, 0)}),
        M("PrintLogo", 11, {Def("Num", PT::kInt16, 1)}, PT::kEnum, "Result"),
        M("SetLineWidth", 12, {In("Width", PT::kFloat)}),
        M("GridHeight", 13, {In("NrRows", PT::kInt16)}, PT::kInt16, "Height"),
        M("PrintGrid", 14,
          {In("X", PT::kInt16), In("Y", PT::kInt16), In("NrRows", PT::kInt16), In("ColWidth1", PT::kInt16),
           Opt("ColWidth2", PT::kInt16), Opt("ColWidth3", PT::kInt16), Opt("ColWidth4", PT::kInt16)}),
        M("GridText", 15,
          {In("Row", PT::kInt16), In("Column", PT::kInt16), In("Text", PT::kString), Def("Alignment", PT::kInt16, 0)}),
        M("DrawCmd", 16, {In("PDFCommand", PT::kString)}),
        M("TextCmd", 17, {In("PDFCommand", PT::kString)}),
        M("ErrCode", 18, {}, PT::kEnum, "ErrCode"),
        M("SetLineColor", 19, {In("Red", PT::kFloat), In("Green", PT::kFloat), In("Blue", PT::kFloat)}),
        M("SetFillColor", 20, {In("Red", PT::kFloat), In("Green", PT::kFloat), In("Blue", PT::kFloat)}),
        M("SetLineCS", 21, {In("Color", PT::kString), Def("scn", PT::kFloat, 1)}, PT::kBool, "Done"),
        M("SetFillCS", 22, {In("Color", PT::kString), Def("scn", PT::kFloat, 1)}, PT::kBool, "Done"),
        M("SetCharSpacing", 23, {In("Value", PT::kFloat)}),
        M("SetWordSpacing", 24, {In("Value", PT::kFloat)}),
        M("SetTz", 25, {In("Value", PT::kFloat)}),
        M("DrawArea", 26, {Def("Clip", PT::kBool, 0)}),
        M("CurveTo", 27,
          {In("x1", PT::kFloat), In("y1", PT::kFloat), In("x2", PT::kFloat), In("y2", PT::kFloat),
           Opt("x3", PT::kFloat), Opt("Y", PT::kFloat), Def("type", PT::kEnum, 0)},
          PT::kBool, "res"),
        M("PrintImage", 28,
          {In("ID", PT::kInt32), Opt("X", PT::kFloat), Opt("Y", PT::kFloat), Opt("W", PT::kFloat),
           Opt("H", PT::kFloat)},
          PT::kBool, "res"),
    }};

const TypeLibrary kLibrary{
    "FOLIANLib",
    G("{848255C3-8230-11D3-9E6D-0060080C087D}"),
    1,
    0,
    1033,
    "Folian 2.14 Type Library",
    {
        {"PDoc", "PDoc Class", G("{848255D4-8230-11D3-9E6D-0060080C087D}"), "Folian.PDoc.1", "Folian.PDoc", &kIPDoc,
         "Both", false},
        {"IDoc", "IDoc Class", G("{848255D7-8230-11D3-9E6D-0060080C087D}"), "Folian.IDoc.1", "Folian.IDoc", &kIIDoc,
         "Both", false},
        {"TToken", "TToken Class", G("{CC3194B1-87C8-11D3-9E72-0060080C087D}"), "Folian.TToken.1", "Folian.TToken",
         &kITToken, "Apartment", true},
        {"Content", "Content Class", G("{EF83B484-8ED6-11D3-B928-ECF40F000000}"), "Folian.Content.1",
         "Folian.Content", &kIContent, "Apartment", true},
    },
    {
        {"ErrorType",
         {{"pdSuccess", 0},
          {"pdErrFileAccess", 1},
          {"pdErrNotPDF", 2},
          {"pdErrUnexpectedStructure", 3},
          {"pdErrBadTrailer", 4},
          {"pdErrBadXref", 5},
          {"pdErrNullRef", 6},
          {"pdErrParamValue", 7},
          {"pdErrReadingObject", 8},
          {"pdErrAlreadyWritten", 9},
          {"pdErrOutputNotOpen", 10},
          {"pdErrNoCurrentInput", 11},
          {"pdErrBadCallingSequence", 12},
          {"pdErrNoMemory", 13},
          {"pdErrException", 14},
          {"pdErrMissingParameter", 15},
          {"pdErrNoLogoDefined", 16},
          {"pdErrInsufficentFontData", 17},
          {"pdErrIllegalFont", 18},
          {"pdErrNoMoreData", 19},
          {"pdErrNoCurrentPage", 20},
          {"pdErrOS", 21},
          {"pdErrInternal", 22},
          {"pdErrUnexpected", 23},
          {"pdErrInputOutput", 24}}},
        {"FLFormFlags",
         {{"FLFlagFormLeaveAsIs", -1},
          {"FLFlagFormReadonly", 1},
          {"FLFlagFormRequired", 2},
          {"FLFlagFormNoExport", 4},
          {"FLFlagFormMultiline", 4096}}},
        {"FLAnnotFlags",
         {{"FLFlagAnnotLeaveAsIs", -1},
          {"FLFlagAnnotInvisible", 1},
          {"FLFlagAnnotHidden", 2},
          {"FLFlagAnnotPrintable", 4}}},
        {"FLFormFontType",
         {{"FLffHelv", 0},
          {"FLffHeBo", 1},
          {"FLffHeObl", 2},
          {"FLffHeBObl", 3},
          {"FLffCour", 4},
          {"FLffCoBo", 5},
          {"FLffCoOb", 6},
          {"FLffCoBObl", 7},
          {"FLffTiRo", 8},
          {"FLffTiBo", 9},
          {"FLffTiIt", 10},
          {"FLffTiBI", 11},
          {"FLffZaDb", 12},
          {"FLffSymb", 13},
          {"FLffCustom1", 14},
          {"FLffCustom2", 15},
          {"FLffUndefined", -1}}},
        {"FLCurveType", {{"FLCurveTypeC", 0}, {"FLCurveTypeV", 1}, {"FLCurveTypeY", 2}}},
        {"ShapeFlags", {{"doFill", 0}, {"doBorderAndFill", 1}, {"doBorder", 2}}},
    }};

int Hex(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

std::optional<Guid> Guid::Parse(const std::string& text) {
  std::string t = text;
  if (t.size() == 38 && t.front() == '{' && t.back() == '}') t = t.substr(1, 36);
  if (t.size() != 36) return std::nullopt;
  uint8_t raw[16];
  size_t n = 0;
  for (size_t i = 0; i < t.size();) {
    if (i == 8 || i == 13 || i == 18 || i == 23) {
      if (t[i] != '-') return std::nullopt;
      ++i;
      continue;
    }
    int hi = Hex(t[i]), lo = Hex(t[i + 1]);
    if (hi < 0 || lo < 0) return std::nullopt;
    raw[n++] = static_cast<uint8_t>(hi * 16 + lo);
    i += 2;
  }
  Guid g;
  g.value.data1 = (uint32_t{raw[0]} << 24) | (uint32_t{raw[1]} << 16) | (uint32_t{raw[2]} << 8) | raw[3];
  g.value.data2 = static_cast<uint16_t>((raw[4] << 8) | raw[5]);
  g.value.data3 = static_cast<uint16_t>((raw[6] << 8) | raw[7]);
  std::memcpy(g.value.data4, raw + 8, 8);
  return g;
}

std::string Guid::ToString() const {
  char out[40];
  const uint8_t* d = value.data4;
  std::snprintf(out, sizeof out, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", value.data1, value.data2,
                value.data3, d[0], d[1], d[2], d[3], d[4], d[5], d[6], d[7]);
  return out;
}

bool Guid::operator==(const Guid& o) const {
  return value.data1 == o.value.data1 && value.data2 == o.value.data2 && value.data3 == o.value.data3 &&
         std::memcmp(value.data4, o.value.data4, 8) == 0;
}

const MethodInfo* InterfaceInfo::Find(int32_t dispid) const {
  for (const MethodInfo& m : methods)
    if (m.dispid == dispid) return &m;
  return nullptr;
}

const MethodInfo* InterfaceInfo::Find(const char* name) const {
  if (!name) return nullptr;
  for (const MethodInfo& m : methods)
    if (strcasecmp(m.name, name) == 0) return &m;
  return nullptr;
}

const ClassInfo* TypeLibrary::FindClass(const Guid& clsid) const {
  for (const ClassInfo& c : classes)
    if (c.clsid == clsid) return &c;
  return nullptr;
}

const ClassInfo* TypeLibrary::FindProgId(const std::string& progId) const {
  for (const ClassInfo& c : classes)
    if (strcasecmp(c.progId, progId.c_str()) == 0 || strcasecmp(c.viProgId, progId.c_str()) == 0) return &c;
  return nullptr;
}

const EnumInfo* TypeLibrary::FindEnum(const char* name) const {
  for (const EnumInfo& e : enums)
    if (std::strcmp(e.name, name) == 0) return &e;
  return nullptr;
}

const TypeLibrary& Library() { return kLibrary; }
const InterfaceInfo& IPDocInterface() { return kIPDoc; }
const InterfaceInfo& IIDocInterface() { return kIIDoc; }
const InterfaceInfo& ITTokenInterface() { return kITToken; }
const InterfaceInfo& IContentInterface() { return kIContent; }

const ClassInfo& ClassNamed(const char* name) {
  for (const ClassInfo& c : kLibrary.classes)
    if (std::strcmp(c.name, name) == 0) return c;
  throw std::logic_error("unknown class");
}

int32_t DocumentErrorType(int32_t status) {
  switch (status) {
    case 0: return pdSuccess;
    case 1001: return pdErrNotPDF;
    case 1002: return pdErrBadTrailer;
    case 1003: return pdErrBadXref;
    case 1004: return pdErrNullRef;
    case 1005: return pdErrParamValue;
    case 1006: return pdErrReadingObject;
    case 1007: return pdErrAlreadyWritten;
    case 1008: return pdErrBadCallingSequence;
    case 1009: return pdErrInternal;
    case 1010: return pdErrUnexpected;
    case 1011: return pdErrInputOutput;
    default: return pdErrOS;
  }
}

int32_t ContentErrorType(int32_t status) {
  switch (status) {
    case 0: return pdSuccess;
    case 1008: return pdErrBadCallingSequence;
    case 1009: return pdErrInternal;
    case 1014: return pdErrIllegalFont;
    case 1015: return pdErrNoCurrentPage;
    default: return pdErrUnexpected;
  }
}

}  // namespace folian::automation
