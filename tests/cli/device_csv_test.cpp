// The --per-device table: quoted fields as CSV has them, and every fault in the table named by
// its file and line before any port opens.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/device_csv.h"

namespace {

ParamTable Catalogue() {
  ParamTable params;
  ListParamTable lists;
  BuildParamTable(params, lists, std::nullopt);
  return params;
}

}  // namespace

TEST(DeviceCsv, QuotedFieldsHoldCommasQuotesAndLineBreaks) {
  std::vector<CsvRecord> records;
  std::string why;
  ASSERT_TRUE(SplitCsv("a,\"b,c\",\"say \"\"hi\"\"\"\r\n\r\n\"x\ny\",,\"\"\nlast", &records, &why))
      << why;
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0].fields, (std::vector<std::string>{"a", "b,c", "say \"hi\""}));
  EXPECT_EQ(records[0].line, 1);
  EXPECT_EQ(records[1].fields, (std::vector<std::string>{"x\ny", "", ""}));
  EXPECT_EQ(records[1].line, 3);
  EXPECT_EQ(records[2].fields, (std::vector<std::string>{"last"}));
  EXPECT_EQ(records[2].line, 5);
}

TEST(DeviceCsv, ReadsEachDevicesValuesAsSetTakesThem) {
  const std::string table =
      "port,Access Point Name,AT+IDNT,Password\n"
      "/dev/ttyUSB0,\"apn,with comma\",unit-1,\"p\"\"w\"\n"
      "/dev/ttyUSB1,plain,unit-2,secret\n";
  std::vector<DeviceValues> devices;
  std::string why;
  ASSERT_TRUE(ReadDeviceCsv("d.csv", table, Catalogue(), &devices, &why)) << why;
  ASSERT_EQ(devices.size(), 2u);
  EXPECT_EQ(devices[0].port, "/dev/ttyUSB0");
  EXPECT_EQ(devices[0].line, 2);
  ASSERT_EQ(devices[0].writes.size(), 3u);
  EXPECT_EQ(devices[0].writes[0].command, "AT+APN=apn,with comma\r\n");
  EXPECT_EQ(devices[0].writes[1].command, "AT+IDNT=unit-1\r\n");
  EXPECT_EQ(devices[0].writes[2].command, "AT+PASSWORD=p\"w\r\n");
  EXPECT_EQ(devices[0].labels, (std::vector<std::string>{"Access Point Name", "Modem's ID number",
                                                         "PPP Authentication Password"}));
  EXPECT_EQ(devices[1].writes[1].value, "unit-2");
}

TEST(DeviceCsv, EveryFaultNamesItsLine) {
  struct Case {
    const char* table;
    const char* says;  // the start of the message, after "d.csv:"
  };
  const Case cases[] = {
      {"", "1: the file holds no header"},
      {"device,Access Point Name\n/dev/a,x\n", "1: the first column must be \"port\""},
      {"port\n/dev/a\n", "1: no column names a value"},
      {"port,Colour\n/dev/a,red\n", "1: \"Colour\": no parameter has this label"},
      {"port,Access Point Name,AT+APN\n/dev/a,x,y\n", "1: \"AT+APN\": a second column for"},
      {"port,Access Point Name\n", "1: no device follows the header"},
      {"port,Access Point Name,Server's Port\n/dev/a,x,1\n/dev/b,y\n",
       "3: 2 fields; the header has 3"},
      {"port,Access Point Name,Server's Port\n/dev/a,x,1\n/dev/b,y,2,3\n", "3: 4 fields"},
      {"port,Access Point Name,Server's Port\n/dev/a,x,1\n\n/dev/a,y,2\n",
       "4: /dev/a is on line 2 too"},
      {"port,Access Point Name,Server's Port\n/dev/a,x,1\n/dev/b,y,70000\n",
       "3: Server's Port \"70000\": refused: not a value the device takes; it takes"},
      {"port,Access Point Name,Server's Port\n/dev/a,\"two\nlines\",1\n",
       "2: Access Point Name \"two\\nlines\": refused: the value holds a line break"},
      {"port,Access Point Name,Server's Port\n/dev/a,\"x,1\n/dev/b,y,2\n",
       "2: a quoted field is not closed"},
      {"port,Access Point Name,Server's Port\n/dev/a,\"x\"y,1\n",
       "2: text after the closing quote"},
      {"port,Access Point Name,Server's Port\n/dev/a,x\"y,1\n", "2: a quote inside a field"},
      {"port,Access Point Name,Server's Port\n,x,1\n", "2: the port is empty"},
      {"port,Device Type\n/dev/a,x\n", "2: Device Type \"x\": refused: the device only reports it"},
  };
  const ParamTable catalogue = Catalogue();
  for (const Case& c : cases) {
    std::vector<DeviceValues> devices;
    std::string why;
    EXPECT_FALSE(ReadDeviceCsv("d.csv", c.table, catalogue, &devices, &why)) << c.table;
    EXPECT_EQ(why.rfind(std::string("d.csv:") + c.says, 0), 0u) << why;
  }
}
