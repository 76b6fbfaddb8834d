#include "form/rule_posts.h"

#include "form/form_rule.h"

namespace {

struct ListRule {
  const char* sender;
  int rule;
  int argument;
};

// "itemselect" of these drop-down lists runs a visibility rule.
constexpr ListRule kListRules[] = {
    {"Protocolmodel", 0, 0},
    {"DeviceModel", 0, 0},
    {"RegistrationAndHeart", 0, 0},
    {"Transferprotocol", 0, 0},
    {"ActivateMethod", 1, 0},
    {"Debug Level", 2, 0},
    {"Server Count", 3, 0},
    {"LCP ECHO", 4, 0},
    {"EXFUN", 5, 0},
    {"dtu is connect to dtu manage platform", 6, 0},
    {"DIO2 workmode", 8, 0},
    {"DIO2 reported methods", 8, 0},
    {"DIO2 interface", 8, 0},
    {"DIO2 protocol", 8, 0},
    {"DIO1 workmode", 7, 0},
    {"DIO1 reported methods", 7, 0},
    {"DIO1 interface", 7, 0},
    {"DIO1 protocol", 7, 0},
    {"DIO3 workmode", 9, 0},
    {"DIO3 reported methods", 9, 0},
    {"DIO3 interface", 9, 0},
    {"DIO3 protocol", 9, 0},
    {"DIO4 workmode", 20, 0},
    {"DIO4 reported methods", 20, 0},
    {"DIO4 interface", 20, 0},
    {"DIO4 protocol", 20, 0},
    {"DIO5 workmode", 21, 0},
    {"DIO5 reported methods", 21, 0},
    {"DIO5 interface", 21, 0},
    {"DIO5 protocol", 21, 0},
    {"I/O selection", 10, 0},
    {"I/O1 control", 11, 0},
    {"I/O2 control", 12, 0},
    {"I/O3 control", 13, 0},
    {"DTU SMS configure fun", 14, 0},
    {"A DIO1 data format", 16, 1},
    {"A DIO2 data format", 16, 2},
    {"A DIO3 data format", 16, 3},
    {"LORA Mode", 17, 0},
    {"I/O2 Mode", 18, 0},
    {"I/O1 Mode", 19, 0},
};

}  // namespace

std::vector<RulePost> RulesForItemSelect(std::string_view name, int selectedIndex) {
  // "IOactivationmethods" posts the activation rule, then by its index the I/O selection rule
  // (index 0) or the three I/O control rules (index 1).
  if (name == "IOactivationmethods") {
    std::vector<RulePost> posts{{kRuleActivation, 0}};
    if (selectedIndex == 0) posts.push_back({kRuleIoSelection, 0});
    if (selectedIndex == 1) {
      posts.push_back({kRuleIo1Control, 0});
      posts.push_back({kRuleIo2Control, 0});
      posts.push_back({kRuleIo3Control, 0});
    }
    return posts;
  }
  for (const ListRule& post : kListRules) {
    if (name == post.sender) return {{post.rule, post.argument}};
  }
  return {};
}
