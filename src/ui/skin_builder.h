// Builds a control tree from a skin file of the skin directory (format: docs/skin-format.md).
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "texts/form.h"

class ControlBase;
class FormContext;

class SkinBuilder {
 public:
  using Attributes = std::vector<std::pair<std::string, std::string>>;

  // `callback` is asked for the tags the toolkit does not know; without one they are skipped.
  SkinBuilder(FormContext& context, BuilderCallback* callback);

  // The root control of `fileName`, parked in the context until someone adopts it; nullptr
  // when the file is missing or not well-formed (Error() says why). The attributes of a
  // <Window> root element go to `window` when given.
  ControlBase* Build(const std::string& fileName, Attributes* window);
  const std::string& Error() const { return error_; }

 private:
  class Reader;
  FormContext& context_;
  BuilderCallback* callback_;
  std::string error_;
};
