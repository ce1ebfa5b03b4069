#pragma once
// A thread that drains a queue of values one at a time, in order, handing each to a
// callback. The queue lock is held only to copy, append or remove an item, never while
// the callback runs.
#include <windows.h>

#include <deque>

#include "common/win/critical_section.h"
#include "common/win/scoped_handle.h"
#include "report/thread_base.h"

namespace kbase {

template <typename T>
class _CallBack {
 public:
  virtual int OnItem(int user_value, const T& item) = 0;

 protected:
  ~_CallBack() = default;
};

// `Reserved` has no effect; the installer instantiates the queue with 4.
template <typename T, int Reserved, typename Locker>
class kxQueueThreadRun : public kxThreadBase<Locker> {
  using Base = kxThreadBase<Locker>;

 public:
  kxQueueThreadRun() = default;

  ~kxQueueThreadRun() override {
    Stop(kDestroyStopMs);
    ScopedLock<Locker> hold(queue_lock_);
    work_event_.Reset();
    stop_event_.Reset();
    queue_.clear();
  }

  void OnStart() override {
    ScopedLock<Locker> hold(queue_lock_);
    if (!work_event_.valid()) work_event_.Reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!stop_event_.valid()) stop_event_.Reset(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
    // After a forced end the old stop may still be signalled; it must not end this run.
    if (stop_event_.valid()) ::ResetEvent(stop_event_.get());
  }

  void OnEnd(int result) override {
    ScopedLock<Locker> hold(queue_lock_);
    work_event_.Reset();
    stop_event_.Reset();
  }

  // Holding the queue lock, so the thread is never ended in the middle of a queue change.
  // A thread ended by force cannot drop what is left, so that happens here.
  int Terminate() override {
    ScopedLock<Locker> hold(queue_lock_);
    const int result = Base::Terminate();
    if (result == 0) queue_.clear();
    return result;
  }

  int Stop(DWORD milliseconds) override {
    {
      ScopedLock<Locker> hold(queue_lock_);
      if (stop_event_.valid()) ::SetEvent(stop_event_.get());
    }
    return Base::Stop(milliseconds);
  }

  // Appends a copy and wakes the thread; false when the thread's events are gone.
  bool Push(const T& item) {
    ScopedLock<Locker> hold(queue_lock_);
    if (!work_event_.valid()) return false;
    queue_.push_back(item);
    ::SetEvent(work_event_.get());
    return true;
  }

  // Waits for work or the stop event; 255 after a stop, 254 after the wait time-out, 253
  // when the wait fails. Items still queued at the end are dropped.
  int Run(int user_value, int reserved) override {
    HANDLE events[2];
    {
      ScopedLock<Locker> hold(queue_lock_);
      // The stop event comes first, so a stop wins over waiting work.
      events[0] = stop_event_.get();
      events[1] = work_event_.get();
    }
    int result = 253;
    for (;;) {
      const DWORD answer = ::WaitForMultipleObjects(2, events, FALSE, wait_timeout_);
      if (answer != WAIT_OBJECT_0 + 1) {
        result = answer == WAIT_OBJECT_0 ? 255 : answer == WAIT_TIMEOUT ? 254 : 253;
        break;
      }
      T item;
      bool have_item = false;
      {
        ScopedLock<Locker> hold(queue_lock_);
        if (!queue_.empty()) {
          item = queue_.front();
          have_item = true;
        } else {
          ::ResetEvent(events[1]);
        }
      }
      if (!have_item) continue;
      if (callback_) callback_->OnItem(user_value, item);
      ScopedLock<Locker> hold(queue_lock_);
      if (!queue_.empty()) queue_.pop_front();
    }
    ScopedLock<Locker> hold(queue_lock_);
    queue_.clear();
    return result;
  }

 protected:
  static constexpr DWORD kDestroyStopMs = 1500;

  DWORD wait_timeout_ = INFINITE;
  _CallBack<T>* callback_ = nullptr;  // not owned

 private:
  Locker queue_lock_;
  std::deque<T> queue_;
  ScopedHandle work_event_;  // manual reset: set while items may be waiting
  ScopedHandle stop_event_;  // auto reset
};

}  // namespace kbase
