// What `dtu-config set NAME=VALUE` writes: a row named by the label the device and a file show,
// by its AT command or by its control name, and the reason a value is refused.
#include <gtest/gtest.h>

#include <string>

#include "catalogue/param_table.h"
#include "cli/set_command.h"

namespace {

TEST(SetNames, ARowIsFoundByItsLabelItsCommandOrItsControlName) {
  ParamTable catalogue;
  ListParamTable lists;
  BuildParamTable(catalogue, lists, std::nullopt);
  struct Case {
    const char* assignment;
    const char* command;  // what is sent
    const char* row;      // the row the write is verified by
  };
  const Case cases[] = {
      // The label first: "Server2's Ip" is the control of the row the device calls "Server1's Ip".
      {"Server1's Ip=10.0.0.1", "AT+IPAD1=10.0.0.1\r\n", "Server2's Ip"},
      {"Server2's Ip=10.0.0.2", "AT+IPAD2=10.0.0.2\r\n", "Server3's Ip"},
      {"Server1's Ip:=10.0.0.1", "AT+IPAD1=10.0.0.1\r\n", "Server2's Ip"},
      {"Modem's Phone Number=+8613912345678", "AT+PHON=+8613912345678\r\n", "PhoneNO."},
      {"PhoneNO.=139", "AT+PHON=139\r\n", "PhoneNO."},
      {"at+IPAD=dtu.example.com", "AT+IPAD=dtu.example.com\r\n", "Server's Ip"},
      // The third line by a row that names it on every model; the fourth by the five-DIO rows.
      {"DIO3 workmode=1", "AT+DIOWORKMODE3=1\r\n", "DIO4 workmode"},
      {"AT+DIOWORKMODE3=1", "AT+DIOWORKMODE3=1\r\n", "DIO4 workmode"},
      {"DIO4 workmode=2", "AT+DIOWORKMODE4=2\r\n", "DIO3 workmode"},
      {"AT+DIOWORKMODE4=2", "AT+DIOWORKMODE4=2\r\n", "DIO3 workmode"},
  };
  for (const Case& c : cases) {
    WorkJob job;
    std::string why;
    ASSERT_TRUE(MakeSetWrite(catalogue, c.assignment, &job, &why)) << c.assignment << ": " << why;
    EXPECT_EQ(job.command, c.command) << c.assignment;
    EXPECT_EQ(job.name, c.row) << c.assignment;
  }
}

TEST(SetNames, ARefusalSaysWhatTheDeviceTakes) {
  ParamTable catalogue;
  ListParamTable lists;
  BuildParamTable(catalogue, lists, std::nullopt);
  struct Case {
    const char* assignment;
    const char* said;
  };
  const Case cases[] = {
      {"Server's Ip=999.1.1.1", "an IPv4 address (four numbers from 0 to 255"},
      {"Server's Port=65536", "a whole number from 0 to 65535"},
      {"Debug Level=Information", "one of 0 ("},
      {"Dns Server's Ip=1.1.1", "four numbers from 0 to 255"},
      {"No Such Row=1", "no parameter has this label, AT command or control name"},
      {"Device Type=x", "only reports it"},
      {"Access Point Name=a\rb", "line break"},
  };
  for (const Case& c : cases) {
    WorkJob job;
    std::string why;
    EXPECT_FALSE(MakeSetWrite(catalogue, c.assignment, &job, &why)) << c.assignment;
    EXPECT_NE(why.find(c.said), std::string::npos) << c.assignment << ": " << why;
  }
}

}  // namespace
