#pragma once
// Shared pieces of the assembly tests: a settings root per test, recording
// scripts that stand in for the print command, the viewer and xdg-mime,
// bilevel TIFF pages made with libtiff, and the PDF oracles (qpdf, pdftotext).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <tiffio.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace orvane::test {

namespace fs = std::filesystem;

inline std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline void WriteText(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

inline void WriteScript(const fs::path& path, const std::string& body) {
  WriteText(path, "#!/bin/sh\n" + body);
  chmod(path.c_str(), 0755);
}

// A command that appends its arguments, one call a line, to `record`.
inline fs::path RecorderScript(const fs::path& folder, const std::string& name, const fs::path& record) {
  const fs::path script = folder / name;
  WriteScript(script, "printf '%s\\n' \"$*\" >> '" + record.string() + "'\n");
  return script;
}

// The lines a recorder wrote, waiting up to timeoutMs for `count` of them
// (the programs are started without waiting for them).
inline std::vector<std::string> RecordedLines(const fs::path& record, size_t count, int timeoutMs = 5000) {
  std::vector<std::string> lines;
  for (int waited = 0;; waited += 20) {
    lines.clear();
    std::istringstream in(ReadText(record));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    if (lines.size() >= count || waited >= timeoutMs) return lines;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

// Standard output of a shell command line, and its exit status.
inline std::string Shell(const std::string& command, int* status = nullptr) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return out;
  char buffer[4096];
  size_t n = 0;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  const int rc = pclose(pipe);
  if (status) *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
  return out;
}

inline std::string Quote(const fs::path& path) { return "'" + path.string() + "'"; }

inline bool QpdfCheckPasses(const fs::path& pdf) {
  int status = -1;
  Shell("qpdf --check " + Quote(pdf) + " >/dev/null 2>&1", &status);
  return status == 0;
}

// The page labels "Page N of M" in the text of the PDF, in reading order.
inline std::vector<std::string> PageLabels(const fs::path& pdf) {
  std::vector<std::string> labels;
  std::istringstream in(Shell("pdftotext -layout " + Quote(pdf) + " - 2>/dev/null"));
  for (std::string line; std::getline(in, line);) {
    size_t at = line.find("Page ");
    if (at == std::string::npos) continue;
    std::string label = line.substr(at);
    while (!label.empty() && (label.back() == ' ' || label.back() == '\f')) label.pop_back();
    labels.push_back(label);
  }
  return labels;
}

// Directories of a TIFF as tiffinfo counts them.
inline int TiffinfoPages(const fs::path& tiff) {
  std::istringstream in(Shell("tiffinfo " + Quote(tiff) + " 2>/dev/null"));
  int pages = 0;
  for (std::string line; std::getline(in, line);) pages += line.rfind("TIFF Directory", 0) == 0;
  return pages;
}

// A bilevel fax-compressed page: `page` black bars on white, so pages can
// be told apart; the width carries the page number too.
inline bool MakeBilevelTiff(const fs::path& path, int page) {
  fs::create_directories(path.parent_path());
  TIFF* t = TIFFOpen(path.c_str(), "w");
  if (!t) return false;
  const uint32_t width = 800 + static_cast<uint32_t>(page), height = 200;
  TIFFSetField(t, TIFFTAG_IMAGEWIDTH, width);
  TIFFSetField(t, TIFFTAG_IMAGELENGTH, height);
  TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 1);
  TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 1);
  TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
  TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
  TIFFSetField(t, TIFFTAG_FILLORDER, FILLORDER_MSB2LSB);
  TIFFSetField(t, TIFFTAG_XRESOLUTION, 200.0);
  TIFFSetField(t, TIFFTAG_YRESOLUTION, 200.0);
  TIFFSetField(t, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
  TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, 64);
  std::vector<unsigned char> row((width + 7) / 8);
  bool ok = true;
  for (uint32_t y = 0; y < height && ok; ++y) {
    std::fill(row.begin(), row.end(), 0);
    for (int bar = 0; bar < page; ++bar) {
      if (y >= 20u + 15u * bar && y < 28u + 15u * bar)
        for (auto& b : row) b = 0xFF;
    }
    ok = TIFFWriteScanline(t, row.data(), y, 0) >= 0;
  }
  TIFFClose(t);
  return ok;
}

// Widths of the pages of a TIFF, in order.
inline std::vector<uint32_t> TiffWidths(const fs::path& path) {
  std::vector<uint32_t> widths;
  TIFF* t = TIFFOpen(path.c_str(), "r");
  if (!t) return widths;
  do {
    uint32_t w = 0;
    TIFFGetField(t, TIFFTAG_IMAGEWIDTH, &w);
    widths.push_back(w);
  } while (TIFFReadDirectory(t));
  TIFFClose(t);
  return widths;
}

// The decoded rows of one page (directory) of a strip TIFF, one after the other.
inline std::vector<unsigned char> TiffPixels(const fs::path& path, int directory) {
  std::vector<unsigned char> pixels;
  TIFF* t = TIFFOpen(path.c_str(), "r");
  if (!t) return pixels;
  if (TIFFSetDirectory(t, static_cast<tdir_t>(directory))) {
    uint32_t height = 0;
    TIFFGetField(t, TIFFTAG_IMAGELENGTH, &height);
    std::vector<unsigned char> row(static_cast<size_t>(TIFFScanlineSize(t)));
    for (uint32_t y = 0; y < height && TIFFReadScanline(t, row.data(), y, 0) >= 0; ++y)
      pixels.insert(pixels.end(), row.begin(), row.end());
  }
  TIFFClose(t);
  return pixels;
}

}  // namespace orvane::test
