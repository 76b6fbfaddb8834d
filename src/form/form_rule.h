// The visibility rules: their numbers, as WM_FORM_RULE carries them, with their names.
//
// A rule is posted, never called: it runs after the current rule or notification has finished,
// in posting order. Numbers above kLastFormRule do nothing.
#pragma once

enum FormRule : int {
  kRuleWorkMode = 0,            // "Protocolmodel", "DeviceModel", "RegistrationAndHeart", ...
  kRuleActivation = 1,          // "ActivateMethod", "IOactivationmethods"
  kRuleDebugLevel = 2,          // "Debug Level"
  kRuleServerCount = 3,         // "Server Count"
  kRuleLcpEcho = 4,             // "LCP ECHO"
  kRuleExtendedFunction = 5,    // "EXFUN"
  kRuleManagePlatform = 6,      // "dtu is connect to dtu manage platform"
  kRuleDioLine1 = 7,            // "DIO1 workmode", ...
  kRuleDioLine2 = 8,            // "DIO2 workmode", ...
  kRuleDioLine3 = 9,            // "DIO3 workmode", ...
  kRuleIoSelection = 10,        // "I/O selection"
  kRuleIo1Control = 11,         // "I/O1 control"
  kRuleIo2Control = 12,         // "I/O2 control"
  kRuleIo3Control = 13,         // "I/O3 control"
  kRuleSmsConfiguration = 14,   // "DTU SMS configure fun"
  kRuleDataFormatUnused = 15,   // posted by nobody; runs as kRuleDataFormat
  kRuleDataFormat = 16,         // "A DIO1 data format" .. "A DIO3 data format", line as argument
  kRuleLoraMode = 17,           // "LORA Mode"
  kRuleIo2Mode = 18,            // "I/O2 Mode"
  kRuleIo1Mode = 19,            // "I/O1 Mode"
  kRuleDioLine4 = 20,           // "DIO4 workmode", ...
  kRuleDioLine5 = 21,           // "DIO5 workmode", ...
};

inline constexpr int kLastFormRule = kRuleDioLine5;
