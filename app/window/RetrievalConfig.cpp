// Service selection and save-range configuration of the main window.
#include "app/window/RetrievalForm.h"

namespace orvane {
void RetrievalForm::colourServiceButtons(Service service) {
  Control* buttons[6] = {&ui().btnE, &ui().btnU, &ui().btnI, &ui().btnD, &ui().btnK, &ui().btnO};
  for (int i = 0; i < 6; ++i)
    buttons[i]->setBackColor(static_cast<int>(service) == i + 1 ? kOrangeColor : kButtonFaceColor);
}

void RetrievalForm::showServiceFrame(Service service) {
  Control* frames[6] = {&ui().frESPACE, &ui().frUSPTO, &ui().frIPDL, &ui().frDELPHION, &ui().frKIPRIS, &ui().frOPS};
  for (int i = 0; i < 6; ++i) frames[i]->setVisible(static_cast<int>(service) == i + 1);
}

void RetrievalForm::applyStartupConfiguration(Service service) {
  if (service == Service::None) return;
  ui().lblDB.setCaption(ServiceName(service));
  showServiceFrame(service);
  colourServiceButtons(service);
  switch (service) {
    case Service::Uspto: setEnabled({&ui().CheckBox7, &ui().CheckBox8}, false); break;
    case Service::Ipdl: setEnabled({&ui().CheckBox6, &ui().CheckBox7, &ui().CheckBox8}, false); break;
    case Service::Delphion:
      ui().frSave.setVisible(false);
      ui().frPAJ.setVisible(true);
      ui().CheckBox9.setEnabled(false);
      break;
    case Service::Kipris:
      setEnabled({&ui().CheckBox6, &ui().CheckBox7, &ui().CheckBox8}, false);
      ui().CheckBox9.setEnabled(true);
      break;
    default: break;
  }
}

void RetrievalForm::applyServiceConfiguration(Service service) {
  if (service == Service::None) return;
  ui().lblDB.setCaption(ServiceName(service));
  showServiceFrame(service);
  colourServiceButtons(service);
  Control& bad = ui().mnuBad;
  const bool paj = ipdlKind() == "PAJ";
  switch (service) {
    case Service::Espacenet:
    case Service::Ops:
      bad.setEnabled(true);
      ui().frSave.setVisible(true);
      ui().frPAJ.setVisible(false);
      if (!bad.checked())
        setEnabled({&ui().CheckBox5, &ui().CheckBox6, &ui().CheckBox7, &ui().CheckBox8, &ui().CheckBox9}, true);
      break;
    case Service::Uspto:
      ui().CheckBox5.setCaption("Page");
      bad.setEnabled(true);
      ui().frSave.setVisible(true);
      ui().frPAJ.setVisible(false);
      uncheck({&ui().CheckBox7, &ui().CheckBox8});
      setEnabled({&ui().CheckBox7, &ui().CheckBox8}, false);
      setEnabled({&ui().CheckBox5, &ui().CheckBox6, &ui().CheckBox9}, true);
      break;
    case Service::Ipdl:
      ui().CheckBox5.setCaption("Page");
      bad.setChecked(false);
      bad.setEnabled(!paj);
      setEnabled({&ui().CheckBox4, &ui().CheckBox5}, true);
      uncheck({&ui().CheckBox6, &ui().CheckBox7, &ui().CheckBox8});
      setEnabled({&ui().CheckBox6, &ui().CheckBox7, &ui().CheckBox8}, false);
      ui().CheckBox4.setChecked(true);
      ui().CheckBox9.setEnabled(!paj);
      ui().frSave.setVisible(!paj);
      ui().frPAJ.setVisible(paj);
      break;
    case Service::Delphion:
      bad.setChecked(false);
      bad.setEnabled(false);
      ui().frSave.setVisible(false);
      ui().frPAJ.setVisible(true);
      ui().CheckBox9.setEnabled(false);
      break;
    case Service::Kipris:
      ui().CheckBox5.setCaption("Page");
      bad.setChecked(false);
      bad.setEnabled(true);
      ui().CheckBox4.setEnabled(true);
      uncheck({&ui().CheckBox5, &ui().CheckBox6, &ui().CheckBox7, &ui().CheckBox8});
      ui().CheckBox4.setChecked(true);
      setEnabled({&ui().CheckBox6, &ui().CheckBox7, &ui().CheckBox8}, false);
      ui().CheckBox9.setEnabled(true);
      ui().frSave.setVisible(true);
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
  ui().frSave.setVisible(!paj);
  ui().frPAJ.setVisible(paj);
  if (paj) ui().CheckBox9.setChecked(false);
  ui().CheckBox9.setEnabled(!paj);
  ui().mnuBad.setEnabled(!paj);
}

// Bad-page mode fetches only the listed pages of an earlier number and joins
// them with the pages kept from before.
void RetrievalForm::mnuBad_Click() {
  Control& bad = ui().mnuBad;
  if (!bad.checked()) {
    bad.setChecked(true);
    ui().CheckBox5.setCaption("BadPG");
    ui().CheckBox5.setChecked(true);
    uncheck({&ui().CheckBox4, &ui().CheckBox6, &ui().CheckBox7, &ui().CheckBox8, &ui().CheckBox9});
    setEnabled({&ui().CheckBox4, &ui().CheckBox6, &ui().CheckBox7, &ui().CheckBox8, &ui().CheckBox9}, false);
    return;
  }
  bad.setChecked(false);
  ui().CheckBox5.setCaption("Page");
  ui().CheckBox5.setChecked(false);
  ui().CheckBox4.setChecked(true);
  ui().CheckBox4.setEnabled(true);
  ui().TextBox3.setText("");
  ui().CheckBox9.setEnabled(true);
  switch (selectedService()) {
    case Service::Espacenet:
    case Service::Ops: setEnabled({&ui().CheckBox6, &ui().CheckBox7, &ui().CheckBox8}, true); break;
    case Service::Uspto: ui().CheckBox6.setEnabled(true); break;
    case Service::Ipdl:
    case Service::Kipris: setEnabled({&ui().CheckBox6, &ui().CheckBox7, &ui().CheckBox8}, false); break;
    default: break;
  }
}

}  // namespace orvane
