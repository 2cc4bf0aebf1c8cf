// Keyboard navigation between the controls of a form: Tab / Shift+Tab, the arrow keys and Page Up / Page
// Down move the focus through the form's tab candidates in TabOrder, as each control's LookTabKeys allows.
#include "toolkit/application.h"
#include "toolkit/control_internal.h"

static bool IsTabCandidate(const TControl* c) {
  return c->TabStop && c->Enabled && c->VisibleInForm() && (c->Style & WS_TABSTOP);
}

// Depth first through the children of every enabled control; a new candidate goes before the first one
// with a greater TabOrder.
static void Collect(TControl* parent, TList* candidates) {
  for (int32_t i = 0; i < parent->Children->Count; ++i) {
    TControl* child = static_cast<TControl*>(parent->Children->Items[i]);
    if (!child->Enabled) continue;
    if (IsTabCandidate(child)) {
      int32_t at = 0;
      while (at < candidates->Count && static_cast<TControl*>(candidates->Items[at])->TabOrder <= child->TabOrder) ++at;
      candidates->Insert(at, child);
    }
    Collect(child, candidates);
  }
}

TList* CollectTabCandidates(TControl* form) {
  TList* candidates = NewList();
  Collect(form, candidates);
  return candidates;
}

// Going forward: the candidate with the smallest TabOrder above the current control's, else (wrapping)
// the smallest of all. Going back: the greatest below it, else the greatest of all.
static TControl* NextCandidate(TList* candidates, int32_t current, int direction) {
  TControl* target = nullptr;
  for (int32_t i = 0; i < candidates->Count; ++i) {
    TControl* c = static_cast<TControl*>(candidates->Items[i]);
    if (direction > 0 ? c->TabOrder > current && (!target || c->TabOrder < target->TabOrder)
                      : c->TabOrder < current && (!target || c->TabOrder > target->TabOrder)) {
      target = c;
    }
  }
  if (target || candidates->Count == 0) return target;
  target = static_cast<TControl*>(candidates->Items[0]);
  if (direction < 0) {
    for (int32_t i = 1; i < candidates->Count; ++i) {
      TControl* c = static_cast<TControl*>(candidates->Items[i]);
      if (c->TabOrder > target->TabOrder) target = c;
    }
  }
  return target;
}

void MoveTabFocus(TControl* control, int direction) {
  TControl* form = control->TopForm();
  TList* candidates = CollectTabCandidates(form);
  int32_t current = form->CurrentControl ? form->CurrentControl->TabOrder : 0;
  TControl* target = NextCandidate(candidates, current, direction);
  if (target) {
    if (target->Handle) {
      ++target->Focusing;
      SetFocus(target->Handle);
      --target->Focusing;
    }
    form->CurrentControl = target;
  }
  candidates->Free();
}

static uint8_t KeyGroup(int32_t key) {
  switch (key) {
    case VK_TAB: return tkTab;
    case VK_LEFT:
    case VK_RIGHT: return tkLeftRight;
    case VK_UP:
    case VK_DOWN: return tkUpDown;
    case VK_PRIOR:
    case VK_NEXT: return tkPageUpDown;
    default: return 0;
  }
}

static bool DialogKey(void*, TControl* focused, int32_t key, bool notKeyDown) {
  if (!(KeyGroup(key) & focused->LookTabKeys)) return false;
  if (notKeyDown) return true;
  int direction;
  if (key == VK_TAB) {
    direction = GetKeyState(VK_SHIFT) < 0 ? -1 : 1;
  } else {
    direction = (key == VK_PRIOR || key == VK_LEFT || key == VK_UP) ? -1 : 1;
  }
  MoveTabFocus(focused, direction);
  return true;
}

void EnableTabNavigation(TControl* form) { form->DialogKeyHook = {&DialogKey, nullptr}; }
