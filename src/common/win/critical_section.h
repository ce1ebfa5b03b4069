#pragma once
// A critical section owned by one object, and a guard that holds it for a scope.
#include <windows.h>

namespace kbase {

class CriticalSection {
 public:
  CriticalSection() { ::InitializeCriticalSection(&section_); }
  ~CriticalSection() { ::DeleteCriticalSection(&section_); }
  CriticalSection(const CriticalSection&) = delete;
  CriticalSection& operator=(const CriticalSection&) = delete;

  void Lock() { ::EnterCriticalSection(&section_); }
  void Unlock() { ::LeaveCriticalSection(&section_); }

 private:
  CRITICAL_SECTION section_;
};

template <typename Locker>
class ScopedLock {
 public:
  explicit ScopedLock(Locker& locker) : locker_(locker) { locker_.Lock(); }
  ~ScopedLock() { locker_.Unlock(); }
  ScopedLock(const ScopedLock&) = delete;
  ScopedLock& operator=(const ScopedLock&) = delete;

 private:
  Locker& locker_;
};

}  // namespace kbase
