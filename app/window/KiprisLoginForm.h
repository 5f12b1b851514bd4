#pragma once
// The KIPRIS login window (`KiprisLogin`): identifier and password boxes
// with "확인" and "취소". OK hands both to the login action the KIPRIS
// service installs and records the outcome in the run state's
// KiprisLoggedIn; it closes the window on success and leaves it open for
// another try on failure. Cancel clears KiprisLoggedIn.
//
// The password lives only in the KiprisPW box while the window is in use:
// it is cleared after a successful login and by Cancel, and nothing of it is
// stored. Owned by RetrievalForm; the run state must outlive it.
#include <functional>
#include <string>

#include "app/window/Form.h"
#include "app/window/RunState.h"

namespace orvane {

class KiprisLoginForm : public Form {
 public:
  // Logs in with identifier and password; true on success.
  using LoginAction = std::function<bool(const std::string& id, const std::string& password)>;

  explicit KiprisLoginForm(RunState& run);

  void setLoginAction(LoginAction action) { m_login = std::move(action); }
  bool hasLoginAction() const { return static_cast<bool>(m_login); }

  Control& KiprisID() { return control("KiprisID"); }
  Control& KiprisPW() { return control("KiprisPW"); }

  // True when the login succeeded and the window closes.
  bool KiprisOK_Click();
  void KiprisCancel_Click();

 private:
  RunState& m_run;
  LoginAction m_login;
};

}  // namespace orvane
