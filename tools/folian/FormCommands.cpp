#include "FormCommands.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "pdf/api/folian32.h"

namespace {

std::string Take(FLVBSTR text) {
  std::string result = text ? std::string(text, static_cast<size_t>(FLVBSTRLength(text))) : std::string();
  FLFreeVBSTR(text);
  return result;
}

// Tabs and line ends inside a value would break the one-line-per-field layout.
std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      default: out += c;
    }
  }
  return out;
}

FLHANDLE OpenInput(const char* path) {
  int32_t error = 0;
  FLHANDLE input = IDocOpen(path, &error);
  if (!input) {
    std::fprintf(stderr, "folian: %s: cannot open (%d)\n", path, error);
    return 0;
  }
  if (IDocAcquirePage(input, 1) == FL_ERR_ENCRYPTED) {
    std::fprintf(stderr, "folian: %s: encrypted file: a password is needed to open it (%d)\n", path,
                 FL_ERR_ENCRYPTED);
    IDocClose(input);
    return 0;
  }
  return input;
}

}  // namespace

int ListForms(const char* path) {
  FLHANDLE input = OpenInput(path);
  if (!input) return 1;
  for (int32_t index = 1;; ++index) {
    FLVBSTR name = nullptr, type = nullptr, value = nullptr;
    int32_t flags = 0, page = 0;
    float rect[4];
    if (IDocGetFormField(input, index, &name, &type, &value, &flags, &page, rect) != FL_OK) break;
    std::printf("%s\t%s\t%s\t%d\t%d\t%g %g %g %g\n", Escaped(Take(name)).c_str(), Take(type).c_str(),
                Escaped(Take(value)).c_str(), flags, page, rect[0], rect[1], rect[2], rect[3]);
  }
  IDocClose(input);
  return 0;
}

int FillForms(int argc, char** argv) {
  std::string out;
  std::string in;
  std::vector<std::pair<std::string, std::string>> values;
  for (int i = 2; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "-o" && i + 1 < argc) {
      out = argv[++i];
    } else if (in.empty()) {
      in = arg;
    } else {
      size_t equals = arg.find('=');
      if (equals == std::string::npos || equals == 0) {
        std::fprintf(stderr, "folian: expected NAME=VALUE, got %s\n", arg.c_str());
        return 2;
      }
      values.emplace_back(arg.substr(0, equals), arg.substr(equals + 1));
    }
  }
  if (out.empty() || in.empty()) {
    std::fprintf(stderr, "usage: folian fill -o OUT IN NAME=VALUE...\n");
    return 2;
  }
  struct stat outInfo{}, inInfo{};
  if (stat(out.c_str(), &outInfo) == 0 && stat(in.c_str(), &inInfo) == 0 && outInfo.st_dev == inInfo.st_dev &&
      outInfo.st_ino == inInfo.st_ino) {
    std::fprintf(stderr, "folian: %s is also the input; nothing written\n", out.c_str());
    return 2;
  }

  FLHANDLE input = OpenInput(in.c_str());
  if (!input) return 1;
  for (const auto& [name, value] : values) {
    int32_t code = IDocSetFormData(input, name.c_str(), value.c_str(), FLFlagFormLeaveAsIs, FLFlagAnnotLeaveAsIs);
    if (code != FL_OK) {
      std::fprintf(stderr, "folian: %s: %s (%d); nothing written\n", in.c_str(),
                   code == FL_ERR_PARAM_VALUE ? ("no field named " + name).c_str() : "cannot fill the form", code);
      IDocClose(input);
      return 1;
    }
  }

  // Written beside the target and renamed over it only when complete, so a
  // failure leaves whatever OUT was untouched.
  std::string temp = out + ".XXXXXX";
  std::vector<char> pattern(temp.begin(), temp.end());
  pattern.push_back('\0');
  int fd = mkstemp(pattern.data());
  if (fd < 0) {
    std::fprintf(stderr, "folian: cannot create %s: %s\n", out.c_str(), std::strerror(errno));
    IDocClose(input);
    return 1;
  }
  mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
  close(fd);
  temp = pattern.data();

  int32_t error = 0;
  FLHANDLE doc = PDocNew(temp.c_str(), 0, 0, &error);
  int32_t code = doc ? PDocAttach(doc, input) : error;
  if (code == FL_OK) code = PDocInputCopyPages(doc, 1, 0);
  int32_t closed = doc ? PDocRelease(doc) : FL_OK;
  IDocClose(input);
  if (code == FL_OK) code = closed;
  if (code != FL_OK || std::rename(temp.c_str(), out.c_str()) != 0) {
    std::fprintf(stderr, "folian: writing %s failed (%d)\n", out.c_str(), code != FL_OK ? code : errno);
    unlink(temp.c_str());
    return 1;
  }
  std::printf("wrote %s (%zu fields filled)\n", out.c_str(), values.size());
  return 0;
}
