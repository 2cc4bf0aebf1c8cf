// RcString: an immutable byte string shared by reference count. Copies share one buffer; the count
// is atomic because the audio library's threads may copy values the GUI thread also holds.
#pragma once
#include <atomic>
#include <cstddef>
#include <string>
#include <string_view>

class RcString {
public:
  RcString() = default;
  RcString(const char* text);
  RcString(const char* text, size_t length);
  RcString(std::string_view text) : RcString(text.data(), text.size()) {}
  // Copying, assigning and destroying are inline, and the empty string touches no count: most values
  // on a link are numbers whose string part is empty, and they are made and dropped on every link call.
  RcString(const RcString& other) noexcept : rep_(other.rep_) { AddRef(rep_); }
  RcString(RcString&& other) noexcept : rep_(other.rep_) { other.rep_ = nullptr; }
  // The new buffer is counted before the old one is let go, so assigning a string to itself is safe.
  RcString& operator=(const RcString& other) noexcept {
    Rep* shared = other.rep_;
    AddRef(shared);
    Release();
    rep_ = shared;
    return *this;
  }
  RcString& operator=(RcString&& other) noexcept {
    Rep* taken = other.rep_;
    other.rep_ = nullptr;
    Release();
    rep_ = taken;
    return *this;
  }
  ~RcString() { Release(); }

  const char* c_str() const { return rep_ ? rep_->text : ""; }
  size_t size() const { return rep_ ? rep_->length : 0; }
  bool empty() const { return rep_ == nullptr; }
  char operator[](size_t i) const { return rep_->text[i]; }
  std::string_view view() const { return {c_str(), size()}; }
  std::string str() const { return std::string(view()); }
  // Number of holders of the buffer (0 for the empty string); for tests of sharing.
  int RefCount() const { return rep_ ? rep_->refs.load() : 0; }

  friend bool operator==(const RcString& a, const RcString& b) { return a.view() == b.view(); }
  friend bool operator!=(const RcString& a, const RcString& b) { return !(a == b); }
  friend RcString operator+(const RcString& a, const RcString& b);

private:
  struct Rep {
    std::atomic<int> refs;
    size_t length;
    char text[1];
  };
  static void AddRef(Rep* rep) noexcept {
    if (rep) rep->refs.fetch_add(1, std::memory_order_relaxed);
  }
  void Release() noexcept {
    if (rep_) ReleaseShared();
  }
  // Drops this holder's count and frees the buffer when it was the last; leaves the string empty.
  void ReleaseShared() noexcept;
  Rep* rep_ = nullptr;
};
