#include "form/tab_strip.h"

#include <vector>

namespace {

const char kStrip[] = "HorizontalLayoutUI6";
const char kSwitch[] = "switch";
const char kLeftArrow[] = "TabLeft";
const char kRightArrow[] = "TabRight";

void SelectPage(Form& form, int index) {
  if (TabLayoutControl* pages = form.FindTabLayout(kSwitch)) pages->SelectPage(index);
}

void Rebuild(Form& form, const TabTable& tabs) {
  bool chosen = false;
  for (int i = 0; i < tabs.size(); ++i) {
    Control* tab = form.Find(tabs[i].name);
    if (!tab) continue;
    tab->SetVisible(tabs[i].shown);
    if (chosen || !tabs[i].shown) continue;
    SelectPage(form, i);
    if (OptionControl* option = form.FindOption(TabTable::OptionName(tabs[i].name)))
      option->Select(true);
    chosen = true;
  }
}

// The tab after the last one that fills the strip moves into view; as many tabs on the left are
// hidden as that needs.
void ScrollRight(Form& form, const TabTable& tabs, int stripWidth) {
  const int last = tabs.size() - 1;
  int n = last;
  int sum = 0;
  for (int i = 0; i <= last; ++i) {
    Control* tab = tabs[i].shown ? form.Find(tabs[i].name) : nullptr;
    if (!tab || !tab->IsVisible()) continue;
    sum += tab->DeclaredWidth();
    if (sum >= stripWidth) {
      n = i;
      break;
    }
  }
  const int m = n < last ? n + 1 : last;
  sum = 0;
  bool hiding = false;
  for (int i = m; i >= 0; --i) {
    Control* tab = tabs[i].shown ? form.Find(tabs[i].name) : nullptr;
    if (!tab) continue;
    if (hiding) {
      tab->SetVisible(false);
      continue;
    }
    sum += tab->DeclaredWidth();
    if (sum > stripWidth) {
      tab->SetVisible(false);
      hiding = true;
    }
  }
}

// Exactly one tab is revealed on the left per click: the nearest shown one, by its flag alone.
void ScrollLeft(Form& form, const TabTable& tabs) {
  int first = tabs.size() - 1;
  for (int i = 0; i < tabs.size(); ++i) {
    Control* tab = tabs[i].shown ? form.Find(tabs[i].name) : nullptr;
    if (tab && tab->IsVisible()) {
      first = i;
      break;
    }
  }
  int j = first;
  for (int i = first - 1; i >= 0; --i) {
    if (tabs[i].shown) {
      j = i;
      break;
    }
  }
  if (Control* tab = form.Find(tabs[j].name)) tab->SetVisible(true);
}

// Where the tab ends, counted from the strip's left edge over the tabs shown before it.
int RightEdge(Form& form, const TabTable& tabs, int index) {
  int edge = 0;
  for (int i = 0; i <= index; ++i) {
    Control* tab = tabs[i].shown ? form.Find(tabs[i].name) : nullptr;
    if (tab && tab->IsVisible()) edge += tab->DeclaredWidth();
  }
  return edge;
}

std::vector<bool> VisibleFlags(Form& form, const TabTable& tabs) {
  std::vector<bool> flags;
  for (int i = 0; i < tabs.size(); ++i) {
    Control* tab = form.Find(tabs[i].name);
    flags.push_back(tab && tab->IsVisible());
  }
  return flags;
}

// An arrow is enabled only while a shown tab lies out of view on its side; the skins draw a
// disabled arrow as nothing, so a strip whose tabs all fit shows no arrows.
void UpdateArrows(Form& form, const TabTable& tabs, int room) {
  int firstVisible = -1;
  int lastShown = -1;
  bool hiddenBefore = false;
  for (int i = 0; i < tabs.size(); ++i) {
    Control* tab = tabs[i].shown ? form.Find(tabs[i].name) : nullptr;
    if (!tab) continue;
    lastShown = i;
    if (tab->IsVisible()) {
      if (firstVisible < 0) firstVisible = i;
    } else if (firstVisible < 0) {
      hiddenBefore = true;
    }
  }
  const bool moreRight = lastShown >= 0 && RightEdge(form, tabs, lastShown) > room;
  if (Control* left = form.Find(kLeftArrow)) left->SetEnabled(hiddenBefore);
  if (Control* right = form.Find(kRightArrow)) right->SetEnabled(moreRight);
}

}  // namespace

void UpdateTabStrip(Form& form, const TabTable& tabs, TabStripMode mode) {
  Control* strip = form.Find(kStrip);
  if (!strip) return;
  switch (mode) {
    case TabStripMode::Rebuild:
      Rebuild(form, tabs);
      break;
    case TabStripMode::ScrollLeft:
      ScrollLeft(form, tabs);
      break;
    case TabStripMode::ScrollRight:
      // The room the strip has on screen, which a narrow window makes less than it declares.
      ScrollRight(form, tabs, strip->ShownWidth());
      break;
  }
  UpdateArrows(form, tabs, strip->ShownWidth());
}

void SelectPageForOption(Form& form, const TabTable& tabs, const std::string& senderName) {
  for (int i = 0; i < tabs.size(); ++i) {
    if (senderName.empty() || tabs[i].name.find(senderName) != std::string::npos) {
      SelectPage(form, i);
      KeepTabInView(form, tabs, i);
      return;
    }
  }
}

void KeepTabInView(Form& form, const TabTable& tabs, int index) {
  Control* strip = form.Find(kStrip);
  if (!strip || index < 0 || index >= tabs.size()) return;
  Control* tab = tabs[index].shown ? form.Find(tabs[index].name) : nullptr;
  // Each step moves one more tab into view on the right; it ends when the tab's right edge is
  // within the strip or when scrolling hides nothing more.
  for (int step = 0; tab && tab->IsVisible() && step < tabs.size(); ++step) {
    if (RightEdge(form, tabs, index) <= strip->ShownWidth()) break;
    const std::vector<bool> before = VisibleFlags(form, tabs);
    ScrollRight(form, tabs, strip->ShownWidth());
    if (VisibleFlags(form, tabs) == before) break;
  }
  UpdateArrows(form, tabs, strip->ShownWidth());
}

void FitTabStrip(Form& form, const TabTable& tabs, int index) {
  Control* strip = form.Find(kStrip);
  if (!strip) return;
  for (int i = 0; i < tabs.size(); ++i) {
    if (Control* tab = tabs[i].shown ? form.Find(tabs[i].name) : nullptr) tab->SetVisible(true);
  }
  KeepTabInView(form, tabs, index);
  UpdateArrows(form, tabs, strip->ShownWidth());
}
