// Hub fan-out.
#include "runtime/hub.h"

#include <algorithm>

void TZvHub::SetCount(uint16_t n) {
  onEvent.resize(n);
  OutCount = static_cast<uint8_t>(n);
}

void TZvHub::doEvent(TData& data, uint16_t) {
  const size_t count = std::min<size_t>(OutCount, onEvent.size());
  for (size_t i = 0; i < count; ++i) {
    TData copy = data;
    // A local link: a receiver may resize this hub's outputs without pulling the link from under us.
    const TZv_Event link = onEvent[i];
    CallEvent(link, copy);
  }
}
