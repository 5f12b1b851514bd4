#include "app/services/OpsInquiry.h"

#include <algorithm>
#include <cctype>

namespace orvane {
namespace {

// The value of attribute `name` inside one start tag; "" when absent.
std::string Attribute(const std::string& tag, const std::string& name) {
  size_t pos = 0;
  while ((pos = tag.find(name, pos)) != std::string::npos) {
    const bool startsWord = pos > 0 && std::isspace(static_cast<unsigned char>(tag[pos - 1]));
    size_t p = pos + name.size();
    while (p < tag.size() && std::isspace(static_cast<unsigned char>(tag[p]))) ++p;
    if (!startsWord || p >= tag.size() || tag[p] != '=') {
      pos += name.size();
      continue;
    }
    ++p;
    while (p < tag.size() && std::isspace(static_cast<unsigned char>(tag[p]))) ++p;
    if (p >= tag.size() || (tag[p] != '"' && tag[p] != '\'')) return {};
    const char quote = tag[p];
    const size_t end = tag.find(quote, p + 1);
    if (end == std::string::npos) return {};
    return tag.substr(p + 1, end - p - 1);
  }
  return {};
}

int Number(const std::string& text) {
  if (text.empty() || text.size() > 6) return 0;
  int v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return 0;
    v = v * 10 + (c - '0');
  }
  return v;
}

// The local name of an element (the part after a namespace prefix).
bool IsElement(const std::string& xml, size_t lt, const std::string& local) {
  size_t p = lt + 1;
  size_t end = p;
  while (end < xml.size() && !std::isspace(static_cast<unsigned char>(xml[end])) && xml[end] != '>' &&
         xml[end] != '/')
    ++end;
  std::string name = xml.substr(p, end - p);
  if (auto colon = name.find(':'); colon != std::string::npos) name = name.substr(colon + 1);
  return name == local;
}

std::string Text(const std::string& xml, size_t from, size_t to) {
  const size_t gt = xml.find('>', from);
  const size_t lt = xml.find('<', gt == std::string::npos ? to : gt);
  if (gt == std::string::npos || lt == std::string::npos || lt > to) return {};
  return xml.substr(gt + 1, lt - gt - 1);
}

// The value after "key" : in a flat JSON object, without quotes.
std::string JsonValue(const std::string& json, const std::string& key) {
  const size_t k = json.find("\"" + key + "\"");
  if (k == std::string::npos) return {};
  size_t p = json.find(':', k + key.size() + 2);
  if (p == std::string::npos) return {};
  ++p;
  while (p < json.size() && std::isspace(static_cast<unsigned char>(json[p]))) ++p;
  if (p < json.size() && json[p] == '"') {
    const size_t end = json.find('"', p + 1);
    return end == std::string::npos ? std::string() : json.substr(p + 1, end - p - 1);
  }
  size_t end = p;
  while (end < json.size() && (std::isalnum(static_cast<unsigned char>(json[end])) || json[end] == '.')) ++end;
  return json.substr(p, end - p);
}

}  // namespace

std::optional<OpsToken> ParseTokenAnswer(const std::string& json) {
  OpsToken token;
  token.accessToken = JsonValue(json, "access_token");
  if (token.accessToken.empty()) return std::nullopt;
  // A token must fit in a header line as it is.
  for (char c : token.accessToken) {
    if (static_cast<unsigned char>(c) < 0x21 || c == 0x7f) return std::nullopt;
  }
  const std::string expires = JsonValue(json, "expires_in");
  long long seconds = 0;
  for (char c : expires) {
    if (c < '0' || c > '9' || seconds > 10000000) break;
    seconds = seconds * 10 + (c - '0');
  }
  token.expiresIn = seconds;
  return token;
}

bool OpsDocumentInstance::HasFormat(const std::string& format) const {
  return std::find(formats.begin(), formats.end(), format) != formats.end();
}

int OpsDocumentInstance::SectionStart(const std::string& name) const {
  for (const OpsSection& s : sections) {
    if (s.name == name) return s.startPage;
  }
  return 0;
}

int OpsDocumentInstance::SectionEnd(const std::string& name) const {
  const int start = SectionStart(name);
  if (start < 1) return 0;
  int end = pages;
  for (const OpsSection& s : sections) {
    if (s.startPage > start && s.startPage - 1 < end) end = s.startPage - 1;
  }
  return end;
}

std::vector<OpsDocumentInstance> ParseImageInquiry(const std::string& xml) {
  std::vector<OpsDocumentInstance> instances;
  OpsDocumentInstance* current = nullptr;
  size_t pos = 0;
  while ((pos = xml.find('<', pos)) != std::string::npos) {
    const size_t gt = xml.find('>', pos);
    if (gt == std::string::npos) break;
    const std::string tag = xml.substr(pos, gt - pos + 1);
    if (tag.size() > 1 && tag[1] == '/') {
      if (IsElement(xml, pos + 1, "document-instance")) current = nullptr;
    } else if (IsElement(xml, pos, "document-instance")) {
      OpsDocumentInstance instance;
      instance.desc = Attribute(tag, "desc");
      instance.link = Attribute(tag, "link");
      instance.pages = Number(Attribute(tag, "number-of-pages"));
      instances.push_back(std::move(instance));
      // A self-closing instance has no formats or sections.
      current = tag.size() >= 2 && tag[tag.size() - 2] == '/' ? nullptr : &instances.back();
    } else if (current && IsElement(xml, pos, "document-format")) {
      const size_t close = xml.find('<', gt);
      if (close != std::string::npos) current->formats.push_back(Text(xml, pos, close));
    } else if (current && IsElement(xml, pos, "document-section")) {
      current->sections.push_back({Attribute(tag, "name"), Number(Attribute(tag, "start-page"))});
    }
    pos = gt + 1;
  }
  return instances;
}

std::optional<OpsDocumentInstance> FullDocument(const std::vector<OpsDocumentInstance>& instances) {
  for (const OpsDocumentInstance& instance : instances) {
    if (instance.desc == "FullDocument" && instance.pages > 0 && !instance.link.empty()) return instance;
  }
  return std::nullopt;
}

}  // namespace orvane
