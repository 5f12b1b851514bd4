// The output document's images and logos, and what it lays onto every copied
// page: the background logo beneath, the header and the page number above.
#include <cstdio>
#include <string>

#include "pdf/base/NumberFormat.h"
#include "pdf/base/Status.h"
#include "pdf/base/StringCodec.h"
#include "pdf/doc/PDOutDoc.h"
#include "pdf/object/PDDict.h"
#include "pdf/writer/ContentStreamWriter.h"

namespace folian {

int32_t PDOutDoc::CreateImage(const ImageData& data) {
  if (m_state != kWriting) {
    Fail(kBadCallingSequence);
    return 0;
  }
  PDImage image;
  // Image data is deflated whatever the compression switch says: raw pixels
  // are what compression is for.
  int32_t code = WriteImage(*this, data, true, image);
  if (code != kOk) {
    SetLastError(code);
    return 0;
  }
  m_images.push_back(image);
  return static_cast<int32_t>(m_images.size());
}

const PDImage* PDOutDoc::Image(int32_t number) const {
  if (number < 1 || number > static_cast<int32_t>(m_images.size())) return nullptr;
  return &m_images[static_cast<size_t>(number - 1)];
}

bool PDOutDoc::LogoFileOpen(const char* name) {
  if (!name || !*name) return Fail(kParamValue);
  for (size_t i = 0; i < m_logoFiles.size(); ++i) {
    if (m_logoFiles[i]->Name() == name) {
      m_currentLogoFile = static_cast<int32_t>(i);
      return true;
    }
  }
  auto file = std::make_unique<LogoFile>(name);
  if (!file->Input().Open(name)) return Fail(file->Input().LastError() != 0 ? file->Input().LastError() : kInternal);
  if (file->Input().IsEncrypted()) return Fail(kEncrypted);
  m_logoFiles.push_back(std::move(file));
  m_currentLogoFile = static_cast<int32_t>(m_logoFiles.size()) - 1;
  return true;
}

PDLogo* PDOutDoc::CurrentLogo(int32_t number) {
  if (m_currentLogoFile < 0 || number < 1 || m_state != kWriting) return nullptr;
  LogoFile& file = *m_logoFiles[static_cast<size_t>(m_currentLogoFile)];
  PDLogo* logo = file.Logo(number, m_currentLogoFile, *this, &m_hooks);
  if (!logo && file.Status() != kOk) SetLastError(file.Status());
  return logo;
}

int32_t PDOutDoc::PrintLogo(PDPgStream& stream, int32_t number) {
  PDLogo* logo = CurrentLogo(number);
  if (!logo) {
    int32_t code = m_currentLogoFile >= 0 && number >= 1 ? LastError() : 0;
    code = code != 0 ? code : kFailed;
    SetLastError(code);
    return code;
  }
  return stream.PrintLogo(*logo);
}

bool PDOutDoc::Logo(const char* name, bool background, int32_t number) {
  if (m_state != kWriting) return Fail(kBadCallingSequence);
  if (!LogoFileOpen(name)) return false;
  if (!background) {
    int32_t code = PrintLogo(Header(), number);
    return code == kOk || Fail(code);
  }
  if (m_currentLogoFile < 0) return Fail(kBadCallingSequence);
  PDLogo* logo = CurrentLogo(number);
  if (!logo) {
    // Which page of which file could not be used is said by its own code.
    int32_t status = m_logoFiles[static_cast<size_t>(m_currentLogoFile)]->Status();
    return Fail(status != kOk ? status : kFailed);
  }
  if (!m_background) m_background = std::make_unique<PDPgStream>(m_headerResources, &m_pageResources);
  // The background is written once; pages copied later all share that object.
  if (m_background->ObjectId() != 0) return true;
  // "q /X Do Q": the logo is painted in a state of its own, and listed with
  // the stream so that the pages' resources name it.
  if (m_background->DrawOp("q") != kOk || m_background->PrintLogo(*logo) != kOk || m_background->DrawOp("Q") != kOk)
    return Fail(kInternal);
  return m_background->WriteObject(*this, m_compress);
}

std::vector<std::pair<ByteString, int32_t>> PDOutDoc::AllLogoXObjects() const {
  std::vector<std::pair<ByteString, int32_t>> out;
  for (const auto& file : m_logoFiles)
    for (const auto& logo : file->Logos())
      if (logo)
        for (size_t k = 0; k < logo->objectIds.size(); ++k) out.emplace_back(logo->PartName(k), logo->objectIds[k]);
  return out;
}

}  // namespace folian
