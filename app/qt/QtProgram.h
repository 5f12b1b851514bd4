#pragma once
// The windowed program: Qt application, Korean-capable font, the window model
// loaded from the settings root, and the main window until it is closed.

#include <functional>

namespace orvane {

class RetrievalForm;

// `setup` runs after the window model has loaded; the program registers the
// service procedures and transfers there. Returns the program's exit status.
int RunWindowProgram(int argc, char** argv, const std::function<void(RetrievalForm&)>& setup = {});

// Chooses a font that has Hangul glyphs when one is installed.
void UseKoreanFont();

}  // namespace orvane
