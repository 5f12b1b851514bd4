#include "pdf/doc/PDOutDoc.h"

#include <cstdio>
#include <cstring>
#include <ctime>

#include "pdf/object/PDDict.h"
#include "pdf/base/Status.h"
#include "pdf/base/StringCodec.h"

namespace folian {

PDOutDoc::PDOutDoc() = default;

PDOutDoc::~PDOutDoc() { ReleaseInput(); }

PDPgStream& PDOutDoc::Content() {
  if (!m_content) m_content = std::make_unique<PDPgStream>(m_pageResources, &m_headerResources);
  return *m_content;
}

PDPgStream& PDOutDoc::Header() {
  if (!m_header) m_header = std::make_unique<PDPgStream>(m_headerResources, &m_pageResources);
  return *m_header;
}

bool PDOutDoc::NewPage() {
  if (m_state != kWriting) return Fail(kBadCallingSequence);
  return EndPage();
}

int32_t PDOutDoc::NumPages() const {
  return PagesRecorded() + (m_content && !m_content->Empty() ? 1 : 0);
}

bool PDOutDoc::EndPage() {
  std::unique_ptr<PDPgStream> content = std::move(m_content);
  if (!content || content->Empty()) return true;
  if (m_resourcesId == 0 && (m_resourcesId = NewObjectId()) == 0) return false;
  if (!content->WriteObject(*this, m_compress)) return false;
  int32_t pageId = NewObjectId();
  if (pageId == 0) return false;
  int32_t index = PagesRecorded();
  CountPage(pageId);
  int32_t parentId = RegisterPage(pageId, 1);
  if (parentId == 0) return false;
  return BeginObject(pageId) && WriteToken("<</Type /Page /Parent") && WriteRef(parentId) && WriteLineEnd() &&
         WriteToken("/MediaBox [0 0") && WriteInt(m_width) && WriteInt(m_height) && WriteToken("] /Resources") &&
         WriteRef(m_resourcesId) && WriteToken("/Contents") && WriteRef(content->ObjectId()) && WriteLineEnd() &&
         m_links.WritePageAnnots(*this, index) && WriteToken(">>") && EndObject();
}

bool PDOutDoc::WriteResources() {
  if (m_resourcesId == 0) return true;
  return m_pageResources.WriteDictionary(m_resourcesId, AllLogoXObjects());
}

bool PDOutDoc::WriteContents() {
  // Fonts of copied pages were held back so that subsets of one font could be
  // merged; the pages that use them are already written.
  bool fontsWritten = m_fontStore.WriteAll(*this);
  return WriteLinksAndNames() && PDFile::WriteContents() && fontsWritten;
}

void PDOutDoc::SetAttr(const char* key, const char* value) {
  if (!key || !*key) return;
  std::string name = key[0] == '/' ? key : std::string("/") + key;
  if (!value)
    m_attrs.erase(name);
  else
    m_attrs[name] = value;
}

void PDOutDoc::SetInfo(const char* title, const char* subject, const char* author, const char* keywords) {
  const std::pair<const char*, const char*> entries[] = {
      {"/Title", title}, {"/Subject", subject}, {"/Author", author}, {"/Keywords", keywords}};
  for (const auto& [key, value] : entries)
    if (value && *value) SetAttr(key, value);
}

ByteString PDOutDoc::ProducerText(const PDDict* start) const {
  ByteString producer;
  if (const PDValue* given = start ? start->Find("/Producer") : nullptr) {
    producer = DecodeString(given->Text());
    if (producer.StartsWith("Acrobat "))
      producer.Clear();
    else if (!producer.empty())
      producer.Append(" / PDF Folian");
  }
  if (producer.empty()) producer = "PDF Folian";
  return producer;
}

namespace {
// A caller's text that already is one complete PDF string or name is kept; other
// text (also "(Draft) Report") is encoded as a literal string.
ByteString InfoValueText(const std::string& value) {
  ByteString text(value.data(), static_cast<int32_t>(value.size()));
  return IsStringOrNameToken(text) ? text : EncodeString(text, StringMode::Literal);
}
}  // namespace

bool PDOutDoc::WriteInfo() {
  PDValuePtr info = m_inputInfo && m_inputInfo->Dict() ? m_inputInfo->Copy() : PDValue::MakeDict();
  PDDict& dict = *info->Dict();
  std::map<std::string, std::string> attrs = m_attrs;

  auto modDate = attrs.find("/ModDate");
  if (modDate != attrs.end()) {
    dict.SaveAttrVal("/ModDate", PDValue::MakeText(InfoValueText(modDate->second)));
    attrs.erase(modDate);
  } else {
    std::time_t now = Now();
    std::tm local{};
    localtime_r(&now, &local);
    char date[40];
    std::snprintf(date, sizeof date, "(D:%4.4d%2.2d%2.2d%2.2d%2.2d%2.2d)", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    dict.SaveAttrVal("/ModDate", PDValue::MakeText(date));
  }

  bool producerGiven = attrs.count("/Producer") != 0;
  for (const auto& [key, value] : attrs) dict.SaveAttrVal(key.c_str(), PDValue::MakeText(InfoValueText(value)));
  if (!producerGiven) {
    ByteString producer = ProducerText(m_inputInfo ? m_inputInfo->Dict() : nullptr);
    dict.SaveAttrVal("/Producer", PDValue::MakeText(EncodeString(producer, StringMode::PassOctal)));
  }

  PDObject object(std::move(info), NewObjectId());
  if (object.Number() == 0) return false;
  SetInfoId(object.Number());
  // References inside a copied input dictionary were already renumbered when it
  // was attached; write the value as it stands.
  return WriteObject(object);
}

bool PDOutDoc::FinishDocument() {
  if (!EndPage()) return false;
  if (m_input) SetInputInfo(m_input->ResolvedInfo());
  if (!WriteResources()) return false;
  if (!m_outline.Write([this](int32_t page) { return OutputPageId(page); })) return false;
  if (!m_form.Write(*this, m_formId)) return false;
  return WriteInfo();
}

}  // namespace folian
