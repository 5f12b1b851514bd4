#pragma once
// Typed access to the controls of the main window and the settings window:
// one member per control,
// named as the window names it, so a misspelt control is a compile error
// rather than a failed lookup at run time. Built by RetrievalForm once its
// controls exist; the references stay valid for the window's lifetime.
#include "app/window/Control.h"

namespace orvane {

class Form;

struct MainControls {
  explicit MainControls(Form& form);
  MainControls(const MainControls&) = delete;
  MainControls& operator=(const MainControls&) = delete;

  Control& TextBox1;
  Control& clearBtn;
  Control& Command1;
  Control& CommandButton1;
  Control& allStopBtn;
  Control& tempStopBtn;
  Control& frDB;
  Control& btnE;
  Control& btnU;
  Control& btnI;
  Control& btnD;
  Control& btnK;
  Control& lblDB;
  Control& frESPACE;
  Control& lblESPACE1;
  Control& lblESPACE2;
  Control& frUSPTO;
  Control& lblUSPTO;
  Control& frIPDL;
  Control& lblIPDL;
  Control& cboIPDL;
  Control& frDELPHION;
  Control& lblDELPHION;
  Control& frKIPRIS;
  Control& lblKIPRIS;
  Control& btnO;
  Control& frOPS;
  Control& lblOPS;
  Control& frSave;
  Control& CheckBox4;
  Control& CheckBox5;
  Control& TextBox3;
  Control& badCom;
  Control& CheckBox6;
  Control& CheckBox7;
  Control& CheckBox8;
  Control& CheckBox9;
  Control& frPAJ;
  Control& lblPAJ;
  Control& frStatus;
  Control& ListBox1;
  Control& Label6;
  Control& Label8;
  Control& TextBox;
  Control& ccrpProgressBar1;
  Control& Picture3;
  Control& ShockwaveFlash1;
  Control& Combo1;
  Control& View;
  Control& Inet0;
  Control& Inet1;
  Control& Inet2;
  Control& Inet3;
  Control& Inet4;
  Control& Inet5;
  Control& Inet6;
  Control& ImgEdit1;
  Control& ImgAdmin1;
  Control& CommonDialog1;
  Control& nonVisBtn;
  Control& mnuFile;
  Control& mnuOpen;
  Control& mnuBad;
  Control& mnuExit;
  Control& mnuSet;
  Control& mnuAbout;
};

// The same for the settings window ("설정").
struct SettingControls {
  explicit SettingControls(Form& form);
  SettingControls(const SettingControls&) = delete;
  SettingControls& operator=(const SettingControls&) = delete;

  Control& frFolder;
  Control& Text1;
  Control& Command1;
  Control& Check1;
  Control& frKeep;
  Control& Option1;
  Control& Option2;
  Control& frSource;
  Control& dbESPACE;
  Control& dbUSPTO;
  Control& dbIPDL;
  Control& dbDELPHION;
  Control& dbKIPRIS;
  Control& dbOPS;
  Control& frOPSKey;
  Control& opsKey;
  Control& opsSecret;
  Control& OKButton;
  Control& CancelButton;
};

}  // namespace orvane
