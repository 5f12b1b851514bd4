#include "app/transfer/Transfer.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "app/transfer/TransferEngine.h"

namespace orvane {
namespace {

std::string Upper(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::toupper(c); });
  return s;
}

// Splits "A:b\r\nC:d" into its non-empty lines.
curl_slist* HeaderList(const std::string& headers) {
  curl_slist* list = nullptr;
  size_t pos = 0;
  while (pos <= headers.size()) {
    size_t end = headers.find('\n', pos);
    if (end == std::string::npos) end = headers.size();
    std::string line = headers.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) list = curl_slist_append(list, line.c_str());
    pos = end + 1;
  }
  return list;
}

// Length of the longest prefix of s[0, n) that does not end inside a UTF-8
// sequence; n itself when s is not UTF-8 there.
size_t Utf8Boundary(const std::string& s, size_t from, size_t n) {
  size_t end = from + n;
  if (end >= s.size()) return n;
  size_t back = 0;
  // Step back over continuation bytes (at most three) to a lead byte.
  while (back < 3 && back < n && (static_cast<unsigned char>(s[end - back]) & 0xC0) == 0x80) ++back;
  if (back == 0 || back >= n) return n;
  return n - back;
}

}  // namespace

Transfer::Transfer(TransferEngine& engine, std::string name)
    : m_engine(engine), m_name(std::move(name)), m_easy(curl_easy_init()) {
  if (!m_easy) throw std::runtime_error("cannot create an HTTP transfer");
  m_engine.Register(this);
}

Transfer::~Transfer() {
  Cancel();
  m_engine.Unregister(this);
}

void Transfer::ResetResponse() {
  m_body.clear();
  m_readPos = 0;
  m_pending.clear();
  m_sawHeader = false;
  m_sawFinalHeaders = false;
  m_tooLarge = false;
  m_status = 0;
  m_errorCode = 0;
  m_errorText.clear();
  m_responseHeaders.clear();
  m_curlError[0] = '\0';
}

bool Transfer::Configure(const std::string& url, const std::string& verb,
                         const std::string& body, const std::string& headers) {
  CURL* easy = m_easy.get();
  curl_easy_reset(easy);
  m_url = url;
  curl_easy_setopt(easy, CURLOPT_URL, m_url.c_str());
  curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(easy, CURLOPT_MAXREDIRS, 5L);
  // Page addresses come from answer pages: only the web is ever asked, never a
  // local file or another protocol, and a redirect cannot lead elsewhere.
  curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(m_timeoutMs));
  curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, m_curlError);
  curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &Transfer::OnHeader);
  curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Transfer::OnBody);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);

  m_connectTo.reset();
  if (!m_engine.ConnectTo().empty()) {
    // "::HOST:PORT" matches every host and port of the request.
    m_connectTo.reset(curl_slist_append(nullptr, ("::" + m_engine.ConnectTo()).c_str()));
    curl_easy_setopt(easy, CURLOPT_CONNECT_TO, m_connectTo.get());
    curl_easy_setopt(easy, CURLOPT_PROXY, "");  // the fixed address is never proxied
  }
  m_headers.reset(HeaderList(headers));
  if (m_headers) curl_easy_setopt(easy, CURLOPT_HTTPHEADER, m_headers.get());

  std::string v = Upper(verb.empty() ? std::string("GET") : verb);
  if (v == "GET") {
    curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
  } else if (v == "POST") {
    m_postBody = body;
    curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE, static_cast<long>(m_postBody.size()));
    curl_easy_setopt(easy, CURLOPT_POSTFIELDS, m_postBody.c_str());
  } else {
    curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, v.c_str());
  }
  return true;
}

bool Transfer::Execute(const std::string& url, const std::string& verb, const std::string& body,
                       const std::string& headers) {
  if (StillExecuting()) {
    m_errorCode = kStillExecuting;
    m_errorText = "Still executing last request";
    return false;
  }
  ResetResponse();
  ++m_serial;
  Configure(url, verb, body, headers);
  m_lastActivity = std::chrono::steady_clock::now();
  if (!m_engine.Attach(m_easy.get())) {
    // Reported as an error notice, so the handler deals with it the way it
    // deals with any failed request, outside this call.
    Fail(kRequestFailed, "The request could not be started");
    return false;
  }
  m_active = true;
  return true;
}

bool Transfer::FetchAnswer(const std::string& url, const std::string& verb, const std::string& body,
                           const std::string& headers, std::string& text) {
  text.clear();
  m_quiet = true;
  if (!Execute(url, verb, body, headers)) {
    m_quiet = false;
    return false;
  }
  while (m_active) {
    m_engine.Poll(20);
    m_engine.RunIdleHook();
  }
  m_quiet = false;
  const bool completed = m_errorCode == 0 && m_sawFinalHeaders && m_status != 0;
  if (!completed && m_errorCode == 0) {
    m_errorCode = kRequestFailed;
    m_errorText = "The request was cancelled";
  }
  if (completed) text.swap(m_body);
  m_body.clear();
  m_readPos = 0;
  return completed;
}

