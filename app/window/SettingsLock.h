#pragma once
// The lock that gives one run at a time the settings root: the number list
// file and the scratch pages there are shared by every run on that root, so
// two runs at once would read each other's numbers and answer pages. The
// lock is an advisory lock on "orvane.lock" in the root, held from the start
// of a run to its end; the system drops it when the process ends, so a
// crashed run never leaves the root locked. Not copyable; the destructor
// releases the lock.
#include <filesystem>

namespace orvane {

class SettingsLock {
 public:
  static constexpr const char* kFileName = "orvane.lock";

  SettingsLock() = default;
  ~SettingsLock() { release(); }
  SettingsLock(const SettingsLock&) = delete;
  SettingsLock& operator=(const SettingsLock&) = delete;

  // Takes the lock of the root without waiting. False when another run holds
  // it. A root where no lock file can be made (read-only) is not locked:
  // such a run cannot write the shared files either.
  [[nodiscard]] bool acquire(const std::filesystem::path& root);
  void release();
  bool held() const { return m_fd >= 0; }

 private:
  int m_fd = -1;
};

}  // namespace orvane
