// The audio library's threads and locks: a mutex, a condition its holder waits on, and a thread that runs
// one function. The native build has them over the C++ thread library (library_sync_posix.cpp); the
// Windows build over the system's slim locks, condition variables and threads (library_sync_win.cpp), so
// the program carries neither the C++ thread library nor its error paths. The engines and their tests
// run the same code over either.
#pragma once
#ifndef _WIN32
#include <condition_variable>
#include <mutex>
#include <thread>
#endif

// Held through std::lock_guard; not recursive.
class LibraryMutex {
public:
  LibraryMutex() = default;
  LibraryMutex(const LibraryMutex&) = delete;
  LibraryMutex& operator=(const LibraryMutex&) = delete;
  void lock();
  void unlock();

private:
  friend class LibraryCondition;
#ifdef _WIN32
  void* lock_ = nullptr;  // the system's slim lock: one pointer, all zero when free
#else
  std::mutex mutex_;
#endif
};

class LibraryCondition {
public:
  LibraryCondition() = default;
  LibraryCondition(const LibraryCondition&) = delete;
  LibraryCondition& operator=(const LibraryCondition&) = delete;

  // With `mutex` held by the caller: waits until `ready()` holds, letting the mutex go while it waits.
  template <class Ready> void Wait(LibraryMutex& mutex, Ready ready) {
    while (!ready()) WaitForNotify(mutex);
  }
  // Wakes every waiter, which then checks its own condition again.
  void NotifyAll();

private:
  // One wait for NotifyAll; it may also come back without one.
  void WaitForNotify(LibraryMutex& mutex);
#ifdef _WIN32
  void* condition_ = nullptr;  // the system's condition variable: one pointer, all zero at first
#else
  std::condition_variable condition_;
#endif
};

// Empty, or one running thread that has not been joined or let go yet.
class LibraryThread {
public:
  using Function = void (*)(void* context);

  LibraryThread() = default;
  LibraryThread(LibraryThread&& other) noexcept;
  // Only into an empty thread.
  LibraryThread& operator=(LibraryThread&& other) noexcept;
  // A thread still held is let go.
  ~LibraryThread();

  // Into an empty thread: starts `run(context)` on a new thread. False when the system gives no thread.
  bool Start(Function run, void* context);
  bool Joinable() const;
  // Whether the calling thread is this one.
  bool IsCaller() const;
  // Waits for the thread to end; empty afterwards.
  void Join();
  // Lets the thread go on by itself; empty afterwards.
  void Detach();

private:
#ifdef _WIN32
  void* handle_ = nullptr;
  unsigned long id_ = 0;
#else
  std::thread thread_;
#endif
};
