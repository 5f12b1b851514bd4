#pragma once
// The three small help windows of the main window: the number formats
// (`TypeNo`), the program's name and version (`About`) and the page-list
// format (`EachPage`). Each closes with its one button. Owned by RetrievalForm.

#include <string>
#include <vector>

#include "app/window/Form.h"

namespace orvane {

inline constexpr const char* kProgramName = "Orvane";
inline constexpr const char* kProgramVersion = "2.47";

class TypeNoForm : public Form {
 public:
  struct Row {
    std::string service;
    std::string printed;
    std::string typed;
  };
  TypeNoForm();
  static const std::vector<Row>& rows();
};

class AboutForm : public Form {
 public:
  AboutForm();
};

class EachPageForm : public Form {
 public:
  EachPageForm();
};

}  // namespace orvane
