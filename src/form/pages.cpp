#include "form/pages.h"

namespace {
struct PageRow {
  const char* tag;
  const char* className;
  const char* fileName;
};

constexpr PageRow kPages[] = {
    {"ComputerExamine", "ComputerExamineUI", "ComputerExamine.xml"},
    {"WorkTab", "WorkTabUI", "WorkTab.xml"},
    {"Wireless", "WirelessTabUI", "Wireless.xml"},
    {"ServiceCentre", "ServiceCentreTabUI", "Service Centre.xml"},
    {"SerialPort", "SerialPortTabUI", "Serial port.xml"},
    {"Modbus", "CustomTabUI", "Custom.xml"},
    {"Global_Parameter", "Global_ParameterTabUI", "Global Parameter.xml"},
    {"Equipment_Management", "Equipment_ManagementTabUI", "Equipment Management.xml"},
};
}  // namespace

PageKind PageKindForTag(const std::string& tag) {
  for (const PageRow& row : kPages) {
    if (tag == row.tag) return {row.className, row.fileName};
  }
  return {"Child_ManagementTabUI", tag + ".xml"};
}

Control* CDialogBuilderCallbackEx::CreateControl(const std::string& tag, ControlFactory& factory) {
  const PageKind kind = PageKindForTag(tag);
  Control* page = factory.CreateContainer(kind.className);
  if (!page) return nullptr;
  ContainerControl* container = page->AsContainer();
  Control* content = factory.BuildFile(kind.fileName);
  if (!container) return page;
  if (!content || !container->AddChild(content)) container->RemoveAllChildren();
  return page;
}
