#include "domain/device_params.h"

#include <array>
#include <cstdio>
#include <vector>

namespace {

// Drop-down lists, in the order of their items; an item's position is the form's index.

constexpr DomainItem kWorkModeItems[] = {
    {"PROT", "protocol mode (device protocol to the center)"},
    {"DCUDP", "data center over UDP"},
    {"DCTCP", "data center over TCP"},
    {"TRNS", "transparent serial transfer"},
    {"SMSCLI", "SMS client"},
    {"SMSSER", "SMS server"},
    {"HTTP", "HTTP client"},
    {"MTCP/MRTU", "Modbus TCP to Modbus RTU gateway"},
    {"MQTT", "MQTT client"},
    {"CUST", "custom protocol"},
    {"-1", "not set", true},
};
constexpr DomainItem kDeviceModelItems[] = {
    {"CLI", "client: the device connects to the center"},
    {"SVR", "server: the device listens for the center"},
    {"-1", "not set", true},
};
constexpr DomainItem kActivateItems[] = {
    {"AUTO", "always online"},
    {"SMSD", "activated by SMS"},
    {"CTRL", "activated by a call from the control phone"},
    {"DATA", "activated by serial data"},
    {"MIXD", "mixed: SMS, call or data"},
    {"DIO", "activated by an I/O line"},
    {"-1", "not set", true},
};
constexpr DomainItem kOffOnItems[] = {{"0", "off"}, {"1", "on"}};
constexpr DomainItem kNoYesItems[] = {{"0", "no"}, {"1", "yes"}};
constexpr DomainItem kAsciiHexItems[] = {{"0", "ASCII"}, {"1", "HEX"}};
constexpr DomainItem kTcpUdpTextItems[] = {{"TCP", "TCP"}, {"UDP", "UDP"}};
constexpr DomainItem kTcpUdpIndexItems[] = {{"0", "TCP"}, {"1", "UDP"}};
constexpr DomainItem kHttpModeItems[] = {{"0", "GET"}, {"1", "POST"}};
constexpr DomainItem kPppAuthItems[] = {
    {"NONE", "no authentication"}, {"PAP", "PAP"}, {"CHAP", "CHAP"}};
constexpr DomainItem kNetModeItems[] = {
    {"0", "automatic"}, {"4", "GSM only"}, {"5", "WCDMA only"}, {"6", "LTE only"}};
constexpr DomainItem kBaudItems[] = {{"1200", "1200 bit/s"},   {"2400", "2400 bit/s"},
                                     {"4800", "4800 bit/s"},   {"9600", "9600 bit/s"},
                                     {"19200", "19200 bit/s"}, {"38400", "38400 bit/s"},
                                     {"57600", "57600 bit/s"}, {"115200", "115200 bit/s"}};
constexpr DomainItem kLineCodeItems[] = {{"8N1", "8 data bits, no parity, 1 stop bit"},
                                         {"8E1", "8 data bits, even parity, 1 stop bit"},
                                         {"8O1", "8 data bits, odd parity, 1 stop bit"},
                                         {"8N2", "8 data bits, no parity, 2 stop bits"},
                                         {"7E1", "7 data bits, even parity, 1 stop bit"},
                                         {"7O1", "7 data bits, odd parity, 1 stop bit"}};
constexpr DomainItem kBindingItems[] = {
    {"0", "no center"}, {"1", "center 1"},  {"2", "center 2"},     {"4", "center 3"},
    {"8", "center 4"},  {"16", "center 5"}, {"255", "all centers"}};
constexpr DomainItem kSerialPortItems[] = {
    {"1", "serial port 1 (RS232)"}, {"2", "serial port 2"}, {"3", "RS485"}};
constexpr DomainItem kServerCountItems[] = {{"0", "no data center (GPS devices only)"},
                                            {"1", "one center with a secondary (backup) server"},
                                            {"2", "two centers"},
                                            {"3", "three centers"},
                                            {"4", "four centers"},
                                            {"5", "five centers"}};
constexpr DomainItem kExfunItems[] = {{"0", "off"}, {"3", "ICMP link check"}};
constexpr DomainItem kDebugLevelItems[] = {
    {"0", "off"}, {"1", "errors"}, {"2", "information"}, {"3", "everything"}};
constexpr DomainItem kIoActivationItems[] = {{"0", "an input line activates (see I/O selection)"},
                                             {"1", "the center switches the control lines"}};
constexpr DomainItem kAfterFailItems[] = {
    {"0", "redial"}, {"1", "restart the device"}, {"2", "stay offline"}};
constexpr DomainItem kDioWorkModeItems[] = {
    {"0", "unused"},
    {"1", "digital input"},
    {"2", "digital output"},
    {"3", "pulse counter"},
    {"6", "analogue input (ADC)"},
    {"4", "activation input, chosen by I/O selection", true},
    {"5", "control output, chosen by I/O control", true}};
constexpr DomainItem kMappingCenterItems[] = {
    {"0", "center 1"}, {"1", "center 2"},    {"2", "center 3"}, {"3", "center 4"},
    {"4", "center 5"}, {"5", "all centers"}, {"6", "None"}};
constexpr DomainItem kReportMethodItems[] = {{"0", "reported on change"},
                                             {"1", "reported on query"}};
constexpr DomainItem kDioProtocolItems[] = {{"0", "plain text"}, {"1", "Modbus"}};
constexpr DomainItem kDioInterfaceItems[] = {{"GPRS", "report over the data connection"},
                                             {"SMS", "report by SMS"},
                                             {"GPRS&SMS", "report over both"},
                                             {"SERIAL", "report on a serial port"}};
constexpr DomainItem kAdcTypeItems[] = {{"0", "voltage 0-5 V"}, {"1", "current 4-20 mA"}};
constexpr DomainItem kLoraRateItems[] = {{"1", "0.3 kbit/s air rate"}, {"2", "1.2 kbit/s"},
                                         {"3", "2.4 kbit/s"},          {"4", "4.8 kbit/s"},
                                         {"5", "9.6 kbit/s"},          {"6", "19.2 kbit/s"}};
constexpr DomainItem kLoraModeItems[] = {{"TRNS", "transparent transmission"},
                                         {"FIXED", "fixed-address transmission"},
                                         {"BCAST", "broadcast"}};
constexpr DomainItem kLoraTypeItems[] = {{"1", "node"}, {"2", "gateway"}};
constexpr DomainItem kZigbeeModeItems[] = {
    {"0", "transparent broadcast"}, {"1", "point to point"}, {"2", "point to point with address"}};
constexpr DomainItem kZigbeeChannelItems[] = {
    {"11", "2405 MHz"}, {"12", "2410 MHz"}, {"13", "2415 MHz"}, {"14", "2420 MHz"},
    {"15", "2425 MHz"}, {"16", "2430 MHz"}, {"17", "2435 MHz"}, {"18", "2440 MHz"},
    {"19", "2445 MHz"}, {"20", "2450 MHz"}, {"21", "2455 MHz"}, {"22", "2460 MHz"},
    {"23", "2465 MHz"}, {"24", "2470 MHz"}, {"25", "2475 MHz"}, {"26", "2480 MHz"}};
constexpr DomainItem kZigbeeTypeItems[] = {
    {"0", "coordinator"}, {"1", "router"}, {"2", "end device"}};
constexpr DomainItem kGpsModeItems[] = {
    {"0", "off"}, {"1", "timed reporting"}, {"2", "reporting on request"}};

constexpr ValueDomain Items(const char* name, std::span<const DomainItem> items) {
  return {name, DomainKind::kItems, items};
}
constexpr ValueDomain Number(const char* name, int64_t min, int64_t max) {
  return {name, DomainKind::kNumber, {}, min, max};
}
constexpr ValueDomain Text(const char* name, DomainKind kind, int32_t maxLength, bool mayBeEmpty) {
  return {name, kind, {}, 0, 0, maxLength, mayBeEmpty};
}

const ValueDomain kWorkMode = Items("work mode", kWorkModeItems);
const ValueDomain kDeviceModel = Items("device model", kDeviceModelItems);
const ValueDomain kActivate = Items("activation method", kActivateItems);
const ValueDomain kOffOn = Items("off/on", kOffOnItems);
const ValueDomain kNoYes = Items("no/yes", kNoYesItems);
const ValueDomain kAsciiHex = Items("ASCII/HEX", kAsciiHexItems);
const ValueDomain kTcpUdpText = Items("TCP/UDP by name", kTcpUdpTextItems);
const ValueDomain kTcpUdpIndex = Items("TCP/UDP by index", kTcpUdpIndexItems);
const ValueDomain kHttpMode = Items("HTTP request", kHttpModeItems);
const ValueDomain kPppAuth = Items("PPP authentication", kPppAuthItems);
const ValueDomain kNetMode = Items("net mode", kNetModeItems);
const ValueDomain kBaud = Items("baud rate", kBaudItems);
const ValueDomain kLineCode = Items("line code", kLineCodeItems);
const ValueDomain kBinding = Items("binding center", kBindingItems);
const ValueDomain kSerialPort = Items("serial port", kSerialPortItems);
const ValueDomain kServerCount = Items("server count", kServerCountItems);
const ValueDomain kExfun = Items("EXFUN", kExfunItems);
const ValueDomain kDebugLevel = Items("debug level", kDebugLevelItems);
const ValueDomain kIoActivation = Items("I/O activation", kIoActivationItems);
const ValueDomain kAfterFail = Items("after failure", kAfterFailItems);
const ValueDomain kDioWorkMode = Items("DIO work mode", kDioWorkModeItems);
const ValueDomain kMappingCenter = Items("mapping center", kMappingCenterItems);
const ValueDomain kReportMethod = Items("report method", kReportMethodItems);
const ValueDomain kDioProtocol = Items("DIO protocol", kDioProtocolItems);
const ValueDomain kDioInterface = Items("DIO interface", kDioInterfaceItems);
const ValueDomain kAdcType = Items("ADC type", kAdcTypeItems);
const ValueDomain kLoraRate = Items("LoRa rate", kLoraRateItems);
const ValueDomain kLoraMode = Items("LoRa mode", kLoraModeItems);
const ValueDomain kLoraType = Items("LoRa type", kLoraTypeItems);
const ValueDomain kZigbeeMode = Items("ZigBee mode", kZigbeeModeItems);
const ValueDomain kZigbeeChannel = Items("ZigBee channel", kZigbeeChannelItems);
const ValueDomain kZigbeeType = Items("ZigBee type", kZigbeeTypeItems);
const ValueDomain kGpsMode = Items("GPS mode", kGpsModeItems);

const ValueDomain kPort = Number("port", 1, 65535);
const ValueDomain kPortOrNone = Number("port or 0", 0, 65535);
const ValueDomain kSeconds = Number("seconds", 0, 65535);
const ValueDomain kInterval = Number("interval", 1, 65535);
const ValueDomain kCount = Number("count", 0, 255);
const ValueDomain kTries = Number("tries", 1, 255);
const ValueDomain kReportPeriod = Number("report period", 1, 86400);
const ValueDomain kBatch = Number("batch size", 1, 100);
const ValueDomain kAdcThreshold = Number("ADC threshold", 0, 4095);
const ValueDomain kModbusAddress = Number("Modbus address", 1, 247);
const ValueDomain kMtu = Number("TCP frame length", 1, 1460);
const ValueDomain kMask = Number("routing mask", 0, 255);
const ValueDomain kLoraPower = Number("LoRa power", 5, 20);
const ValueDomain kLoraFreq = Number("LoRa frequency", 137, 1020);
const ValueDomain kWord = Number("16-bit number", 0, 65535);
const ValueDomain kCollectDelay = Number("collect timeout", 10, 65535);
const ValueDomain kTryCount = Number("try count", 0, 10);

const ValueDomain kText16 = Text("text16", DomainKind::kText, 16, true);
const ValueDomain kText32 = Text("text32", DomainKind::kText, 32, true);
const ValueDomain kText64 = Text("text64", DomainKind::kText, 64, true);
const ValueDomain kText128 = Text("text128", DomainKind::kText, 128, true);
const ValueDomain kHost = Text("host", DomainKind::kHost, 64, false);
const ValueDomain kIpv4 = Text("IPv4", DomainKind::kIpv4, 15, false);
const ValueDomain kPhone = Text("phone", DomainKind::kPhone, 20, true);
const ValueDomain kHex4 = Text("hex4", DomainKind::kHex, 4, false);
const ValueDomain kReadOnly = Text("read-only", DomainKind::kReadOnly, 0, false);

// clang-format off
const DeviceParam kParams[] = {
  {"AT+APN", "Access Point Name:", &kText64, "CMNET"},
  {"AT+CENT", "Center call number:", &kText32, "*99***1#"},
  {"AT+USERNAME", "PPP Authentication User Id:", &kText64, "card"},
  {"AT+PASSWORD", "PPP Authentication Password:", &kText64, "card"},
  {"AT+PAUTH", "The PPP authentication:", &kPppAuth, "PAP"},
  {"AT+NETMODE", "net mode:", &kNetMode, "0"},
  {"AT+PRDLWT", "PPP Wait Time Between Dial Failures:", &kSeconds, "30"},
  {"AT+PRETRY", "PPP Link Fail Retry Times:", &kCount, "3"},
  {"AT+DNSSVR", "Dns Server's Ip:", &kIpv4, "114.114.114.114"},
  {"AT+DNSSV2", "Second Dns Server's Ip:", &kIpv4, "8.8.8.8"},

  {"At+PROMODE", "Protocol model:", &kWorkMode, "DCTCP"},
  {"AT+IDNT", "Modem's ID number:", &kText32, "10000001"},
  {"AT+PHON", "Modem's Phone Number:", &kPhone, "13912345678"},
  {"AT+DEVMODE", "Device model:", &kDeviceModel, "CLI"},
  {"AT+TRNPRO", "Transfer protocol:", &kTcpUdpText, "TCP"},
  {"At+ENHRT", "Registration and heart function:", &kOffOn, "0"},
  {"AT+HEXLOGIN", "Register And Keep Online Info Is Hex:", &kAsciiHex, "0"},
  {"AT+CONNRGST", "Custom Register Info:", &kText64, "REG"},
  {"AT+CONNRGSTREP", "Custom Register reply Info:", &kText64, "REGACK"},
  {"AT+LINKRGST", "Custom Keep Online Info:", &kText64, "HEART"},
  {"AT+LINKRGSTREP", "Custom Keep Onlinereply Info:", &kText64, "HEARTACK"},
  {"AT+LPORT", "Listen on port:", &kPort, "5000"},
  {"AT+PHONENOSHOW", "Show Phone NO:", &kNoYes, "0"},
  {"AT+ENCODEHEXSMS", "Encode Hex SMS:", &kNoYes, "0"},
  {"AT+HEXSMS", "sms hex:", &kNoYes, "0"},
  {"AT+PHONE1", "sms Phone1 No.:", &kPhone, "13800000001"},
  {"AT+PHONE2", "sms Phone2 No.:", &kPhone, "13800000002"},
  {"AT+PHONE3", "sms Phone3 No.:", &kPhone, "13800000003"},
  {"AT+PHONE4", "sms Phone4 No.:", &kPhone, "13800000004"},
  {"AT+PHONE5", "sms Phone5 No.:", &kPhone, "13800000005"},
  {"AT+STRAIGHT", "Deliver Recved Tcp Data Directly:", &kNoYes, "0"},
  {"AT+HTTPREQMODE", "HTTP Request Mode:", &kHttpMode, "0"},
  {"AT+MQTTCLIENTID", "MQTT Client Id:", &kText64, "dtu-0001"},
  {"AT+MQTTUSERNAME", "MQTT User Name:", &kText64, "user"},
  {"AT+MQTTPASSWORD", "MQTT Password:", &kText64, "secret"},
  {"AT+MQTTRECVTOPIC", "MQTT Receive Topic:", &kText128, "dtu/down"},
  {"AT+MQTTSENDTOPIC", "MQTT Send Topic:", &kText128, "dtu/up"},
  {"AT+MQTTPRODUCTKEY", "MQTT Product Key:", &kText64, "pk0001"},
  {"AT+MQTTREPORPERIOD", "MQTT Reporting Period:", &kReportPeriod, "60"},
  {"AT+MQTTBATCHREPORT", "MQTT Batch Report:", &kBatch, "1"},
  {"AT+MQTTCACHEEANBLE", "MQTT Cache Eanble:", &kOffOn, "0"},
  {"AT+ACTI", "Activate Method:", &kActivate, "AUTO"},
  {"AT+CTRLNO", "Control Phone No.:", &kPhone, "13800000000"},
  {"AT+ACTSMSNO", "SMS activation number:", &kPhone, "13800000000"},
  {"AT+ACTSERLNO", "Activate the serial no:", &kSerialPort, "1"},
  {"AT+ACTDATAFMT", "The activation data format:", &kAsciiHex, "0"},
  {"AT+DONPSWD", "Data Daemon PPP On Password:", &kText32, "ppp_on"},
  {"AT+DOFFPSWD", "Data Daemon PPP Off Password:", &kText32, "ppp_off"},
  {"AT+IOACTMTH", "IO activation methods:", &kIoActivation, "0"},
  {"AT+SMSDPSWD", "Sms Daemon Password:", &kText16, "1234"},
  {"AT+DEBUG", "Debug Level :", &kDebugLevel, "0"},
  {"AT+DEBUGPORT", "Debugging information out port:", &kSerialPort, "1"},
  {"AT+SERHC", "Clear Serial Buf:", &kNoYes, "0"},

  {"AT+SVRCNT", "Total Servers:", &kServerCount, "1"},
  {"AT+IPAD", "Server's Ip:", &kHost, "192.168.1.100"},
  {"AT+PORT", "Server's Port:", &kPortOrNone, "8000"},
  {"AT+IPSEC", "Secondary Server's Ip:", &kHost, "0.0.0.0"},
  {"AT+PTSEC", "Secondary Server's Port:", &kPortOrNone, "0"},
  {"AT+IPAD1", "Server1's Ip:", &kHost, "0.0.0.0"},
  {"AT+PORT1", "Server1's Port:", &kPortOrNone, "0"},
  {"AT+IPAD2", "Server2's Ip:", &kHost, "0.0.0.0"},
  {"AT+PORT2", "Server2's Port:", &kPortOrNone, "0"},
  {"AT+IPAD3", "Server3's Ip:", &kHost, "0.0.0.0"},
  {"AT+PORT3", "Server3's Port:", &kPortOrNone, "0"},
  {"AT+IPAD4", "Server4's Ip:", &kHost, "0.0.0.0"},
  {"AT+PORT4", "Server4's Port:", &kPortOrNone, "0"},
  {"AT+RDLWT", "Wait Time Between Dial Failures:", &kSeconds, "30"},
  {"AT+RETRY", "Link Fail Retry Times:", &kCount, "3"},
  {"AT+RETMAIN", "Should Return To Main Server:", &kNoYes, "1"},

  {"AT+IPR", "Serial Baudrate:", &kBaud, "115200"},
  {"AT+SERMODE", "Serial port commu mode:", &kLineCode, "8N1"},
  {"AT+SERBINDCNT", "A serial port binding center:", &kBinding, "1"},
  {"AT+SETIPR2", "Serial 2 Baudrate:", &kBaud, "9600"},
  {"AT+SERMODE2", "Serial 2 port commu mode:", &kLineCode, "8N1"},
  {"AT+SERBINDCNT2", "A serial 2 port binding center:", &kBinding, "1"},
  {"AT+RS485IPR", "RS485 Baudrate:", &kBaud, "9600"},
  {"AT+RS485SERMODE", "RS485 port commu mode:", &kLineCode, "8N1"},
  {"AT+RS485BINDCNT", "RS485 port binding center:", &kBinding, "1"},

  {"AT+ECHOENABLE", "LCP ECHO:", &kOffOn, "1"},
  {"AT+ECHOINT", "Lcp echo interval:", &kInterval, "60"},
  {"AT+ECHOTESTNUM", "Lcp echo testing number:", &kTries, "3"},
  {"AT+EXFUN", "EXFUN:", &kExfun, "0"},
  {"AT+ICMPIP", "ICMP Ip:", &kHost, "114.114.114.114"},
  {"AT+ICMPINT", "ICMP interval:", &kInterval, "300"},
  {"AT+ICMPTESTNUM", "ICMP testing number:", &kTries, "3"},
  {"AT+SMSC", "Sms Center :", &kPhone, "+8613800100500"},
  {"AT+BYTEINT", "Bytes Finish Interval(ms):", &kSeconds, "100"},
  {"AT+TCPMTU", "Max Tcp Frame Len:", &kMtu, "1024"},
  {"AT+RESWAIT", "Resend wating:", &kSeconds, "10"},
  {"AT+MAXRESTIMES", "Maximum retransmission times:", &kCount, "3"},
  {"AT+AFTFAIL", "After a failed action:", &kAfterFail, "0"},
  {"AT+WAITFAILURE", "Waiting for the failure:", &kSeconds, "60"},
  {"AT+POLLTIME", "Heartbeat poll time seconds:", &kSeconds, "60"},

  {"AT+CONNTOMANA", "dtu is connect to dtu manage platform:", &kNoYes, "0"},
  {"AT+MANAID", "Dtu manage id:", &kText32, "00000001"},
  {"AT+MANAPRO", "Dtu manage transfer protocol:", &kTcpUdpText, "TCP"},
  {"AT+DTUMANAIP", "dtu manage server's Ip:", &kHost, "0.0.0.0"},
  {"AT+DTUMANAPORT", "dtu manage server's Port:", &kPortOrNone, "0"},
  {"AT+SMSCF", "DTU SMS configure fun:", &kOffOn, "0"},
  {"AT+SMSCPW", "DTU SMS configure password:", &kText16, "1234"},
  {"AT+SMSADMNUM", "DTU SMS administrator number:", &kPhone, "13800000000"},

  {"AT+LVER", "LORA ver:", &kReadOnly, ""},
  {"AT+LID", "LORA ID:", &kHex4, "00A1"},
  {"AT+RSPD", "LORA Rate:", &kLoraRate, "3"},
  {"AT+MOD", "LORA Mode:", &kLoraMode, "TRNS"},
  {"AT+TADDR", "LORA TAddr:", &kHex4, "0000"},
  {"AT+ZDATCHAN", "EL transmit channel:", &kMask, "3"},
  {"", "Device Type:", &kReadOnly, ""},
  {"AT+LPR", "LORA Power:", &kLoraPower, "20"},
  {"AT+LFR", "LORA freq:", &kLoraFreq, "433"},
  {"AT+LPID", "LORA pid:", &kWord, "1"},
  {"AT+LTYP", "LORA typ:", &kLoraType, "1"},
  {"AT+LPPT", "LORA ppt:", &kWord, "0"},

  {"AT+ZTXTYPE", "ZigBee_WorkMode :", &kZigbeeMode, "0"},
  {"AT+CHA", "ZigBee_RFchannel :", &kZigbeeChannel, "11"},
  {"AT+PID", "ZigBee_NetworkID :", &kHex4, "1A2B"},
  {"AT+TAD", "ZigBee_TransAddr :", &kHex4, "0000"},
  {"AT+TYP", "ZigBee_Type :", &kZigbeeType, "0"},

  {"AT+GPSAD", "GPS Server's Ip:", &kHost, "0.0.0.0"},
  {"AT+GPSPORT", "GPS Server's Port:", &kPortOrNone, "0"},
  {"AT+GPSTMOD", "GPS work mode:", &kGpsMode, "0"},
  {"AT+GPSPRO", "GPS protocol:", &kTcpUdpIndex, "0"},
  {"AT+GPSID", "GPS euipment ID:", &kText32, "GPS0001"},
  {"AT+GPSINT", "GPS transmit interval:", &kInterval, "30"},
  {"AT+FRMC", "GPS GPRMC:", &kOffOn, "1"},
  {"AT+FVTG", "GPS GPVTG:", &kOffOn, "0"},
  {"AT+FGGA", "GPS GPGGA:", &kOffOn, "0"},
  {"AT+FGSA", "GPS GPGSA:", &kOffOn, "0"},
  {"AT+FGSV", "GPS GPGSV:", &kOffOn, "0"},
  {"AT+FGLL", "GPS GPGLL:", &kOffOn, "0"},
};

// The settings of one I/O line; "%d" stands for the line's number (1 to 5).
struct DioField {
  const char* command;
  const char* label;
  const ValueDomain* domain;
  const char* factoryValue;
};
const DioField kDioFields[] = {
  {"AT+DIOWORKMODE%d", "DIO%d workmode:", &kDioWorkMode, "0"},
  {"AT+DIOSMSNO%d", "DIO%d SMS number:", &kPhone, "13800000000"},
  {"AT+DIOHIGHINFO%d", "DIO%d high level information:", &kText64, "DIO%d high"},
  {"AT+DIOLOWINFO%d", "DIO%d low level information:", &kText64, "DIO%d low"},
  {"AT+DIOADCUPTHR%d", "DIO%d upper threshold:", &kAdcThreshold, "3000"},
  {"AT+DIOADCLOWTHR%d", "DIO%d lower threshold:", &kAdcThreshold, "1000"},
  {"AT+DIOMAPC%d", "DIO%d and mapping center:", &kMappingCenter, "6"},
  {"AT+DIOREPMETHOD%d", "DIO%d reported methods:", &kReportMethod, "0"},
  {"AT+DIOQUERYCMD%d", "DIO%d query command:", &kText32, "QDIO%d"},
  {"AT+DIOREPTIMES%d", "DIO%d reported times:", &kTries, "1"},
  {"AT+DIODATAFMT%d", "The DIO%d data format:", &kAsciiHex, "0"},
  {"AT+DIOPRO%d", "DIO%d protocol:", &kDioProtocol, "0"},
  {"AT+DIOINTFACE%d", "DIO%d interface:", &kDioInterface, "GPRS"},
  {"AT+DIOOUTPUTRSP%d", "DIO%d output control result:", &kText64, "DIO%d done"},
};
// Lines 3, 4 and 5 can read an analogue value.
const DioField kDioAdcField = {"AT+DIOADCTYPE%d", "DIO%d adc type:", &kAdcType, "0"};
const DeviceParam kModbusAddress_ = {"AT+MBADDRESS", "Mobus address:", &kModbusAddress, "1"};

const DeviceParam kModbusParams[] = {
  {"AT+MSBITV", "MSBITV:", &kInterval, "60"},
  {"AT+CLTTIMEOUT", "CLTTIMEOUT:", &kCollectDelay, "1000"},
  {"AT+MBTRYCOUNT", "MBTRYCOUNT:", &kTryCount, "3"},
};
// clang-format on

std::string WithLine(const char* format, int line) {
  char text[64];
  std::snprintf(text, sizeof text, format, line);
  return text;
}

std::vector<DeviceParam> BuildParams() {
  std::vector<DeviceParam> params(std::begin(kParams), std::end(kParams));
  for (int line = 1; line <= 5; ++line) {
    const Presence presence = line == 4 ? Presence::kFiveDioOnly : Presence::kAll;
    auto add = [&](const DioField& field) {
      params.push_back({WithLine(field.command, line), WithLine(field.label, line), field.domain,
                        WithLine(field.factoryValue, line), presence});
    };
    for (const DioField& field : kDioFields) add(field);
    if (line == 3) params.push_back(kModbusAddress_);
    if (line >= 3) add(kDioAdcField);
  }
  params.insert(params.end(), std::begin(kModbusParams), std::end(kModbusParams));
  return params;
}

const ValueDomain* const kDomainOrder[] = {
    &kWorkMode,      &kDeviceModel, &kActivate,    &kOffOn,         &kNoYes,        &kAsciiHex,
    &kTcpUdpText,    &kTcpUdpIndex, &kHttpMode,    &kPppAuth,       &kNetMode,      &kBaud,
    &kLineCode,      &kBinding,     &kSerialPort,  &kServerCount,   &kExfun,        &kDebugLevel,
    &kIoActivation,  &kAfterFail,   &kDioWorkMode, &kMappingCenter, &kReportMethod, &kDioProtocol,
    &kDioInterface,  &kAdcType,     &kLoraRate,    &kLoraMode,      &kLoraType,     &kZigbeeMode,
    &kZigbeeChannel, &kZigbeeType,  &kGpsMode,     &kPort,          &kPortOrNone,   &kSeconds,
    &kInterval,      &kCount,       &kTries,       &kReportPeriod,  &kBatch,        &kAdcThreshold,
    &kModbusAddress, &kMtu,         &kMask,        &kLoraPower,     &kLoraFreq,     &kWord,
    &kCollectDelay,  &kTryCount,    &kText16,      &kText32,        &kText64,       &kText128,
    &kHost,          &kIpv4,        &kPhone,       &kHex4,          &kReadOnly,
};

}  // namespace

std::span<const DeviceParam> DeviceParams() {
  static const std::vector<DeviceParam> params = BuildParams();
  return params;
}

bool IsAtPrefix(std::string_view text) {
  return text.size() >= 3 && (text[0] == 'A' || text[0] == 'a') &&
         (text[1] == 'T' || text[1] == 't') && text[2] == '+';
}

const DeviceParam* FindParamByCommand(std::string_view command) {
  // Like the modems it is built on, the device reads the "AT" of a command in any letter
  // case ("At+PROMODE" and "AT+PROMODE" are one command); the name after "+" is exact.
  if (!IsAtPrefix(command)) return nullptr;
  for (const DeviceParam& param : DeviceParams()) {
    if (IsAtPrefix(param.command) &&
        command.substr(3) == std::string_view(param.command).substr(3)) {
      return &param;
    }
  }
  return nullptr;
}

std::span<const ValueDomain* const> ValueDomains() {
  return kDomainOrder;
}
