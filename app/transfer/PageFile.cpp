#include "app/transfer/PageFile.h"

#include <filesystem>

namespace orvane {
namespace {

constexpr size_t kHead = 8;
constexpr size_t kTail = 1024;

std::string Join(const std::string& folder, const std::string& name) {
  return (std::filesystem::path(folder) / name).string();
}

}  // namespace

std::string SlotPageFile(const PageFileContext& c, PageService service, int page) {
  std::string folder;
  if (c.folderPerNumber) {
    folder = c.downfolder;
  } else if (!c.badPageMode) {
    folder = c.imsifolder;
  } else {
    folder = Join(c.saveFolder, c.number);
  }
  const char* ext = service == PageService::Espacenet ? ".pdf" : ".tif";
  return Join(folder, c.number + std::to_string(page) + ext);
}

std::string Inet6PageFile(const PageFileContext& c, Inet6Service service, int page) {
  switch (service) {
    case Inet6Service::Ipdl:
      // The folders of the slots' PDF pages: a bad-page run writes beside
      // the pages an earlier run kept, where the joining looks for them.
      return SlotPageFile(c, PageService::Espacenet, page);
    case Inet6Service::Paj:
      return Join(c.downfolder, c.number + "_PAJ.jpg");
    case Inet6Service::Delphion:
      return Join(c.downfolder, c.number + "_PAJ.gif");
  }
  return std::string();
}

PageKind SlotPageKind(PageService service) {
  return service == PageService::Espacenet ? PageKind::Pdf : PageKind::Tiff;
}

PageKind Inet6PageKind(Inet6Service service) {
  switch (service) {
    case Inet6Service::Ipdl:
      return PageKind::Pdf;
    case Inet6Service::Paj:
      return PageKind::Jpeg;
    case Inet6Service::Delphion:
      return PageKind::Gif;
  }
  return PageKind::Pdf;
}

void BodyCheck::Add(std::string_view chunk) {
  if (m_head.size() < kHead) m_head.append(chunk.substr(0, kHead - m_head.size()));
  m_tail.append(chunk);
  if (m_tail.size() > kTail) m_tail.erase(0, m_tail.size() - kTail);
  m_size += chunk.size();
}

bool BodyCheck::IsKind(PageKind kind) const {
  if (m_size == 0) return false;
  auto starts = [this](std::string_view prefix) { return std::string_view(m_head).substr(0, prefix.size()) == prefix; };
  switch (kind) {
    case PageKind::Pdf:
      // A PDF cut short loses its trailer; the end-of-file marker tells.
      return starts("%PDF-") && m_tail.find("%%EOF") != std::string::npos;
    case PageKind::Tiff:
      return starts(std::string_view("II*\0", 4)) || starts(std::string_view("MM\0*", 4));
    case PageKind::Jpeg:
      return starts("\xFF\xD8\xFF");
    case PageKind::Gif:
      return starts("GIF87a") || starts("GIF89a");
  }
  return false;
}

}  // namespace orvane
