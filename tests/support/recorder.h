// One journal for what a test observes in order (hooks called, events fired, states entered), and its
// check: ExpectSequence compares the journal with the expected lines and, on a mismatch, prints both in
// full, so that a failure shows what happened instead of the first differing line alone.
#pragma once
#include <initializer_list>
#include <string>
#include <vector>

#include "runtime/data.h"

struct TRecorder {
  std::vector<std::string> Lines;
  std::vector<TData> Values;  // what Record took, in order

  void Add(const std::string& line) { Lines.push_back(line); }
  // Journals "name:value" (the value as text) and keeps the value.
  void Record(const std::string& name, const TData& data) {
    Add(name + ":" + ToString(data).str());
    Values.push_back(data);
  }
  void Clear() {
    Lines.clear();
    Values.clear();
  }

  // Inputs that journal what reaches them as "a:value" ... "d:value".
  TZv_Event A() { return MakeEvent<&TRecorder::Input<'a'>>(this); }
  TZv_Event B() { return MakeEvent<&TRecorder::Input<'b'>>(this); }
  TZv_Event C() { return MakeEvent<&TRecorder::Input<'c'>>(this); }
  TZv_Event D() { return MakeEvent<&TRecorder::Input<'d'>>(this); }

private:
  template <char Name> void Input(TData& data, uint16_t) { Record(std::string(1, Name), data); }
};

// Fails the calling test, at the caller's line, unless the journal holds exactly the expected lines.
void ExpectSequence(const TRecorder& recorder, std::initializer_list<std::string> expected,
                    const std::string& context, const char* file = __builtin_FILE(), int line = __builtin_LINE());
