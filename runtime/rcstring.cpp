// RcString storage: one heap block holding the count, the length and the zero-terminated bytes.
#include "runtime/rcstring.h"

#include <cstdlib>
#include <cstring>
#include <new>

RcString::RcString(const char* text) : RcString(text, text ? std::strlen(text) : 0) {}

RcString::RcString(const char* text, size_t length) {
  if (length == 0) return;
  void* block = std::malloc(offsetof(Rep, text) + length + 1);
  if (!block) throw std::bad_alloc();
  rep_ = new (block) Rep;
  rep_->refs.store(1, std::memory_order_relaxed);
  rep_->length = length;
  std::memcpy(rep_->text, text, length);
  rep_->text[length] = 0;
}

void RcString::ReleaseShared() noexcept {
  if (rep_->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) {
    rep_->~Rep();
    std::free(rep_);
  }
  rep_ = nullptr;
}

RcString operator+(const RcString& a, const RcString& b) {
  if (a.empty()) return b;
  if (b.empty()) return a;
  std::string joined;
  joined.reserve(a.size() + b.size());
  joined.append(a.view()).append(b.view());
  return RcString(joined);
}
