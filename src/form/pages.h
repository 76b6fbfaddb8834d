// The pages of the page switcher. The main skin names them by tags the toolkit does not know;
// each tag becomes a page container that fills itself from a page file of its own.
#pragma once

#include <string>

#include "texts/form.h"

struct PageKind {
  const char* className;  // e.g. "WorkTabUI"
  std::string fileName;   // e.g. "WorkTab.xml"; file names may contain blanks
};

// The page class and file for a tag; a tag of no known page gives a "Child_ManagementTabUI"
// filled from the tag followed by ".xml".
PageKind PageKindForTag(const std::string& tag);

class CDialogBuilderCallbackEx : public BuilderCallback {
 public:
  // Creates the page for `tag`: an empty container of its class holding the tree of its page
  // file. A missing or faulty page file leaves the page empty; it is never an error.
  Control* CreateControl(const std::string& tag, ControlFactory& factory) override;
  Control* CreatePage(const std::string& tag, ControlFactory& factory) {
    return CreateControl(tag, factory);
  }
};
