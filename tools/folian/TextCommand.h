#pragma once
// "folian text FILE [--pages A-B] [--tsv]": the text of a PDF file as UTF-8.
// Plain output has one line per line of text, top to bottom, and a form feed
// between pages; --tsv prints one token a line: page, x, y, width, height,
// orientation, font and text, separated by tabs.

// Runs the command on argv[2..]; yields the exit status (0, 1 for a file that
// cannot be read, 2 for bad usage).
int TextCommand(int argc, char** argv);
