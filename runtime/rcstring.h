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
  RcString(const RcString& other) noexcept;
  RcString(RcString&& other) noexcept : rep_(other.rep_) { other.rep_ = nullptr; }
  RcString& operator=(const RcString& other) noexcept;
  RcString& operator=(RcString&& other) noexcept;
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
  void Release() noexcept;
  Rep* rep_ = nullptr;
};
