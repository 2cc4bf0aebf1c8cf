// The audio library's threads and locks in the native build, over the C++ thread library.
#ifndef _WIN32
#include "audio/library/library_sync.h"

#include <system_error>
#include <utility>

void LibraryMutex::lock() { mutex_.lock(); }

void LibraryMutex::unlock() { mutex_.unlock(); }

void LibraryCondition::WaitForNotify(LibraryMutex& mutex) {
  std::unique_lock<std::mutex> held(mutex.mutex_, std::adopt_lock);
  condition_.wait(held);
  held.release();
}

void LibraryCondition::NotifyAll() { condition_.notify_all(); }

LibraryThread::LibraryThread(LibraryThread&& other) noexcept : thread_(std::move(other.thread_)) {}

LibraryThread& LibraryThread::operator=(LibraryThread&& other) noexcept {
  thread_ = std::move(other.thread_);
  return *this;
}

LibraryThread::~LibraryThread() { Detach(); }

bool LibraryThread::Start(Function run, void* context) {
  try {
    thread_ = std::thread(run, context);
  } catch (const std::system_error&) {
    return false;
  }
  return true;
}

bool LibraryThread::Joinable() const { return thread_.joinable(); }

bool LibraryThread::IsCaller() const { return thread_.get_id() == std::this_thread::get_id(); }

void LibraryThread::Join() {
  if (thread_.joinable()) thread_.join();
}

void LibraryThread::Detach() {
  if (thread_.joinable()) thread_.detach();
}
#endif
