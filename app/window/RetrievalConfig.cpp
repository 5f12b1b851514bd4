// Service selection and save-range configuration of the main window.
#include "app/window/RetrievalForm.h"

namespace orvane {
namespace {

const char* const kServiceButtons[5] = {"btnE", "btnU", "btnI", "btnD", "btnK"};
const char* const kServiceFrames[5] = {"frESPACE", "frUSPTO", "frIPDL", "frDELPHION", "frKIPRIS"};

}  // namespace

void RetrievalForm::colourServiceButtons(Service service) {
  for (int i = 0; i < 5; ++i)
    control(kServiceButtons[i]).setBackColor(static_cast<int>(service) == i + 1 ? kOrangeColor : kButtonFaceColor);
}

void RetrievalForm::showServiceFrame(Service service) {
  for (int i = 0; i < 5; ++i) control(kServiceFrames[i]).setVisible(static_cast<int>(service) == i + 1);
}

void RetrievalForm::applyStartupConfiguration(Service service) {
  if (service == Service::None) return;
  control("lblDB").setCaption(ServiceName(service));
  showServiceFrame(service);
  colourServiceButtons(service);
  switch (service) {
    case Service::Uspto: setEnabled({"CheckBox7", "CheckBox8"}, false); break;
    case Service::Ipdl: setEnabled({"CheckBox6", "CheckBox7", "CheckBox8"}, false); break;
    case Service::Delphion:
      control("frSave").setVisible(false);
      control("frPAJ").setVisible(true);
      control("CheckBox9").setEnabled(false);
      break;
    case Service::Kipris:
      setEnabled({"CheckBox6", "CheckBox7", "CheckBox8"}, false);
      control("CheckBox9").setEnabled(true);
      break;
    default: break;
  }
}

void RetrievalForm::applyServiceConfiguration(Service service) {
  if (service == Service::None) return;
  control("lblDB").setCaption(ServiceName(service));
  showServiceFrame(service);
  colourServiceButtons(service);
  Control& bad = control("mnuBad");
  const bool paj = ipdlKind() == "PAJ";
  switch (service) {
    case Service::Espacenet:
      bad.setEnabled(true);
      control("frSave").setVisible(true);
      control("frPAJ").setVisible(false);
      if (!bad.checked()) setEnabled({"CheckBox5", "CheckBox6", "CheckBox7", "CheckBox8", "CheckBox9"}, true);
      break;
    case Service::Uspto:
      control("CheckBox5").setCaption("Page");
      bad.setEnabled(true);
      control("frSave").setVisible(true);
      control("frPAJ").setVisible(false);
      uncheck({"CheckBox7", "CheckBox8"});
      setEnabled({"CheckBox7", "CheckBox8"}, false);
      setEnabled({"CheckBox5", "CheckBox6", "CheckBox9"}, true);
      break;
    case Service::Ipdl:
      control("CheckBox5").setCaption("Page");
      bad.setChecked(false);
      bad.setEnabled(!paj);
      setEnabled({"CheckBox4", "CheckBox5"}, true);
      uncheck({"CheckBox6", "CheckBox7", "CheckBox8"});
      setEnabled({"CheckBox6", "CheckBox7", "CheckBox8"}, false);
      control("CheckBox4").setChecked(true);
      control("CheckBox9").setEnabled(!paj);
      control("frSave").setVisible(!paj);
      control("frPAJ").setVisible(paj);
      break;
    case Service::Delphion:
      bad.setChecked(false);
      bad.setEnabled(false);
      control("frSave").setVisible(false);
      control("frPAJ").setVisible(true);
      control("CheckBox9").setEnabled(false);
      break;
    case Service::Kipris:
      control("CheckBox5").setCaption("Page");
      bad.setChecked(false);
      bad.setEnabled(true);
      control("CheckBox4").setEnabled(true);
      uncheck({"CheckBox5", "CheckBox6", "CheckBox7", "CheckBox8"});
      control("CheckBox4").setChecked(true);
      setEnabled({"CheckBox6", "CheckBox7", "CheckBox8"}, false);
      control("CheckBox9").setEnabled(true);
      control("frSave").setVisible(true);
      break;
    case Service::None: break;
  }
}

void RetrievalForm::serviceButton(Service service) {
  colourServiceButtons(service);
  m_setting.ensureLoaded();
  m_setting.selectService(service);
  m_setting.OKButton_Click();
}

void RetrievalForm::useServiceForSession(Service service) {
  m_setting.ensureLoaded();
  m_setting.selectService(service);
  applyServiceConfiguration(service);
}

void RetrievalForm::cboIPDL_Click() {
  const bool paj = ipdlKind() == "PAJ";
  control("frSave").setVisible(!paj);
  control("frPAJ").setVisible(paj);
  if (paj) control("CheckBox9").setChecked(false);
  control("CheckBox9").setEnabled(!paj);
  control("mnuBad").setEnabled(!paj);
}

// Bad-page mode fetches only the listed pages of an earlier number and joins
// them with the pages kept from before.
void RetrievalForm::mnuBad_Click() {
  Control& bad = control("mnuBad");
  if (!bad.checked()) {
    bad.setChecked(true);
    control("CheckBox5").setCaption("BadPG");
    control("CheckBox5").setChecked(true);
    uncheck({"CheckBox4", "CheckBox6", "CheckBox7", "CheckBox8", "CheckBox9"});
    setEnabled({"CheckBox4", "CheckBox6", "CheckBox7", "CheckBox8", "CheckBox9"}, false);
    return;
  }
  bad.setChecked(false);
  control("CheckBox5").setCaption("Page");
  control("CheckBox5").setChecked(false);
  control("CheckBox4").setChecked(true);
  control("CheckBox4").setEnabled(true);
  control("TextBox3").setText("");
  control("CheckBox9").setEnabled(true);
  switch (selectedService()) {
    case Service::Espacenet: setEnabled({"CheckBox6", "CheckBox7", "CheckBox8"}, true); break;
    case Service::Uspto: control("CheckBox6").setEnabled(true); break;
    case Service::Ipdl:
    case Service::Kipris: setEnabled({"CheckBox6", "CheckBox7", "CheckBox8"}, false); break;
    default: break;
  }
}

}  // namespace orvane
