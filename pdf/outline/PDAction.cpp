#include "pdf/outline/PDAction.h"

#include "pdf/base/NumberFormat.h"
#include "pdf/base/StringCodec.h"

namespace folian {
namespace {

ByteString Literal(const ByteString& text) { return EncodeString(text, StringMode::Literal); }

ByteString Text(const char* text) { return text ? ByteString(text) : ByteString(); }

}  // namespace

PDAction PDAction::GoTo(int32_t page, float left, float top) {
  PDAction action;
  action.kind = Kind::GoTo;
  action.page = page;
  action.left = left;
  action.top = top;
  return action;
}

PDAction PDAction::GoToR(const char* file, int32_t page, float left, float top) {
  PDAction action = GoTo(page, left, top);
  action.kind = Kind::GoToR;
  action.file = Text(file);
  return action;
}

PDAction PDAction::Launch(const char* file) {
  PDAction action;
  action.kind = Kind::Launch;
  action.file = Text(file);
  return action;
}

PDAction PDAction::Uri(const char* address) {
  PDAction action;
  action.kind = Kind::URI;
  action.address = Text(address);
  return action;
}

bool WriteXyzView(PDFile& file, float left, float top) {
  return file.WriteToken("/XYZ") && file.WriteToken(left != 0 ? FormatNumber(left) : ByteString("null")) &&
         file.WriteToken(top != 0 ? FormatNumber(top) : ByteString("null")) && file.WriteToken("null");
}

bool PDAction::Write(PDFile& file, int32_t pageId) const {
  switch (kind) {
    case Kind::GoTo:
      if (page >= 0) {
        if (pageId == 0) return true;
        return file.WriteToken("/A << /S") && file.WriteToken("/GoTo /D") && file.WriteToken("[") &&
               file.WriteRef(pageId) && WriteXyzView(file, left, top) && file.WriteToken("]") &&
               file.WriteToken(">>");
      }
      return file.WriteToken("/A << /S") && file.WriteToken("/GoTo /D") && file.WriteToken(Literal(name)) &&
             file.WriteToken(">>");
    case Kind::GoToR:
      if (!(file.WriteToken("/A << /S") && file.WriteToken("/GoToR /F") && file.WriteToken(Literal(this->file)) &&
            file.WriteLineEnd() && file.WriteToken("/D")))
        return false;
      // Pages of another file can only be named by number.
      if (page >= 0) {
        if (!(file.WriteToken("[") && file.WriteInt(page) && WriteXyzView(file, left, top) && file.WriteToken("]")))
          return false;
      } else if (!file.WriteToken(Literal(name))) {
        return false;
      }
      return file.WriteToken(">>");
    case Kind::Launch:
      return file.WriteToken("/A << /S") && file.WriteToken("/Launch /F") && file.WriteToken(Literal(this->file)) &&
             file.WriteToken(">>");
    case Kind::URI:
      return file.WriteToken("/A << /S") && file.WriteToken("/URI /URI") && file.WriteToken(Literal(address)) &&
             file.WriteToken(">>");
  }
  return true;
}

}  // namespace folian
