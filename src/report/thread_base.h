#pragma once
// A thread holder: one thread at a time, started and stopped by its owner, ended by force
// when it does not stop in time.
#include <process.h>
#include <windows.h>

#include <memory>

#include "common/win/critical_section.h"
#include "common/win/scoped_handle.h"

namespace kbase {

template <typename Locker>
class kxThreadBase {
 public:
  kxThreadBase() : state_lock_(new Locker), control_lock_(new Locker) {}
  kxThreadBase(const kxThreadBase&) = delete;
  kxThreadBase& operator=(const kxThreadBase&) = delete;

  // Called on the new thread before Run, and after it with Run's result.
  virtual void OnStart() {}
  virtual void OnEnd(int result) {}

  virtual ~kxThreadBase() { kxThreadBase::Terminate(); }

  // Ends the thread by force (exit code 0). 0, or 253 when no thread runs.
  virtual int Terminate() {
    ScopedLock<Locker> control(*control_lock_);
    ScopedLock<Locker> state(*state_lock_);
    if (!running_) return 253;
    ::TerminateThread(thread_.get(), 0);
    // The kill is asynchronous; let it land before the handle goes.
    ::WaitForSingleObject(thread_.get(), kTerminateWaitMs);
    thread_.Reset();
    running_ = false;
    return 0;
  }

  // Waits up to `milliseconds` for the thread to end, then ends it by force. 0, or -3
  // when no thread runs.
  virtual int Stop(DWORD milliseconds) {
    ScopedHandle thread;
    {
      ScopedLock<Locker> state(*state_lock_);
      if (!running_) return -3;
      // The thread closes its own handle as it ends; wait on a handle of our own.
      HANDLE copy = nullptr;
      if (::DuplicateHandle(::GetCurrentProcess(), thread_.get(), ::GetCurrentProcess(), &copy,
                            SYNCHRONIZE, FALSE, 0)) {
        thread.Reset(copy);
      }
    }
    if (!thread.valid() || ::WaitForSingleObject(thread.get(), milliseconds) != WAIT_OBJECT_0) {
      Terminate();
    }
    return 0;
  }

  // The thread's work; its result is the thread's exit code.
  virtual int Run(int user_value, int reserved) = 0;

  // 0 once the thread runs; 255 when one already runs, 250 without memory for the start
  // record, 254 when the thread cannot be created.
  int Start() {
    ScopedLock<Locker> control(*control_lock_);
    if (IsRunning()) return 255;
    std::unique_ptr<StartRecord> record(new (std::nothrow) StartRecord{this});
    if (!record) return 250;
    {
      ScopedLock<Locker> state(*state_lock_);
      started_ = false;
    }
    unsigned id = 0;
    // Suspended until the handle is stored, so the thread never closes a handle that is
    // not ours yet.
    HANDLE handle = reinterpret_cast<HANDLE>(
        ::_beginthreadex(nullptr, 0, &kxThreadBase::ThreadMain, record.get(), CREATE_SUSPENDED,
                         &id));
    if (handle == nullptr) return 254;
    {
      ScopedLock<Locker> state(*state_lock_);
      thread_.Reset(handle);
      thread_id_ = id;
      start_record_ = std::move(record);
    }
    ::ResumeThread(handle);
    // `started_` stays set after the thread ends, so a thread that finishes at once
    // cannot keep this loop waiting.
    for (;;) {
      {
        ScopedLock<Locker> state(*state_lock_);
        if (started_) break;
      }
      ::Sleep(1);
    }
    return 0;
  }

  bool IsRunning() {
    ScopedLock<Locker> state(*state_lock_);
    return running_;
  }
  DWORD thread_id() {
    ScopedLock<Locker> state(*state_lock_);
    return thread_id_;
  }

 protected:
  void set_user_value(int value) { user_value_ = value; }

 private:
  static constexpr DWORD kTerminateWaitMs = 1000;

  struct StartRecord {
    kxThreadBase* self;
  };

  static unsigned __stdcall ThreadMain(void* parameter) {
    kxThreadBase* self = static_cast<StartRecord*>(parameter)->self;
    // OnStart runs before the flag is set: whatever it makes exists once the thread
    // counts as running.
    self->OnStart();
    {
      ScopedLock<Locker> state(*self->state_lock_);
      self->running_ = true;
      self->started_ = true;
    }
    const int result = self->Run(self->user_value_, 0);
    self->OnEnd(result);
    {
      ScopedLock<Locker> state(*self->state_lock_);
      self->running_ = false;
      self->thread_.Reset();
    }
    return static_cast<unsigned>(result);
  }

  bool running_ = false;
  ScopedHandle thread_;
  DWORD thread_id_ = 0;
  int user_value_ = 0;
  std::unique_ptr<Locker> state_lock_;
  std::unique_ptr<Locker> control_lock_;
  bool started_ = false;
  // Owned here rather than by the thread, so a thread ended by force leaks nothing.
  std::unique_ptr<StartRecord> start_record_;
};

}  // namespace kbase