std::string Transfer::ResponseHeader(const std::string& name) const {
  const std::string wanted = Upper(name);
  for (const auto& [key, value] : m_responseHeaders) {
    if (Upper(key) == wanted) return value;
  }
  return std::string();
}

bool Transfer::FetchText(const std::string& url, std::string& text) {
  if (!FetchAnswer(url, "GET", "", "", text)) return false;
  if (m_status < 200 || m_status > 299) {
    m_errorCode = kHttpStatus;
    m_errorText = "HTTP status " + std::to_string(m_status);
    text.clear();
    return false;
  }
  return true;
}

std::string Transfer::GetChunk(size_t size, Chunk kind) {
  if (m_readPos >= m_body.size() || size == 0) return std::string();
  size_t n = std::min(size, m_body.size() - m_readPos);
  if (kind == Chunk::Text) n = Utf8Boundary(m_body, m_readPos, n);
  std::string chunk = m_body.substr(m_readPos, n);
  m_readPos += n;
  return chunk;
}

void Transfer::Cancel() {
  ++m_serial;
  if (m_active) {
    m_engine.Detach(m_easy.get());
    m_active = false;
  }
  m_pending.clear();
  m_body.clear();
  m_readPos = 0;
}

void Transfer::Queue(int state) {
  if (!m_quiet) m_pending.push_back(state);
}

size_t Transfer::OnHeader(char* data, size_t size, size_t count, void* self) {
  auto* t = static_cast<Transfer*>(self);
  size_t n = size * count;
  t->m_lastActivity = std::chrono::steady_clock::now();
  if (!t->m_sawHeader) {
    t->m_sawHeader = true;
    t->Queue(kReceivingResponse);
  }
  bool blank = n <= 2 && (n == 0 || data[0] == '\r' || data[0] == '\n');
  if (!t->m_sawFinalHeaders && !blank) {
    std::string line(data, n);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    // Each header block starts with its status line; only the final block's
    // headers describe the answer.
    if (line.rfind("HTTP/", 0) == 0) {
      t->m_responseHeaders.clear();
    } else if (auto colon = line.find(':'); colon != std::string::npos) {
      size_t start = colon + 1;
      while (start < line.size() && (line[start] == ' ' || line[start] == '\t')) ++start;
      t->m_responseHeaders.emplace_back(line.substr(0, colon), line.substr(start));
    }
  }
  if (blank && !t->m_sawFinalHeaders) {
    long code = 0;
    curl_easy_getinfo(t->m_easy.get(), CURLINFO_RESPONSE_CODE, &code);
    // Interim (1xx) header blocks are not the response.
    if (code >= 200) {
      t->m_status = code;
      t->m_sawFinalHeaders = true;
      t->Queue(kResponseReceived);
    }
  }
  return n;
}

size_t Transfer::OnBody(char* data, size_t size, size_t count, void* self) {
  auto* t = static_cast<Transfer*>(self);
  size_t n = size * count;
  t->m_lastActivity = std::chrono::steady_clock::now();
  if (t->m_body.size() + n > kMaxBody) {
    t->m_tooLarge = true;
    return 0;  // makes the transfer fail with a write error
  }
  t->m_body.append(data, n);
  return n;
}

void Transfer::Finished(CURLcode result) {
  if (result == CURLE_OK) {
    long code = 0;
    curl_easy_getinfo(m_easy.get(), CURLINFO_RESPONSE_CODE, &code);
    m_status = code;
    if (!m_sawFinalHeaders) {
      m_sawFinalHeaders = true;
      Queue(kResponseReceived);
    }
    Queue(kDisconnecting);
    Queue(kDisconnected);
    Queue(kResponseCompleted);
    return;
  }
  if (result == CURLE_OPERATION_TIMEDOUT) {
    Fail(kTimedOut, "Request timed out");
  } else if (m_tooLarge) {
    Fail(kRequestFailed, "The response is larger than " + std::to_string(kMaxBody) + " bytes");
  } else {
    std::string text = curl_easy_strerror(result);
    if (m_curlError[0]) text += std::string(": ") + m_curlError;
    Fail(kRequestFailed, text);
  }
}

void Transfer::Fail(int code, const std::string& text) {
  m_errorCode = code;
  m_errorText = text;
  Queue(kError);
}

std::chrono::steady_clock::time_point Transfer::Deadline() const {
  return m_lastActivity + std::chrono::milliseconds(m_timeoutMs);
}

bool Transfer::TimedOut(std::chrono::steady_clock::time_point now) const { return now >= Deadline(); }

}  // namespace orvane
