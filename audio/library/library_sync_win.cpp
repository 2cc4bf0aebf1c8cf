// The audio library's threads and locks in the Windows build: slim locks, condition variables and
// threads of the system. A slim lock and a condition variable live in one pointer each, zero when new.
#include "audio/library/library_sync.h"

#include <windows.h>

#include <new>

static_assert(sizeof(SRWLOCK) == sizeof(void*) && sizeof(CONDITION_VARIABLE) == sizeof(void*),
              "a slim lock and a condition variable each fit the pointer kept for them");

namespace {

// When the system refuses a wait (which an endless wait should never see), the waiter looks again after
// this pause: it goes on working, and it does not spin.
constexpr DWORD kRetryMilliseconds = 1;

PSRWLOCK SlimLock(void*& storage) { return reinterpret_cast<PSRWLOCK>(&storage); }

PCONDITION_VARIABLE Condition(void*& storage) { return reinterpret_cast<PCONDITION_VARIABLE>(&storage); }

// What a new thread runs: handed over on the heap, since the starting LibraryThread may move meanwhile.
struct Launch {
  LibraryThread::Function Run;
  void* Context;
};

DWORD WINAPI ThreadEntry(void* parameter) {
  const Launch launch = *static_cast<Launch*>(parameter);
  delete static_cast<Launch*>(parameter);
  launch.Run(launch.Context);
  return 0;
}

// A handle the system will not close was ours and valid, so nothing is left to do about it.
void CloseThreadHandle(void* handle) { static_cast<void>(CloseHandle(handle)); }

}  // namespace

void LibraryMutex::lock() { AcquireSRWLockExclusive(SlimLock(lock_)); }

void LibraryMutex::unlock() { ReleaseSRWLockExclusive(SlimLock(lock_)); }

void LibraryCondition::WaitForNotify(LibraryMutex& mutex) {
  if (SleepConditionVariableSRW(Condition(condition_), SlimLock(mutex.lock_), INFINITE, 0)) return;
  mutex.unlock();
  Sleep(kRetryMilliseconds);
  mutex.lock();
}

void LibraryCondition::NotifyAll() { WakeAllConditionVariable(Condition(condition_)); }

LibraryThread::LibraryThread(LibraryThread&& other) noexcept : handle_(other.handle_), id_(other.id_) {
  other.handle_ = nullptr;
  other.id_ = 0;
}

LibraryThread& LibraryThread::operator=(LibraryThread&& other) noexcept {
  Detach();
  handle_ = other.handle_;
  id_ = other.id_;
  other.handle_ = nullptr;
  other.id_ = 0;
  return *this;
}

LibraryThread::~LibraryThread() { Detach(); }

bool LibraryThread::Start(Function run, void* context) {
  auto* launch = new (std::nothrow) Launch{run, context};
  if (launch == nullptr) return false;
  DWORD id = 0;
  HANDLE handle = CreateThread(nullptr, 0, ThreadEntry, launch, 0, &id);
  if (handle == nullptr) {
    delete launch;
    return false;
  }
  handle_ = handle;
  id_ = id;
  return true;
}

bool LibraryThread::Joinable() const { return handle_ != nullptr; }

bool LibraryThread::IsCaller() const { return handle_ != nullptr && id_ == GetCurrentThreadId(); }

void LibraryThread::Join() {
  if (handle_ == nullptr) return;
  while (WaitForSingleObject(handle_, INFINITE) == WAIT_FAILED) Sleep(kRetryMilliseconds);
  Detach();
}

void LibraryThread::Detach() {
  if (handle_ == nullptr) return;
  CloseThreadHandle(handle_);
  handle_ = nullptr;
  id_ = 0;
}
