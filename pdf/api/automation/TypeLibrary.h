#pragma once
// The type library as data: the library identity, the four classes with their
// identifiers and registration details, each interface's members in slot order
// (name, DISPID, parameters with types, optional flags and defaults, result type)
// and the enumerations. The call layer reads parameter lists from here, and the
// registry writes class entries from here.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "pdf/api/folian32_automation.h"

namespace folian::automation {

struct Guid {
  FLGUID value{};
  static std::optional<Guid> Parse(const std::string& text);  // braces optional
  std::string ToString() const;                               // "{XXXXXXXX-...}" upper case
  bool operator==(const Guid& o) const;
  bool operator!=(const Guid& o) const { return !(*this == o); }
};

enum class ParamType : uint8_t {
  kVoid,     // results only: the member returns nothing
  kInt16,
  kInt32,
  kFloat,
  kDouble,
  kBool,
  kString,
  kVariant,  // any value, passed unconverted (byte arrays arrive this way)
  kObject,   // an object or nothing
  kEnum,     // a 32-bit enumeration value
};

enum ParamFlags : uint8_t { kIn = 0, kOptional = 1, kOut = 2, kHasDefault = 4 };

struct ParamInfo {
  const char* name;
  ParamType type;
  uint8_t flags = kIn;
  double defaultValue = 0;  // with kHasDefault
  bool Optional() const { return (flags & (kOptional | kHasDefault | kOut)) != 0; }
};

struct MethodInfo {
  const char* name;
  int32_t dispid;
  std::vector<ParamInfo> params;
  ParamType result = ParamType::kVoid;
  const char* resultName = nullptr;  // the name of the retval parameter, e.g. "res"
  bool property = false;             // a read-only property rather than a method
};

struct InterfaceInfo {
  const char* name;
  Guid iid;
  std::vector<MethodInfo> methods;  // slot order
  const MethodInfo* Find(int32_t dispid) const;
  const MethodInfo* Find(const char* name) const;  // case-insensitive
};

struct ClassInfo {
  const char* name;         // "PDoc"
  const char* description;  // "PDoc Class"
  Guid clsid;
  const char* progId;       // "Folian.PDoc.1"
  const char* viProgId;     // "Folian.PDoc"
  const InterfaceInfo* iface;
  const char* threading;    // "Both" or "Apartment"
  bool programmable;        // also Programmable, TypeLib and CurVer entries
};

struct EnumInfo {
  const char* name;
  std::vector<std::pair<const char*, int32_t>> values;
};

struct TypeLibrary {
  const char* name;
  Guid libid;
  uint16_t major;
  uint16_t minor;
  uint32_t lcid;
  const char* help;
  std::vector<ClassInfo> classes;
  std::vector<EnumInfo> enums;

  const ClassInfo* FindClass(const Guid& clsid) const;
  const ClassInfo* FindProgId(const std::string& progId) const;  // either ProgID, case-insensitive
  const EnumInfo* FindEnum(const char* name) const;
};

const TypeLibrary& Library();
const InterfaceInfo& IPDocInterface();
const InterfaceInfo& IIDocInterface();
const InterfaceInfo& ITTokenInterface();
const InterfaceInfo& IContentInterface();

// The class names, for ClassInfo lookups by name.
inline constexpr const char* kPDocClass = "PDoc";
inline constexpr const char* kIDocClass = "IDoc";
inline constexpr const char* kTTokenClass = "TToken";
inline constexpr const char* kContentClass = "Content";
const ClassInfo& ClassNamed(const char* name);

// ErrorType values.
enum ErrorType : int32_t {
  pdSuccess = 0,
  pdErrFileAccess = 1,
  pdErrNotPDF = 2,
  pdErrUnexpectedStructure = 3,
  pdErrBadTrailer = 4,
  pdErrBadXref = 5,
  pdErrNullRef = 6,
  pdErrParamValue = 7,
  pdErrReadingObject = 8,
  pdErrAlreadyWritten = 9,
  pdErrOutputNotOpen = 10,
  pdErrNoCurrentInput = 11,
  pdErrBadCallingSequence = 12,
  pdErrNoMemory = 13,
  pdErrException = 14,
  pdErrMissingParameter = 15,
  pdErrNoLogoDefined = 16,
  pdErrInsufficentFontData = 17,
  pdErrIllegalFont = 18,
  pdErrNoMoreData = 19,
  pdErrNoCurrentPage = 20,
  pdErrOS = 21,
  pdErrInternal = 22,
  pdErrUnexpected = 23,
  pdErrInputOutput = 24,
};

// Internal status codes (0, 1001-1018, errno values) as ErrorType values: the table
// for output and input documents, and the one for content objects.
int32_t DocumentErrorType(int32_t status);
int32_t ContentErrorType(int32_t status);

}  // namespace folian::automation
