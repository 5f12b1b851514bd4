#pragma once
// Status codes of the library. 0 is success, 1001..1018 are the library's own
// conditions, any other value is an operating-system error number (errno).
#include <cstdint>

namespace folian {

enum Status : int32_t {
  kOk = 0,
  kNotPdf = 1001,             // input does not begin with "%PDF-"
  kBadTrailer = 1002,         // trailer or cross-reference structure unreadable (and not repairable)
  kBadXref = 1003,            // "startxref" or its position not found
  kNullRef = 1004,            // reserved
  kParamValue = 1005,         // parameter out of range or missing
  kReadingObject = 1006,      // an object cannot be read
  kAlreadyWritten = 1007,     // an output object number written twice
  kBadCallingSequence = 1008, // something needed is not there yet
  kInternal = 1009,           // internal inconsistency
  kUnexpected = 1010,         // unexpected structure in an input file
  kInputOutput = 1011,        // input or output failure
  kMissingHandle = 1012,      // a required handle is missing
  kIllegalFont = 1014,        // a font is not usable
  kNoSuchPage = 1015,         // the requested input page does not exist
  kInputPart = 1016,          // form data or colour separation unreadable
  kFailed = 1017,             // failure without a more specific code
  kEncrypted = 1018,          // the input file is encrypted and needs a password
};

// A short English description of a status code, for tools and logs.
const char* StatusText(int32_t code);

}  // namespace folian
