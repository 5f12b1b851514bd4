#include "Help.h"

#include <cstring>

#ifndef FOLIAN_VERSION
#define FOLIAN_VERSION "unknown"
#endif

namespace folian::cli {
namespace {

struct CommandHelp {
  const char* name;
  const char* synopsis;
  const char* text;
};

const char kExitStatus[] =
    "Exit status: 0 success; 1 an input could not be used or the output could not be\n"
    "written (what could be done was done, and said on standard error); 2 bad usage,\n"
    "or an output that is also an input (nothing is written).\n";

const CommandHelp kCommands[] = {
    {"merge",
     "folian merge [--bookmarks] [--header TEXT] [--page-numbers FORMAT] [--logo FILE[:PAGE]]\n"
     "                    [--no-dedupe] [-v] -o OUT IN[:FIRST-LAST]...",
     "Joins page ranges of PDF files into OUT, in the order given. A range is IN:3 (one\n"
     "page), IN:2-5, IN:2- (to the end) or just IN (every page).\n"
     "  -o OUT        the file to write; written beside OUT and renamed over it only when\n"
     "                complete, so a failed merge leaves OUT as it was\n"
     "  --bookmarks   one bookmark per input (its file name), its own outline beneath\n"
     "  --header TEXT           TEXT as a running header on every page, in Helvetica 10,\n"
     "                36 points from the left and 24 below the top of the first page\n"
     "  --page-numbers FORMAT   a page number on every page, 20 points above the bottom:\n"
     "                \"%p\" is the page number, \"%%\" a percent sign (\"Page %p\")\n"
     "  --logo FILE[:PAGE]      page PAGE (default 1) of FILE drawn beneath every page\n"
     "  --no-dedupe   write every input's objects, even those already written alike\n"
     "  -v            say how many identical objects were written once\n"
     "An input that cannot be used is reported with its status code and skipped; the\n"
     "pages before and after it are kept. With many inputs and a terminal on standard\n"
     "error, a progress line shows how far the merge is.\n"
     "Examples:\n"
     "  folian merge -o all.pdf a.pdf b.pdf c.pdf\n"
     "  folian merge --bookmarks -o report.pdf cover.pdf:1 body.pdf:2-\n"
     "  folian merge --header \"Case 42\" --page-numbers \"Page %p\" --logo firm.pdf -o out.pdf in.pdf\n"},
    {"info", "folian info FILE",
     "Shows the PDF version, the number of pages, the information entries, and each\n"
     "page's boxes and rotation, as the pages tree really holds them. Says when the\n"
     "file needs a password, and what was repaired.\n"
     "Example:\n"
     "  folian info scan.pdf\n"},
    {"sample", "folian sample OUT [PAGES]",
     "Writes a sample document of PAGES pages (3 unless given, at most 100000): text in\n"
     "every standard font, a table, colours and line art, drawn through the library's\n"
     "content functions.\n"
     "Example:\n"
     "  folian sample sample.pdf 10\n"},
    {"forms", "folian forms FILE",
     "Lists the form fields, one per line, tab-separated: full name (\"parent.kid\"), type\n"
     "(Tx, Btn, Ch, Sig), value (tabs and line ends written \\t, \\n, \\r), field flags, page\n"
     "and the rectangle of the first widget.\n"
     "Example:\n"
     "  folian forms application.pdf\n"},
    {"fill", "folian fill -o OUT IN NAME=VALUE...",
     "Fills form fields of IN and writes OUT with new appearances. Check boxes take the name\n"
     "of a state (agree=Yes); a state the box does not have, or Off, clears it. A name the\n"
     "form does not have is refused and nothing is written. OUT is written beside its name\n"
     "and renamed into place only when complete; IN named as OUT is refused.\n"
     "Example:\n"
     "  folian fill -o filled.pdf application.pdf applicant=\"Kim Min-jun\" agree=Yes\n"},
    {"text", "folian text FILE [--pages A-B] [--tsv]",
     "Writes the text of FILE as UTF-8: one line per line of text, in the order the page\n"
     "draws it, and a form feed between pages. Single-byte fonts are read through their\n"
     "encoding (WinAnsi, MacRoman, /Differences), others through their /ToUnicode map.\n"
     "  --pages A-B   only pages A to B (A- to the end, A alone for one page)\n"
     "  --tsv         one token per line: page, x, y, width, height, orientation, font, text\n"
     "Examples:\n"
     "  folian text patent.pdf > patent.txt\n"
     "  folian text --pages 2-3 --tsv patent.pdf\n"},
    {"help", "folian help [COMMAND]", "Shows the help of COMMAND, or this overview.\n"},
};

}  // namespace

bool PrintCommandHelp(const std::string& command, std::FILE* out) {
  for (const CommandHelp& help : kCommands) {
    if (command != help.name) continue;
    std::fprintf(out, "usage: %s\n\n%s\n%s", help.synopsis, help.text, kExitStatus);
    return true;
  }
  return false;
}

void PrintOverview(std::FILE* out) {
  const char* lead = "usage: ";
  for (const CommandHelp& help : kCommands) {
    std::fprintf(out, "%s%s\n", lead, help.synopsis);
    lead = "       ";
  }
  std::fprintf(out, "       folian --version\n\n'folian help COMMAND' tells more about a command.\n%s", kExitStatus);
}

void PrintVersion(std::FILE* out) {
  std::fprintf(out,
               "folian " FOLIAN_VERSION " (libfolian32 " FOLIAN_VERSION ")\n"
               "Licensed under the Apache License, Version 2.0.\n");
}

}  // namespace folian::cli
