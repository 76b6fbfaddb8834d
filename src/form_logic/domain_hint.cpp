#include "form_logic/domain_hint.h"

#include "domain/device_params.h"
#include "texts/language.h"

namespace {

const char* KeyOf(DomainKind kind) {
  switch (kind) {
    case DomainKind::kNumber:
      return "TakesNumber";
    case DomainKind::kText:
      return "TakesText";
    case DomainKind::kHost:
      return "TakesHost";
    case DomainKind::kIpv4:
      return "TakesIpv4";
    case DomainKind::kPhone:
      return "TakesPhone";
    case DomainKind::kHex:
      return "TakesHex";
    case DomainKind::kItems:
    case DomainKind::kReadOnly:
      break;
  }
  return nullptr;
}

}  // namespace

std::string DomainHint(const ValueDomain& domain) {
  const char* key = KeyOf(domain.kind);
  std::string text = key ? LanguageText("Save", key, "") : std::string();
  // A list's items are offered by its control: the English description names them.
  if (text.empty()) return DescribeDomain(domain);
  const bool number = domain.kind == DomainKind::kNumber;
  return FillText(text, {{"min", std::to_string(number ? domain.min : 1)},
                         {"max", std::to_string(number ? domain.max : domain.maxLength)}});
}

std::string DomainHintOfRow(const ParamTable& params, const std::string& controlName) {
  const auto row = params.find(controlName);
  if (row == params.end()) return {};
  const DeviceParam* param = FindParamByCommand(row->second.atCommand);
  return param && param->domain ? DomainHint(*param->domain) : std::string();
}
