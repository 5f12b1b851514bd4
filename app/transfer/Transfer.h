#pragma once
// One HTTP transfer control (the program's Inet0..Inet6): sends one request at
// a time, GET or POST with a form body and header lines, and reports its
// progress through state notices delivered by TransferEngine::Poll():
//   7 receiving response, 8 response received, 9 disconnecting,
//   10 disconnected, 12 response completed   (in this order), or
//   11 error (time-out, connection failure, reset, truncated body).
// A completed response (12) may carry any HTTP status; the reader judges it.
//
// The body is kept in memory as it arrives and read by the handler in chunks.
// The request time-out is an inactivity limit: a request that receives
// nothing for that long fails with error 35761, the number the status texts expect.
//
// Owned by the main window's transfer set; registered with one engine for
// its whole life. Single-threaded: every call comes from the window thread.
#include <curl/curl.h>

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace orvane {

class TransferEngine;

class Transfer {
 public:
  enum State : int {
    kReceivingResponse = 7,
    kResponseReceived = 8,
    kDisconnecting = 9,
    kDisconnected = 10,
    kError = 11,
    kResponseCompleted = 12,
  };
  // Error numbers reported by ErrorCode(). Callers rely only on kTimedOut.
  static constexpr int kTimedOut = 35761;
  static constexpr int kStillExecuting = 35764;
  static constexpr int kRequestFailed = 35754;
  static constexpr int kHttpStatus = 35755;  // synchronous fetch got a non-2xx status
  static constexpr size_t kMaxBody = 64u << 20;  // larger responses fail
  static constexpr int kDefaultTimeoutMs = 60000;

  enum class Chunk { Bytes, Text };
  using StateHandler = std::function<void(int state)>;

  Transfer(TransferEngine& engine, std::string name);
  ~Transfer();
  Transfer(const Transfer&) = delete;
  Transfer& operator=(const Transfer&) = delete;

  const std::string& Name() const { return m_name; }
  void SetStateHandler(StateHandler handler) { m_handler = std::move(handler); }
  void SetRequestTimeoutMs(int ms) { m_timeoutMs = ms > 0 ? ms : kDefaultTimeoutMs; }
  int RequestTimeoutMs() const { return m_timeoutMs; }

  // Starts a request. verb is "Get"/"GET" or "POST" (any case); headers are
  // "Name:value" lines separated by line breaks. A request still executing
  // is refused (false, error kStillExecuting), as is an unusable URL.
  bool Execute(const std::string& url, const std::string& verb = "GET",
               const std::string& body = "", const std::string& headers = "");

  // Fetches url and waits for the whole body, polling the engine (other
  // transfers keep running and receive their notices meanwhile). Gives no
  // notices of its own. False on any error or a non-2xx status; the error
  // is then in ErrorCode()/ErrorText() and text is empty.
  bool FetchText(const std::string& url, std::string& text);

  // Sends a request with any verb, body and header lines and waits for the
  // whole answer like FetchText, but hands over the body and keeps the
  // status and headers whatever the status is. False only when no complete
  // answer came (time-out, connection failure, cancel).
  bool FetchAnswer(const std::string& url, const std::string& verb, const std::string& body,
                   const std::string& headers, std::string& text);

  // The value of a header of the last answer's final header block (name
  // compared without regard to case); "" when it is absent.
  std::string ResponseHeader(const std::string& name) const;

  // Next part of the body, at most `size` bytes; empty at the end. A text
  // chunk never ends inside a UTF-8 sequence.
  std::string GetChunk(size_t size = 1024, Chunk kind = Chunk::Bytes);

  // True from Execute until the completion or error notice has been handed
  // to the handler (or the request was cancelled).
  bool StillExecuting() const { return m_active || !m_pending.empty(); }

  // Abandons the request: no further notices, body dropped.
  void Cancel();

  long ResponseStatus() const { return m_status; }
  int ErrorCode() const { return m_errorCode; }
  const std::string& ErrorText() const { return m_errorText; }
  const std::string& Url() const { return m_url; }
  size_t BodySize() const { return m_body.size(); }
  // Changes with every Execute and Cancel: a handler that let events run can
  // tell whether its request is still the current one.
  uint64_t Serial() const { return m_serial; }

 private:
  friend class TransferEngine;
  struct EasyDeleter {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
  };
  struct ListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
  };

  static size_t OnHeader(char* data, size_t size, size_t count, void* self);
  static size_t OnBody(char* data, size_t size, size_t count, void* self);
  void Queue(int state);
  void Finished(CURLcode result);
  void Fail(int code, const std::string& text);
  bool TimedOut(std::chrono::steady_clock::time_point now) const;
  std::chrono::steady_clock::time_point Deadline() const;
  bool Configure(const std::string& url, const std::string& verb, const std::string& body,
                 const std::string& headers);
  void ResetResponse();

  TransferEngine& m_engine;
  std::string m_name;
  StateHandler m_handler;
  std::unique_ptr<CURL, EasyDeleter> m_easy;
  std::unique_ptr<curl_slist, ListDeleter> m_headers;
  std::unique_ptr<curl_slist, ListDeleter> m_connectTo;
  char m_curlError[CURL_ERROR_SIZE] = {};
  std::string m_url;
  std::string m_postBody;
  std::string m_body;
  size_t m_readPos = 0;
  std::deque<int> m_pending;
  bool m_active = false;     // attached to the engine, network work going on
  bool m_inHandler = false;  // a notice of this transfer is being handled
  bool m_quiet = false;      // synchronous fetch: no notices
  bool m_sawHeader = false;
  bool m_sawFinalHeaders = false;
  bool m_tooLarge = false;
  long m_status = 0;
  int m_errorCode = 0;
  std::string m_errorText;
  std::vector<std::pair<std::string, std::string>> m_responseHeaders;
  int m_timeoutMs = kDefaultTimeoutMs;
  uint64_t m_serial = 0;
  std::chrono::steady_clock::time_point m_lastActivity{};
};

}  // namespace orvane
