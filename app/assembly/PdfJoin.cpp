#include "app/assembly/PdfJoin.h"

#include <cerrno>
#include <filesystem>
#include <vector>

#include "pdf/api/folian32.h"
#include "pdf/api/folian32_automation.h"

namespace orvane {

namespace {

// The PDoc class of the PDF library.
constexpr const char* kPDocClass = "{848255D4-8230-11D3-9E6D-0060080C087D}";

FLVariant Text(const std::string& text) {
  FLVariant v{};
  v.type = FLVT_STRING;
  v.bytes = const_cast<char*>(text.data());
  v.length = static_cast<uint32_t>(text.size());
  return v;
}

FLVariant Number(int32_t value) {
  FLVariant v{};
  v.type = FLVT_I4;
  v.integer = value;
  return v;
}

// Calls a member by name; true when the call went through and answered true.
bool CallByName(FLDispatch* object, const char* name, std::vector<FLVariant> args) {
  int32_t dispid = 0;
  if (FLAutoGetIDsOfNames(object, &name, 1, &dispid) != FL_S_OK) return false;
  FLVariant result{};
  const int32_t hr = FLAutoInvoke(object, dispid, FL_DISPATCH_METHOD, args.data(),
                                  static_cast<uint32_t>(args.size()), nullptr, 0, &result, nullptr);
  const bool yes = hr == FL_S_OK && result.type == FLVT_BOOL && result.integer != 0;
  FLVariantClear(&result);
  return yes;
}

// Reads ErrCode, the object's last error as an ErrorType value.
int32_t ErrorCode(FLDispatch* object) {
  const char* name = "ErrCode";
  int32_t dispid = 0;
  if (FLAutoGetIDsOfNames(object, &name, 1, &dispid) != FL_S_OK) return FL_ERR_FAILED;
  FLVariant result{};
  if (FLAutoInvoke(object, dispid, FL_DISPATCH_METHOD, nullptr, 0, nullptr, 0, &result, nullptr) != FL_S_OK)
    return FL_ERR_FAILED;
  const auto code = static_cast<int32_t>(result.integer);
  FLVariantClear(&result);
  return code;
}

FLDispatch* CreatePDoc(PdfJoin::Registration& how) {
  FLDispatch* doc = nullptr;
  how = PdfJoin::Registration::kFound;
  if (FLAutoCreate(kPDocClass, &doc) == FL_S_OK) return doc;
  // Not registered, or registered to a library that is gone: register the one
  // this program ships with (it is loaded already) and try again.
  if (DllRegisterServer() == FL_S_OK && FLAutoCreate(kPDocClass, &doc) == FL_S_OK) {
    how = PdfJoin::Registration::kRegistered;
    return doc;
  }
  how = PdfJoin::Registration::kUnregistered;
  return FLAutoCreateLocal(kPDocClass, &doc) == FL_S_OK ? doc : nullptr;
}

}  // namespace

PdfJoin::PdfJoin(const std::string& path) {
  m_doc = CreatePDoc(m_registration);
  if (!m_doc) {
    m_error = FL_ERR_FAILED;
    return;
  }
  m_open = CallByName(m_doc, "New", {Text(path)});
  if (!m_open) m_error = ErrorCode(m_doc);
}

PdfJoin::~PdfJoin() {
  Close();
  if (m_doc) FLAutoRelease(m_doc);
}

bool PdfJoin::Merge(const std::string& pageFile) { return MergeRange(pageFile, 0, 0, true); }

bool PdfJoin::MergePages(const std::string& file, int first, int last) { return MergeRange(file, first, last, false); }

bool PdfJoin::MergeRange(const std::string& file, int first, int last, bool whole) {
  if (!Opened()) return false;
  std::error_code ec;
  // A folder or a missing file is not handed to the library at all.
  if (!std::filesystem::is_regular_file(file, ec)) {
    m_error = ENOENT;
    return false;
  }
  // The whole file: one argument, every page.
  const bool merged = whole ? CallByName(m_doc, "Merge", {Text(file)})
                            : CallByName(m_doc, "Merge", {Text(file), Number(first), Number(last)});
  if (!merged) {
    m_error = FL_ERR_FAILED;
    return false;
  }
  ++m_merged;
  return true;
}

int PdfPageCount(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return 0;
  int32_t error = 0;
  const FLHANDLE input = IDocOpen(path.c_str(), &error);
  if (input == 0) return 0;
  const int32_t pages = IDocNumPages(input);
  IDocClose(input);
  return pages > 0 ? pages : 0;
}

bool PdfJoin::Close() {
  if (!Opened()) return false;
  m_open = false;
  const bool closed = CallByName(m_doc, "Close", {});
  if (!closed) m_error = ErrorCode(m_doc);
  return closed;
}

}  // namespace orvane
