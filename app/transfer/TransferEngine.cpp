#include "app/transfer/TransferEngine.h"

#include <algorithm>
#include <chrono>
#include <mutex>
#include <stdexcept>

#include "app/transfer/Transfer.h"

namespace orvane {
namespace {

void GlobalInitOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

}  // namespace

TransferEngine::TransferEngine() {
  GlobalInitOnce();
  m_multi = curl_multi_init();
  if (!m_multi) throw std::runtime_error("cannot create the HTTP transfer engine");
}

TransferEngine::~TransferEngine() {
  // Transfers unregister themselves; any still here are detached first.
  for (Transfer* t : m_transfers) {
    if (t->m_active) Detach(t->m_easy.get());
  }
  curl_multi_cleanup(m_multi);
}

void TransferEngine::Register(Transfer* transfer) { m_transfers.push_back(transfer); }

void TransferEngine::Unregister(Transfer* transfer) {
  m_transfers.erase(std::remove(m_transfers.begin(), m_transfers.end(), transfer),
                    m_transfers.end());
}

bool TransferEngine::Attach(CURL* easy) { return curl_multi_add_handle(m_multi, easy) == CURLM_OK; }

void TransferEngine::Detach(CURL* easy) { curl_multi_remove_handle(m_multi, easy); }

bool TransferEngine::AnyExecuting() const {
  return std::any_of(m_transfers.begin(), m_transfers.end(),
                     [](const Transfer* t) { return t->StillExecuting(); });
}

int TransferEngine::WaitBudgetMs(int maxWaitMs) const {
  using namespace std::chrono;
  int budget = std::max(0, maxWaitMs);
  auto now = steady_clock::now();
  for (const Transfer* t : m_transfers) {
    if (!t->m_inHandler && !t->m_pending.empty()) return 0;
    if (t->m_active) {
      auto left = duration_cast<milliseconds>(t->Deadline() - now).count();
      budget = std::min<int>(budget, static_cast<int>(std::max<long long>(0, left + 1)));
    }
  }
  return budget;
}

void TransferEngine::Poll(int maxWaitMs) {
  // Work first, so a request started since the last call goes out at once,
  // then wait for the network only when nothing is ready to be delivered.
  int running = 0;
  curl_multi_perform(m_multi, &running);
  CollectFinished();
  CheckTimeouts();
  if (int wait = WaitBudgetMs(maxWaitMs); wait > 0) {
    curl_multi_poll(m_multi, nullptr, 0, wait, nullptr);
    curl_multi_perform(m_multi, &running);
    CollectFinished();
    CheckTimeouts();
  }
  DeliverNotices();
}

void TransferEngine::CollectFinished() {
  int left = 0;
  while (CURLMsg* msg = curl_multi_info_read(m_multi, &left)) {
    if (msg->msg != CURLMSG_DONE) continue;
    CURL* easy = msg->easy_handle;
    CURLcode result = msg->data.result;
    for (Transfer* t : m_transfers) {
      if (t->m_easy.get() == easy && t->m_active) {
        Detach(easy);
        t->m_active = false;
        t->Finished(result);
        break;
      }
    }
  }
}

void TransferEngine::CheckTimeouts() {
  auto now = std::chrono::steady_clock::now();
  for (Transfer* t : m_transfers) {
    if (t->m_active && t->TimedOut(now)) {
      Detach(t->m_easy.get());
      t->m_active = false;
      t->Fail(Transfer::kTimedOut, "Request timed out");
    }
  }
}

// Hands out queued notices until none is deliverable. A handler may poll the
// engine again (through the event pump) and so deliver notices of other
// transfers nested inside it; the list is re-scanned after every delivery
// because such nested calls change what is pending.
void TransferEngine::DeliverNotices() {
  bool delivered = true;
  while (delivered) {
    delivered = false;
    for (size_t i = 0; i < m_transfers.size(); ++i) {
      Transfer* t = m_transfers[i];
      if (t->m_inHandler || t->m_pending.empty()) continue;
      int state = t->m_pending.front();
      t->m_pending.pop_front();
      if (t->m_handler) {
        t->m_inHandler = true;
        t->m_handler(state);
        t->m_inHandler = false;
      }
      delivered = true;
      break;
    }
  }
}

}  // namespace orvane
