#pragma once
// Viewing and printing from the main window: View_Click opens the document
// picked in Combo1, mnuOpen_Click any file chosen in a file dialog, both with
// the desktop's viewer (xdg-open); pdfPrint sends a document to the default
// printer (lp); GetExecutableFile names the program associated with a file
// (xdg-mime). A missing viewer association or print command is reported with
// the window's Korean message boxes. When the window's host starts no
// programs (headless mode) the command lines are reported instead of run.
//
// Owned by the assembly part attached to the main window, which must outlive it.
#include <string>

#include "app/assembly/ExternalPrograms.h"
#include "app/window/RetrievalService.h"

namespace orvane {

class RetrievalForm;

// The extension of a Combo1 entry's file, by the service chosen, the IPDL
// kind and the entry's first character.
std::string ViewExtension(Service service, const std::string& ipdlKind, const std::string& entry);

class DocumentViewer {
 public:
  static constexpr int kPrintTimeoutMs = 30000;
  static constexpr int kPrintPumpMs = 20;  // one turn of the window's events while the print command runs

  explicit DocumentViewer(RetrievalForm& form) : m_form(form) {}

  void View_Click();
  void mnuOpen_Click();
  // Sends the document to the default printer; false when the print command
  // is missing, did not take the job, or a stop ended the wait for it.
  bool pdfPrint(const std::string& strFileNameToPrint);
  // The program associated with the file, or "" (a message box when the file
  // exists but nothing is associated with it).
  std::string GetExecutableFile(const std::string& FileName);

  // The file View_Click opens for an entry.
  std::string ViewPath(const std::string& entry);

 private:
  // Opens the file with the viewer; the message when nothing can show it.
  void OpenWithViewer(const std::string& file);
  // Runs the command, or reports it when the host starts no programs.
  bool Start(const Command& command);
  void Message(const std::string& text);
  bool EspacenetSelected();
  std::string SaveFolder();

  RetrievalForm& m_form;
};

}  // namespace orvane
