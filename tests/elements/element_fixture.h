// Shared set-up of the window element tests: a visible host form on the screen, event delivery on, the
// toolkit's own pump for the messages a test posts, and a probe that records what outputs fire.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "runtime/data.h"
#include "tests/toolkit/pump.h"
#include "toolkit/application.h"
#include "toolkit/control.h"

// Records every value that reaches one of its inputs as "name:value" (the value as text).
struct EventProbe {
  std::vector<std::string> Lines;
  std::vector<TData> Values;

  void Add(const char* name, TData& data) {
    Lines.push_back(std::string(name) + ":" + ToString(data).str());
    Values.push_back(data);
  }
  void doA(TData& data, uint16_t) { Add("a", data); }
  void doB(TData& data, uint16_t) { Add("b", data); }
  void doC(TData& data, uint16_t) { Add("c", data); }
  void doD(TData& data, uint16_t) { Add("d", data); }
  TZv_Event A() { return MakeEvent<&EventProbe::doA>(this); }
  TZv_Event B() { return MakeEvent<&EventProbe::doB>(this); }
  TZv_Event C() { return MakeEvent<&EventProbe::doC>(this); }
  TZv_Event D() { return MakeEvent<&EventProbe::doD>(this); }
  void Clear() {
    Lines.clear();
    Values.clear();
  }
};

class ElementTest : public ::testing::Test {
protected:
  void SetUp() override {
    AppletTerminated = false;
    Host = NewForm(nullptr, "host");
    Host->SetPosition(40, 40);
    Host->SetSize(520, 420);
    Host->GetWindowHandle();
    ShowWindow(Host->Handle, SW_SHOW);
    SetForegroundWindow(Host->Handle);
    StartEvents();
  }

  void TearDown() override {
    StopEvents();
    ClipCursor(nullptr);
    Host->Free();
    Pump();
  }

  // Dispatches every pending message through the toolkit's pump.
  static void Pump() { ProcessMessages(); }
  static void Post(TControl* c, UINT message, WPARAM wParam, LPARAM lParam) {
    PostMessageA(c->Handle, message, wParam, lParam);
    Pump();
  }
  static void Click(TControl* c, int x, int y) {
    Post(c, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    Post(c, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  }

  TControl* Host = nullptr;
};
