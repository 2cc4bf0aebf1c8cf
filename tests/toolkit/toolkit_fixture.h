// Shared set-up of the control and application tests: the loop's globals start clean, the thread's
// queue is drained (tests/support/pump.h), and controls made by a test are freed in reverse order unless
// they went already.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <vector>

#include "tests/support/pump.h"
#include "tests/support/recorder.h"
#include "toolkit/application.h"
#include "toolkit/control.h"

class ToolkitTest : public ::testing::Test {
protected:
  void SetUp() override {
    Applet = nullptr;
    AppletRunning = false;
    AppletTerminated = false;
    AppletInUse = false;
    CreatedApplet = nullptr;
  }

  void TearDown() override {
    for (size_t i = owned_.size(); i-- > 0;) {
      if (owned_[i]->alive) owned_[i]->control->Free();
    }
    Drain();
  }

  // Keeps c for freeing at the end of the test; Alive(c) tells whether it still exists.
  TControl* Own(TControl* c) {
    owned_.push_back(std::make_unique<Entry>(Entry{c, true}));
    c->Add2AutoFreeEx(&Gone, owned_.back().get());
    return c;
  }
  bool Alive(TControl* c) const {
    for (const auto& e : owned_) {
      if (e->control == c) return e->alive;
    }
    return false;
  }

private:
  struct Entry {
    TControl* control;
    bool alive;
  };
  static void Gone(void* entry) { static_cast<Entry*>(entry)->alive = false; }

  std::vector<std::unique_ptr<Entry>> owned_;
};
