#include "form/tab_strip.h"

namespace {

const char kStrip[] = "HorizontalLayoutUI6";
const char kSwitch[] = "switch";

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
      ScrollRight(form, tabs, strip->DeclaredWidth());
      break;
  }
}

void SelectPageForOption(Form& form, const TabTable& tabs, const std::string& senderName) {
  for (int i = 0; i < tabs.size(); ++i) {
    if (senderName.empty() || tabs[i].name.find(senderName) != std::string::npos) {
      SelectPage(form, i);
      return;
    }
  }
}
