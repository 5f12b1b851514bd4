#include "pdf/io/OutputSink.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>

namespace folian {
namespace {

// Empties an existing file. An empty one, or a device, is left alone: a
// truncation, even of nothing, makes the file system write the data back at
// close, as it would for a file rewritten in place.
int EmptyFile(int descriptor) {
  struct stat status {};
  if (::fstat(descriptor, &status) == 0 && (!S_ISREG(status.st_mode) || status.st_size == 0)) return descriptor;
  if (::ftruncate(descriptor, 0) == 0) return descriptor;
  const int error = errno;
  ::close(descriptor);
  errno = error;
  return -1;
}

int OpenForWriting(const char* name, bool& readable) {
  // Read access lets written objects be compared; a file that may only be
  // written is still written, just without that.
  readable = true;
  int descriptor = ::open(name, O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (descriptor < 0 && errno == EACCES) {
    readable = false;
    descriptor = ::open(name, O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  }
  return descriptor < 0 ? descriptor : EmptyFile(descriptor);
}

}  // namespace

std::unique_ptr<FileSink> FileSink::Open(const char* name, int32_t& error) {
  bool readable = false;
  errno = 0;
  int descriptor = OpenForWriting(name, readable);
  if (descriptor < 0 && errno == EACCES) {
    std::remove(name);
    errno = 0;
    descriptor = OpenForWriting(name, readable);
  }
  if (descriptor < 0) {
    error = errno ? errno : EIO;
    return nullptr;
  }
  return std::unique_ptr<FileSink>(new FileSink(descriptor, readable));
}

FileSink::FileSink(int descriptor, bool readable) : m_descriptor(descriptor), m_readable(readable) {
  // Left uninitialised: only what is written is touched.
  m_buffer.reset(new char[kBlock]);
  OpenRoom();
}

void FileSink::OpenRoom() {
  m_used = 0;
  m_room = m_buffer.get();
  m_roomEnd = m_room + kBlock;
}

void FileSink::CloseRoom() {
  m_used = Used();
  m_room = m_roomEnd = nullptr;
}

FileSink::~FileSink() {
  if (m_descriptor < 0) return;
  int32_t ignored = 0;
  (void)Flush(ignored);
  ::close(m_descriptor);
}

bool FileSink::WriteAll(const char* data, size_t length, int32_t& error) {
  size_t done = 0;
  while (done < length) {
    ssize_t written = ::write(m_descriptor, data + done, length - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      m_error = written < 0 && errno ? errno : EIO;
      error = m_error;
      CloseRoom();  // every later write fails with the error too
      // What was handed over counts as written; the rest is lost with the error.
      m_flushed += static_cast<int64_t>(done);
      return false;
    }
    done += static_cast<size_t>(written);
  }
  m_flushed += static_cast<int64_t>(done);
  return true;
}

bool FileSink::Flush(int32_t& error) {
  const int64_t start = m_flushed;
  const size_t used = Used();
  bool ok = WriteAll(m_buffer.get(), used, error);
  if (!ok) {
    // Nothing more goes through the buffer: every later write reports the error.
    CloseRoom();
    m_used = 0;
    return false;
  }
  if (used == 0) return true;
  // The block written is kept; the oldest kept block's memory becomes the new buffer.
  std::unique_ptr<char[]> next;
  if (m_kept.size() == kKeptBlocks) {
    next = std::move(m_kept.front().bytes);
    m_kept.pop_front();
  } else {
    next.reset(new char[kBlock]);
  }
  m_kept.push_back(KeptBlock{start, used, std::move(m_buffer)});
  m_buffer = std::move(next);
  if (m_room) OpenRoom();
  else m_used = 0;
  return true;
}

bool FileSink::Write(const char* data, size_t length, int32_t& error) {
  if (m_descriptor < 0 || m_error != 0) {
    error = m_descriptor < 0 ? EBADF : m_error;
    return false;
  }
  if (Used() + length > kBlock && !Flush(error)) return false;
  // A large block (stream data) goes out directly, without a copy.
  if (length >= kBlock) return WriteAll(data, length, error);
  std::memcpy(m_buffer.get() + Used(), data, length);
  if (m_room)
    m_room += length;
  else
    m_used += length;
  return true;
}

int64_t FileSink::CompareHeld(int64_t offset, const char* data, size_t length) const {
  const char* held = nullptr;
  size_t available = 0;
  if (offset >= m_flushed) {
    held = m_buffer.get() + (offset - m_flushed);
    available = Used() - static_cast<size_t>(offset - m_flushed);
  } else {
    for (const KeptBlock& block : m_kept) {
      const int64_t end = block.start + static_cast<int64_t>(block.length);
      if (offset >= block.start && offset < end) {
        held = block.bytes.get() + (offset - block.start);
        available = static_cast<size_t>(end - offset);
        break;
      }
    }
  }
  if (!held) return 0;
  const size_t count = std::min(available, length);
  return std::memcmp(held, data, count) == 0 ? static_cast<int64_t>(count) : -1;
}

bool FileSink::Matches(int64_t offset, const char* data, size_t length) {
  if (offset < 0 || offset + static_cast<int64_t>(length) > Position()) return false;
  // Compared in memory where the bytes are still held; older ones are read back.
  char chunk[65536];
  size_t done = 0;
  while (done < length) {
    const int64_t at = offset + static_cast<int64_t>(done);
    const int64_t held = CompareHeld(at, data + done, length - done);
    if (held < 0) return false;
    if (held > 0) {
      done += static_cast<size_t>(held);
      continue;
    }
    if (!m_readable) return false;
    size_t want = std::min(sizeof chunk, length - done);
    // Read no further than where the kept bytes begin.
    const int64_t keptFrom = m_kept.empty() ? m_flushed : m_kept.front().start;
    if (at < keptFrom) want = std::min(want, static_cast<size_t>(keptFrom - at));
    ssize_t got = ::pread(m_descriptor, chunk, want, static_cast<off_t>(at));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    if (std::memcmp(chunk, data + done, static_cast<size_t>(got)) != 0) return false;
    done += static_cast<size_t>(got);
  }
  return true;
}

bool FileSink::Close(int32_t& error) {
  if (m_descriptor < 0) return true;
  bool ok = m_error == 0 && Flush(error);
  if (!ok && error == 0) error = m_error;
  int rc = ::close(m_descriptor);
  m_descriptor = -1;
  CloseRoom();
  if (ok && rc != 0) {
    error = errno ? errno : EIO;
    ok = false;
  }
  return ok;
}

MemorySink::MemorySink() : m_buffer(new char[kStep]), m_capacity(kStep) {}

bool MemorySink::Write(const char* data, size_t length, int32_t& error) {
  if (m_used + length >= m_capacity) {
    size_t needed = m_used + length;
    std::unique_ptr<char[]> grown(new (std::nothrow) char[needed + kStep]);
    if (!grown) {
      error = ENOMEM;
      return false;
    }
    std::memcpy(grown.get(), m_buffer.get(), m_used);
    m_buffer = std::move(grown);
    m_capacity = needed + kStep;
  }
  std::memcpy(m_buffer.get() + m_used, data, length);
  m_used += length;
  return true;
}

bool MemorySink::Matches(int64_t offset, const char* data, size_t length) {
  if (offset < 0 || static_cast<size_t>(offset) + length > m_used) return false;
  return std::memcmp(m_buffer.get() + offset, data, length) == 0;
}

}  // namespace folian
