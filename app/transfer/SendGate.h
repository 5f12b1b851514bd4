#pragma once
// A service that meters its page requests: it decides when each slot may
// send, adds its own header lines (authorization, the kind of answer wanted)
// and looks at every answer before the slot judges it. A page the gate sends
// again (a fair-use refusal, an access token that ran out) is neither GOOD
// nor BAD and spends none of the page's retries.
//
// Set on TransferSlots by the service for its own runs and cleared after;
// the service owns it. Every call comes from the window thread.
#include <string>

namespace orvane {

class Transfer;

class SendGate {
 public:
  enum class Verdict {
    Judge,   // the slot judges the answer as it does for every service
    Resend,  // the page goes out again when the gate allows; no retry spent
  };

  virtual ~SendGate() = default;
  // True when slot k may send now; a slot told no waits and asks again.
  virtual bool MaySend(int k) = 0;
  // Header lines for slot k's request, taken just before it is sent.
  virtual std::string RequestHeaders(int k) = 0;
  // Slot k's completed answer (status, headers, body still unread).
  virtual Verdict OnAnswer(int k, const Transfer& answer) = 0;
  // Lets the gate do its own work (renew a token) once per event turn.
  virtual void Poll() {}
};

}  // namespace orvane
