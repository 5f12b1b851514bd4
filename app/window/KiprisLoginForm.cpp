#include "app/window/KiprisLoginForm.h"

namespace orvane {

KiprisLoginForm::KiprisLoginForm(RunState& run) : Form("KIPRIS"), m_run(run) {
  add("lblID", ControlKind::Label, "아이디");
  add("KiprisID", ControlKind::TextBox);
  add("lblPW", ControlKind::Label, "비밀번호");
  add("KiprisPW", ControlKind::TextBox);
  add("KiprisOK", ControlKind::Button, "확인");
  add("KiprisCancel", ControlKind::Button, "취소");
}

bool KiprisLoginForm::KiprisOK_Click() {
  const bool ok = m_login && m_login(KiprisID().text(), KiprisPW().text());
  m_run.KiprisLoggedIn = ok;
  if (ok) KiprisPW().setText("");
  return ok;
}

void KiprisLoginForm::KiprisCancel_Click() {
  m_run.KiprisLoggedIn = false;
  KiprisPW().setText("");
}

}  // namespace orvane
