#pragma once
// What the window model needs from a user interface toolkit: message boxes,
// modal windows and a folder chooser. The Qt front end shows real dialogs; the
// headless host prints the text and takes the default answer. Not owned by the
// model; the host must outlive the forms that use it.

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
};

}  // namespace orvane
