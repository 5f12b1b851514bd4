#pragma once
// What the window model needs from a user interface toolkit: message boxes,
// modal windows, folder and file choosers, the print splash, and whether
// outside programs (viewer, printer) may be started. The Qt front end shows
// real dialogs; the headless host prints the text, takes the default answer
// and reports the commands it would run. Not owned by the model; the host
// must outlive the forms that use it.

#include <optional>
#include <string>

namespace orvane {

enum class MessageButtons { Ok, OkCancel };
enum class MessageAnswer { Ok, Cancel };

enum class ModalWindow { Setting, TypeNo, About, EachPage, KiprisLogin };

class UiHost {
 public:
  virtual ~UiHost() = default;
  virtual MessageAnswer messageBox(const std::string& text, const std::string& title,
                                   MessageButtons buttons) = 0;
  // Shows the window modally; returns when it is closed.
  virtual void showModal(ModalWindow window) = 0;
  // A folder picked by the user, or nothing when cancelled.
  virtual std::optional<std::string> chooseFolder(const std::string& startFolder) = 0;
  // Ends the program (menu Exit, window closed).
  virtual void quit() = 0;

  // A file picked in a file-open dialog, or nothing when cancelled. `filter`
  // is in the form "ALL files (*.*)|*.*".
  virtual std::optional<std::string> chooseFile(const std::string& startFolder, const std::string& filter) {
    (void)startFolder;
    (void)filter;
    return std::nullopt;
  }
  // Whether outside programs may be started. A host that says no gets the
  // command line through report() instead.
  virtual bool startsPrograms() const { return true; }
  // A line for the person watching (the headless host prints it).
  virtual void report(const std::string& text) { (void)text; }
  // The small print-progress window (frmSplash), shown without blocking;
  // showSplash again replaces its text.
  virtual void showSplash(const std::string& text) { (void)text; }
  virtual void closeSplash() {}
};

}  // namespace orvane
