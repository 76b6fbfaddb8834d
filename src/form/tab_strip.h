// The strip of tab buttons above the page switcher: rebuilding it from the tab table, scrolling
// it, and bringing a tab's page to the front.
#pragma once

#include <string>

#include "form/tab_table.h"
#include "texts/form.h"

enum class TabStripMode { Rebuild = 0, ScrollLeft = 1, ScrollRight = 2 };

// Rebuild shows the shown tabs, hides the others and brings the first shown tab's page to the
// front; the scroll modes reveal one tab on that side. Nothing happens without the strip
// "HorizontalLayoutUI6". Every change of the strip enables the arrows "TabLeft" and "TabRight"
// only while a shown tab lies out of view on their side.
void UpdateTabStrip(Form& form, const TabTable& tabs, TabStripMode mode);

// For a "selectchanged" of the control named `senderName`: the page of the first tab whose name
// contains that name (page 0 for an empty name) comes to the front.
void SelectPageForOption(Form& form, const TabTable& tabs, const std::string& senderName);

// Scrolls the strip right, a tab at a time, until the shown tab at `index` is wholly within the
// room the strip has on screen (a tab partly cut off at the right edge, after a click on it or a
// narrower window). A hidden tab stays hidden.
void KeepTabInView(Form& form, const TabTable& tabs, int index);

// The strip's room changed (a resized window): every shown tab comes back, then the strip scrolls
// as far as the tab at `index` needs to be wholly in view.
void FitTabStrip(Form& form, const TabTable& tabs, int index);
