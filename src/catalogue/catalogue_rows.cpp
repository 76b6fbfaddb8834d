// The device's parameter vocabulary. Each line binds a form control to the command that writes
// it and the label under which the device reports it. The texts are the device's own, byte for
// byte, misspellings and odd blanks included: "Mobus address", "At+PROMODE", "Debugging  port"
// (two blanks), blanks before some colons. Labels that start with CR LF are found only at the
// start of a reply line; the others anywhere.
#include "catalogue/catalogue_rows.h"

#include <array>

namespace {

// Tab page indices of the tab strip.
constexpr int32_t kWorkModeTab = 0;
constexpr int32_t kServerTab = 1;
constexpr int32_t kSerialTab = 2;
constexpr int32_t kIoTab = 3;
constexpr int32_t kWirelessTab = 4;
constexpr int32_t kGlobalTab = 5;
constexpr int32_t kEquimentTab = 6;
constexpr int32_t kLoraTab = 7;
constexpr int32_t kZigbeeTab = 8;
constexpr int32_t kGpsTab = 9;
constexpr int32_t kModbusTab = 10;
// "LORA ver" lies on no tab; it is never written.
constexpr int32_t kNoPage = 100;

// The "DIO4" controls (rows 60 to 73) carry the device's DIO3 commands and labels on every model;
// only the "DIO3" controls are rebound by model, see Dio3Bindings(). "Mobus address" follows both
// ADC-type rows and is inserted twice with the same binding.
// clang-format off
constexpr std::array<CatalogueRow, 215> kCatalogueRows{{
    // Row 1, page 100: on no tab.
    /*   1 */ {kNoPage, "LORA ver", "AT+LVER", "\r\nLORA ver:", ""},
    // Rows 2 to 12, page 7: tab "LoraTab".
    /*   2 */ {kLoraTab, "LORA ID", "AT+LID", "\r\nLORA ID:", "Edit"},
    /*   3 */ {kLoraTab, "LORA Rate", "AT+RSPD", "\r\nLORA Rate:", "Combobox"},
    /*   4 */ {kLoraTab, "LORA Mode", "AT+MOD", "\r\nLORA Mode:", "Combobox"},
    /*   5 */ {kLoraTab, "LORA TAddr", "AT+TADDR", "\r\nLORA TAddr:", "Edit"},
    /*   6 */ {kLoraTab, "EL transmit channel", "AT+ZDATCHAN", "\r\nEL transmit channel:", "Line"},
    /*   7 */ {kLoraTab, "Device Type", "", "\r\nDevice Type:", "Line"},
    /*   8 */ {kLoraTab, "LORA Power", "AT+LPR", "\r\nLORA Power:", "Edit"},
    /*   9 */ {kLoraTab, "LORA freq", "AT+LFR", "\r\nLORA freq:", "Edit"},
    /*  10 */ {kLoraTab, "LORA pid", "AT+LPID", "\r\nLORA pid:", "Edit"},
    /*  11 */ {kLoraTab, "LORA typ", "AT+LTYP", "\r\nLORA typ:", "Combobox"},
    /*  12 */ {kLoraTab, "LORA ppt", "AT+LPPT", "\r\nLORA ppt:", "Edit"},
    // Rows 13 to 18, page 8: tab "ZigbeeTab".
    /*  13 */ {kZigbeeTab, "ZigBee_WorkMode", "AT+ZTXTYPE", "\r\nZigBee_WorkMode :", "Combobox"},
    /*  14 */ {kZigbeeTab, "ZigBee_RFchannel", "AT+CHA", "\r\nZigBee_RFchannel :", "Combobox"},
    /*  15 */ {kZigbeeTab, "ZigBee_NetworkID", "AT+PID", "\r\nZigBee_NetworkID :", "Edit"},
    /*  16 */ {kZigbeeTab, "ZigBee_TransAddr", "AT+TAD", "\r\nZigBee_TransAddr :", "Edit"},
    /*  17 */ {kZigbeeTab, "ZigBee_Type", "AT+TYP", "\r\nZigBee_Type :", "Combobox"},
    /*  18 */ {kZigbeeTab, "EL transmit channel_Z", "AT+ZDATCHAN", "\r\nEL transmit channel:", "Line"},
    // Rows 19 to 31, page 9: tab "GPSTab".
    /*  19 */ {kGpsTab, "GPS Server's Ip", "AT+GPSAD", "\r\nGPS Server's Ip:", "Edit"},
    /*  20 */ {kGpsTab, "GPS Server's Port", "AT+GPSPORT", "\r\nGPS Server's Port:", "Edit"},
    /*  21 */ {kGpsTab, "GPS work mode", "AT+GPSTMOD", "\r\nGPS work mode:", "Combobox"},
    /*  22 */ {kGpsTab, "GPS Protocol", "AT+GPSPRO", "\r\nGPS protocol:", "Combobox"},
    /*  23 */ {kGpsTab, "GPS euipment ID", "AT+GPSID", "\r\nGPS euipment ID:", "Edit"},
    /*  24 */ {kGpsTab, "GPS transmit interval", "AT+GPSINT", "\r\nGPS transmit interval:", "Edit"},
    /*  25 */ {kGpsTab, "EL transmit channel_G", "AT+ZDATCHAN", "\r\nEL transmit channel:", "Line"},
    /*  26 */ {kGpsTab, "GPS GPRMC", "AT+FRMC", "\r\nGPS GPRMC:", "Combobox"},
    /*  27 */ {kGpsTab, "GPS GPVTG", "AT+FVTG", "\r\nGPS GPVTG:", "Combobox"},
    /*  28 */ {kGpsTab, "GPS GPGGA", "AT+FGGA", "\r\nGPS GPGGA:", "Combobox"},
    /*  29 */ {kGpsTab, "GPS GPGSA", "AT+FGSA", "\r\nGPS GPGSA:", "Combobox"},
    /*  30 */ {kGpsTab, "GPS GPGSV", "AT+FGSV", "\r\nGPS GPGSV:", "Combobox"},
    /*  31 */ {kGpsTab, "GPS GPGLL", "AT+FGLL", "\r\nGPS GPGLL:", "Combobox"},
    // Rows 32 to 105, page 3: tab "IOTab".
    /*  32 */ {kIoTab, "DIO1 workmode", "AT+DIOWORKMODE1", "DIO1 workmode:", "Combobox"},
    /*  33 */ {kIoTab, "DIO1 SMS number", "AT+DIOSMSNO1", "DIO1 SMS number:", "Edit"},
    /*  34 */ {kIoTab, "DIO1 high level information", "AT+DIOHIGHINFO1", "DIO1 high level information:", "Edit"},
    /*  35 */ {kIoTab, "DIO1 low level information", "AT+DIOLOWINFO1", "DIO1 low level information:", "Edit"},
    /*  36 */ {kIoTab, "DIO1 upper threshold", "AT+DIOADCUPTHR1", "DIO1 upper threshold:", "Edit"},
    /*  37 */ {kIoTab, "DIO1 lower threshold", "AT+DIOADCLOWTHR1", "DIO1 lower threshold:", "Edit"},
    /*  38 */ {kIoTab, "DIO1 and mapping center", "AT+DIOMAPC1", "DIO1 and mapping center:", "Combobox"},
    /*  39 */ {kIoTab, "DIO1 reported methods", "AT+DIOREPMETHOD1", "DIO1 reported methods:", "Combobox"},
    /*  40 */ {kIoTab, "DIO1 query command", "AT+DIOQUERYCMD1", "DIO1 query command:", "Edit"},
    /*  41 */ {kIoTab, "DIO1 reported times", "AT+DIOREPTIMES1", "DIO1 reported times:", "Edit"},
    /*  42 */ {kIoTab, "A DIO1 data format", "AT+DIODATAFMT1", "The DIO1 data format:", "Combobox"},
    /*  43 */ {kIoTab, "DIO1 protocol", "AT+DIOPRO1", "DIO1 protocol:", "Combobox"},
    /*  44 */ {kIoTab, "DIO1 interface", "AT+DIOINTFACE1", "DIO1 interface:", "Combobox"},
    /*  45 */ {kIoTab, "DIO1 output control result", "AT+DIOOUTPUTRSP1", "DIO1 output control result:", "Edit"},
    /*  46 */ {kIoTab, "DIO2 workmode", "AT+DIOWORKMODE2", "DIO2 workmode:", "Combobox"},
    /*  47 */ {kIoTab, "DIO2 SMS number", "AT+DIOSMSNO2", "DIO2 SMS number:", "Edit"},
    /*  48 */ {kIoTab, "DIO2 high level information", "AT+DIOHIGHINFO2", "DIO2 high level information:", "Edit"},
    /*  49 */ {kIoTab, "DIO2 low level information", "AT+DIOLOWINFO2", "DIO2 low level information:", "Edit"},
    /*  50 */ {kIoTab, "DIO2 upper threshold", "AT+DIOADCUPTHR2", "DIO2 upper threshold:", "Edit"},
    /*  51 */ {kIoTab, "DIO2 lower threshold", "AT+DIOADCLOWTHR2", "DIO2 lower threshold:", "Edit"},
    /*  52 */ {kIoTab, "DIO2 and mapping center", "AT+DIOMAPC2", "DIO2 and mapping center:", "Combobox"},
    /*  53 */ {kIoTab, "DIO2 reported methods", "AT+DIOREPMETHOD2", "DIO2 reported methods:", "Combobox"},
    /*  54 */ {kIoTab, "DIO2 query command", "AT+DIOQUERYCMD2", "DIO2 query command:", "Edit"},
    /*  55 */ {kIoTab, "DIO2 reported times", "AT+DIOREPTIMES2", "DIO2 reported times:", "Edit"},
    /*  56 */ {kIoTab, "A DIO2 data format", "AT+DIODATAFMT2", "The DIO2 data format:", "Combobox"},
    /*  57 */ {kIoTab, "DIO2 protocol", "AT+DIOPRO2", "DIO2 protocol:", "Combobox"},
    /*  58 */ {kIoTab, "DIO2 interface", "AT+DIOINTFACE2", "DIO2 interface:", "Combobox"},
    /*  59 */ {kIoTab, "DIO2 output control result", "AT+DIOOUTPUTRSP2", "DIO2 output control result:", "Edit"},
    /*  60 */ {kIoTab, "DIO4 workmode", "AT+DIOWORKMODE3", "DIO3 workmode:", "Combobox"},
    /*  61 */ {kIoTab, "DIO4 SMS number", "AT+DIOSMSNO3", "DIO3 SMS number:", "Edit"},
    /*  62 */ {kIoTab, "DIO4 high level information", "AT+DIOHIGHINFO3", "DIO3 high level information:", "Edit"},
    /*  63 */ {kIoTab, "DIO4 low level information", "AT+DIOLOWINFO3", "DIO3 low level information:", "Edit"},
    /*  64 */ {kIoTab, "DIO4 upper threshold", "AT+DIOADCUPTHR3", "DIO3 upper threshold:", "Edit"},
    /*  65 */ {kIoTab, "DIO4 lower threshold", "AT+DIOADCLOWTHR3", "DIO3 lower threshold:", "Edit"},
    /*  66 */ {kIoTab, "DIO4 and mapping center", "AT+DIOMAPC3", "DIO3 and mapping center:", "Combobox"},
    /*  67 */ {kIoTab, "DIO4 reported methods", "AT+DIOREPMETHOD3", "DIO3 reported methods:", "Combobox"},
    /*  68 */ {kIoTab, "DIO4 query command", "AT+DIOQUERYCMD3", "DIO3 query command:", "Edit"},
    /*  69 */ {kIoTab, "DIO4 reported times", "AT+DIOREPTIMES3", "DIO3 reported times:", "Edit"},
    /*  70 */ {kIoTab, "A DIO4 data format", "AT+DIODATAFMT3", "The DIO3 data format:", "Combobox"},
    /*  71 */ {kIoTab, "DIO4 protocol", "AT+DIOPRO3", "DIO3 protocol:", "Combobox"},
    /*  72 */ {kIoTab, "DIO4 interface", "AT+DIOINTFACE3", "DIO3 interface:", "Combobox"},
    /*  73 */ {kIoTab, "DIO4 output control result", "AT+DIOOUTPUTRSP3", "DIO3 output control result:", "Edit"},
    /*  74 */ {kIoTab, "DIO3 workmode", "AT+DIOWORKMODE3", "DIO3 workmode:", "Combobox"},
    /*  75 */ {kIoTab, "DIO3 SMS number", "AT+DIOSMSNO3", "DIO3 SMS number:", "Edit"},
    /*  76 */ {kIoTab, "DIO3 high level information", "AT+DIOHIGHINFO3", "DIO3 high level information:", "Edit"},
    /*  77 */ {kIoTab, "DIO3 low level information", "AT+DIOLOWINFO3", "DIO3 low level information:", "Edit"},
    /*  78 */ {kIoTab, "DIO3 upper threshold", "AT+DIOADCUPTHR3", "DIO3 upper threshold:", "Edit"},
    /*  79 */ {kIoTab, "DIO3 lower threshold", "AT+DIOADCLOWTHR3", "DIO3 lower threshold:", "Edit"},
    /*  80 */ {kIoTab, "DIO3 and mapping center", "AT+DIOMAPC3", "DIO3 and mapping center:", "Combobox"},
    /*  81 */ {kIoTab, "DIO3 reported methods", "AT+DIOREPMETHOD3", "DIO3 reported methods:", "Combobox"},
    /*  82 */ {kIoTab, "DIO3 query command", "AT+DIOQUERYCMD3", "DIO3 query command:", "Edit"},
    /*  83 */ {kIoTab, "DIO3 reported times", "AT+DIOREPTIMES3", "DIO3 reported times:", "Edit"},
    /*  84 */ {kIoTab, "A DIO3 data format", "AT+DIODATAFMT3", "The DIO3 data format:", "Combobox"},
    /*  85 */ {kIoTab, "DIO3 protocol", "AT+DIOPRO3", "DIO3 protocol:", "Combobox"},
    /*  86 */ {kIoTab, "DIO3 interface", "AT+DIOINTFACE3", "DIO3 interface:", "Combobox"},
    /*  87 */ {kIoTab, "DIO3 output control result", "AT+DIOOUTPUTRSP3", "DIO3 output control result:", "Edit"},
    /*  88 */ {kIoTab, "Mobus address", "AT+MBADDRESS", "Mobus address:", "Edit"},
    /*  89 */ {kIoTab, "DIO3 ADCType", "AT+DIOADCTYPE3", "DIO3 adc type:", "Combobox"},
    /*  90 */ {kIoTab, "DIO5 workmode", "AT+DIOWORKMODE5", "DIO5 workmode:", "Combobox"},
    /*  91 */ {kIoTab, "DIO5 SMS number", "AT+DIOSMSNO5", "DIO5 SMS number:", "Edit"},
    /*  92 */ {kIoTab, "DIO5 high level information", "AT+DIOHIGHINFO5", "DIO5 high level information:", "Edit"},
    /*  93 */ {kIoTab, "DIO5 low level information", "AT+DIOLOWINFO5", "DIO5 low level information:", "Edit"},
    /*  94 */ {kIoTab, "DIO5 upper threshold", "AT+DIOADCUPTHR5", "DIO5 upper threshold:", "Edit"},
    /*  95 */ {kIoTab, "DIO5 lower threshold", "AT+DIOADCLOWTHR5", "DIO5 lower threshold:", "Edit"},
    /*  96 */ {kIoTab, "DIO5 and mapping center", "AT+DIOMAPC5", "DIO5 and mapping center:", "Combobox"},
    /*  97 */ {kIoTab, "DIO5 reported methods", "AT+DIOREPMETHOD5", "DIO5 reported methods:", "Combobox"},
    /*  98 */ {kIoTab, "DIO5 query command", "AT+DIOQUERYCMD5", "DIO5 query command:", "Edit"},
    /*  99 */ {kIoTab, "DIO5 reported times", "AT+DIOREPTIMES5", "DIO5 reported times:", "Edit"},
    /* 100 */ {kIoTab, "A DIO5 data format", "AT+DIODATAFMT5", "The DIO5 data format:", "Combobox"},
    /* 101 */ {kIoTab, "DIO5 protocol", "AT+DIOPRO5", "DIO5 protocol:", "Combobox"},
    /* 102 */ {kIoTab, "DIO5 interface", "AT+DIOINTFACE5", "DIO5 interface:", "Combobox"},
    /* 103 */ {kIoTab, "DIO5 output control result", "AT+DIOOUTPUTRSP5", "DIO5 output control result:", "Edit"},
    /* 104 */ {kIoTab, "Mobus address", "AT+MBADDRESS", "Mobus address:", "Edit"},
    /* 105 */ {kIoTab, "DIO5 ADCType", "AT+DIOADCTYPE5", "DIO5 adc type:", "Combobox"},
    // Rows 106 to 113, page 6: tab "EquimentTab".
    /* 106 */ {kEquimentTab, "dtu is connect to dtu manage platform", "AT+CONNTOMANA", "\r\ndtu is connect to dtu manage platform:", "Combobox"},
    /* 107 */ {kEquimentTab, "Dtu manage id", "AT+MANAID", "\r\nDtu manage id:", "Edit"},
    /* 108 */ {kEquimentTab, "Dtumanagetransferprotocol", "AT+MANAPRO", "\r\nDtu manage transfer protocol:", "Combobox"},
    /* 109 */ {kEquimentTab, "dtu manage server's Ip", "AT+DTUMANAIP", "\r\ndtu manage server's Ip:", "Edit"},
    /* 110 */ {kEquimentTab, "dtu manage server's Port", "AT+DTUMANAPORT", "\r\ndtu manage server's Port:", "Edit"},
    /* 111 */ {kEquimentTab, "DTU SMS configure fun", "AT+SMSCF", "\r\nDTU SMS configure fun:", "Combobox"},
    /* 112 */ {kEquimentTab, "DTU SMS configure password", "AT+SMSCPW", "\r\nDTU SMS configure password:", "Edit"},
    /* 113 */ {kEquimentTab, "DTU SMS administrator number", "AT+SMSADMNUM", "\r\nDTU SMS administrator number:", "Edit"},
    // Rows 114 to 162, page 0: tab "WorkModeTab".
    /* 114 */ {kWorkModeTab, "Protocolmodel", "At+PROMODE", "\r\nProtocol model:", "Combobox"},
    /* 115 */ {kWorkModeTab, "Modem'sID number", "AT+IDNT", "\r\nModem's ID number:", "Edit"},
    /* 116 */ {kWorkModeTab, "PhoneNO.", "AT+PHON", "\r\nModem's Phone Number:", "Edit"},
    /* 117 */ {kWorkModeTab, "DeviceModel", "AT+DEVMODE", "\r\nDevice model:", "Combobox"},
    /* 118 */ {kWorkModeTab, "Transferprotocol", "AT+TRNPRO", "\r\nTransfer protocol:", "Combobox"},
    /* 119 */ {kWorkModeTab, "RegistrationAndHeart", "At+ENHRT", "\r\nRegistration and heart function:", "Combobox"},
    /* 120 */ {kWorkModeTab, "RegisterbHex", "AT+HEXLOGIN", "\r\nRegister And Keep Online Info Is Hex:", "Combobox"},
    /* 121 */ {kWorkModeTab, "RegisterInfo", "AT+CONNRGST", "\r\nCustom Register Info:", "Edit"},
    /* 122 */ {kWorkModeTab, "RegistrationReplyInfo", "AT+CONNRGSTREP", "\r\nCustom Register reply Info:", "Edit"},
    /* 123 */ {kWorkModeTab, "HeartbeatPacket", "AT+LINKRGST", "\r\nCustom Keep Online Info:", "Edit"},
    /* 124 */ {kWorkModeTab, "HeartbeatPacketReplyInfo", "AT+LINKRGSTREP", "\r\nCustom Keep Onlinereply Info:", "Edit"},
    /* 125 */ {kWorkModeTab, "ListenPort", "AT+LPORT", "\r\nListen on port:", "Edit"},
    /* 126 */ {kWorkModeTab, "Show Phone NO", "AT+PHONENOSHOW", "\r\nShow Phone NO:", "Combobox"},
    /* 127 */ {kWorkModeTab, "Encode Hex SMS", "AT+ENCODEHEXSMS", "\r\nEncode Hex SMS:", "Combobox"},
    /* 128 */ {kWorkModeTab, "Send Hex SMS", "AT+HEXSMS", "\r\nsms hex:", "Combobox"},
    /* 129 */ {kWorkModeTab, "sms Phone1 No", "AT+PHONE1", "\r\nsms Phone1 No.:", "Edit"},
    /* 130 */ {kWorkModeTab, "sms Phone2 No", "AT+PHONE2", "\r\nsms Phone2 No.:", "Edit"},
    /* 131 */ {kWorkModeTab, "sms Phone3 No", "AT+PHONE3", "\r\nsms Phone3 No.:", "Edit"},
    /* 132 */ {kWorkModeTab, "sms Phone4 No", "AT+PHONE4", "\r\nsms Phone4 No.:", "Edit"},
    /* 133 */ {kWorkModeTab, "sms Phone5 No", "AT+PHONE5", "\r\nsms Phone5 No.:", "Edit"},
    /* 134 */ {kWorkModeTab, "Deliver Recved Tcp Data Directly", "AT+STRAIGHT", "\r\nDeliver Recved Tcp Data Directly:", "Combobox"},
    /* 135 */ {kWorkModeTab, "HTTP Request Mode", "AT+HTTPREQMODE", "\r\nHTTP Request Mode:", "Combobox"},
    /* 136 */ {kWorkModeTab, "MQTT Client ID", "AT+MQTTCLIENTID", "MQTT Client Id:", "Edit"},
    /* 137 */ {kWorkModeTab, "MQTT User Name", "AT+MQTTUSERNAME", "MQTT User Name:", "Edit"},
    /* 138 */ {kWorkModeTab, "MQTT Password", "AT+MQTTPASSWORD", "MQTT Password:", "Edit"},
    /* 139 */ {kWorkModeTab, "MQTT Receive Topic", "AT+MQTTRECVTOPIC", "MQTT Receive Topic:", "Edit"},
    /* 140 */ {kWorkModeTab, "MQTT Send Topic", "AT+MQTTSENDTOPIC", "MQTT Send Topic:", "Edit"},
    /* 141 */ {kWorkModeTab, "MQTT KEY", "AT+MQTTPRODUCTKEY", "MQTT Product Key:", "Edit"},
    /* 142 */ {kWorkModeTab, "MQTT REPORPERIOD", "AT+MQTTREPORPERIOD", "MQTT Reporting Period:", "Edit"},
    /* 143 */ {kWorkModeTab, "MQTT BATCHREPORT", "AT+MQTTBATCHREPORT", "MQTT Batch Report:", "Edit"},
    /* 144 */ {kWorkModeTab, "MQTT CACHEEANBLE", "AT+MQTTCACHEEANBLE", "MQTT Cache Eanble:", "Combobox"},
    /* 145 */ {kWorkModeTab, "ActivateMethod", "AT+ACTI", "\r\nActivate Method:", "Combobox"},
    /* 146 */ {kWorkModeTab, "ActivationPhoneNO.", "AT+CTRLNO", "\r\nControl Phone No.:", "Edit"},
    /* 147 */ {kWorkModeTab, "SMSActivationNO.", "AT+ACTSMSNO", "\r\nSMS activation number:", "Edit"},
    /* 148 */ {kWorkModeTab, "ActivationInterface", "AT+ACTSERLNO", "\r\nActivate the serial no:", "Combobox"},
    /* 149 */ {kWorkModeTab, "DataFormat", "AT+ACTDATAFMT", "\r\nThe activation data format:", "Combobox"},
    /* 150 */ {kWorkModeTab, "On-line data", "AT+DONPSWD", "\r\nData Daemon PPP On Password:", "Edit"},
    /* 151 */ {kWorkModeTab, "Offline data", "AT+DOFFPSWD", "\r\nData Daemon PPP Off Password:", "Edit"},
    /* 152 */ {kWorkModeTab, "IOactivationmethods", "AT+IOACTMTH", "\r\nIO activation methods:", "Combobox"},
    /* 153 */ {kWorkModeTab, "I/O selection", "", "", "Combobox"},
    /* 154 */ {kWorkModeTab, "I/O1 Mode", "AT+DIOWORKMODE1", "\r\nDIO1 workmode:", "Combobox"},
    /* 155 */ {kWorkModeTab, "I/O2 Mode", "AT+DIOWORKMODE2", "\r\nDIO2 workmode:", "Combobox"},
    /* 156 */ {kWorkModeTab, "I/O1 control", "AT+DIOMAPC1", "\r\nDIO1 and mapping center:", "Combobox"},
    /* 157 */ {kWorkModeTab, "I/O2 control", "AT+DIOMAPC2", "\r\nDIO2 and mapping center:", "Combobox"},
    /* 158 */ {kWorkModeTab, "I/O3 control", "AT+DIOMAPC3", "\r\nDIO3 and mapping center:", "Combobox"},
    /* 159 */ {kWorkModeTab, "Sms Daemon Password", "AT+SMSDPSWD", "\r\nSms Daemon Password:", "Edit"},
    /* 160 */ {kWorkModeTab, "Debug Level", "AT+DEBUG", "\r\nDebug Level :", "Combobox"},
    /* 161 */ {kWorkModeTab, "Debugging  port", "AT+DEBUGPORT", "\r\nDebugging information out port:", "Combobox"},
    /* 162 */ {kWorkModeTab, "Clear Serial Buffer", "AT+SERHC", "Clear Serial Buf:", "Combobox"},
    // Rows 163 to 178, page 1: tab "ServerTab".
    /* 163 */ {kServerTab, "Server Count", "AT+SVRCNT", "\r\nTotal Servers:", "Combobox"},
    /* 164 */ {kServerTab, "Server's Ip", "AT+IPAD", "\r\nServer's Ip:", "Edit"},
    /* 165 */ {kServerTab, "Server's Port", "AT+PORT", "\r\nServer's Port:", "Edit"},
    /* 166 */ {kServerTab, "Secondary Server's Ip", "AT+IPSEC", "\r\nSecondary Server's Ip:", "Edit"},
    /* 167 */ {kServerTab, "Secondary Server's Port", "AT+PTSEC", "\r\nSecondary Server's Port:", "Edit"},
    /* 168 */ {kServerTab, "Server2's Ip", "AT+IPAD1", "\r\nServer1's Ip:", "Edit"},
    /* 169 */ {kServerTab, "Server2's Port", "AT+PORT1", "\r\nServer1's Port:", "Edit"},
    /* 170 */ {kServerTab, "Server3's Ip", "AT+IPAD2", "\r\nServer2's Ip:", "Edit"},
    /* 171 */ {kServerTab, "Server3's Port", "AT+PORT2", "\r\nServer2's Port:", "Edit"},
    /* 172 */ {kServerTab, "Server4's Ip", "AT+IPAD3", "\r\nServer3's Ip:", "Edit"},
    /* 173 */ {kServerTab, "Server4's Port", "AT+PORT3", "\r\nServer3's Port:", "Edit"},
    /* 174 */ {kServerTab, "Server5's Ip", "AT+IPAD4", "\r\nServer4's Ip:", "Edit"},
    /* 175 */ {kServerTab, "Server5's Port", "AT+PORT4", "\r\nServer4's Port:", "Edit"},
    /* 176 */ {kServerTab, "Wait Time Between Dial Failures", "AT+RDLWT", "\r\nWait Time Between Dial Failures:", "Edit"},
    /* 177 */ {kServerTab, "Link Fail Retry Times", "AT+RETRY", "\r\nLink Fail Retry Times:", "Edit"},
    /* 178 */ {kServerTab, "Should Return To Main Server", "AT+RETMAIN", "\r\nShould Return To Main Server:", "Combobox"},
    // Rows 179 to 187, page 2: tab "SerialTab".
    /* 179 */ {kSerialTab, "Serial Baudrate", "AT+IPR", "\r\nSerial Baudrate:", "Combobox"},
    /* 180 */ {kSerialTab, "Serial port commu mode", "AT+SERMODE", "\r\nSerial port commu mode:", "Combobox"},
    /* 181 */ {kSerialTab, "A serial port binding center", "AT+SERBINDCNT", "\r\nA serial port binding center:", "Combobox"},
    /* 182 */ {kSerialTab, "Serial 2 Baudrate", "AT+SETIPR2", "\r\nSerial 2 Baudrate:", "Combobox"},
    /* 183 */ {kSerialTab, "Serial 2 port commu mode", "AT+SERMODE2", "\r\nSerial 2 port commu mode:", "Combobox"},
    /* 184 */ {kSerialTab, "A serial 2 port binding center", "AT+SERBINDCNT2", "\r\nA serial 2 port binding center:", "Combobox"},
    /* 185 */ {kSerialTab, "RS485 Baudrate", "AT+RS485IPR", "\r\nRS485 Baudrate:", "Combobox"},
    /* 186 */ {kSerialTab, "RS485 port commu mode", "AT+RS485SERMODE", "\r\nRS485 port commu mode:", "Combobox"},
    /* 187 */ {kSerialTab, "RS485 port binding center", "AT+RS485BINDCNT", "\r\nRS485 port binding center:", "Combobox"},
    // Rows 188 to 197, page 4: tab "WirelessTab".
    /* 188 */ {kWirelessTab, "Center call number", "AT+CENT", "\r\nCenter call number:", "Edit"},
    /* 189 */ {kWirelessTab, "Access Point Name", "AT+APN", "Access Point Name:", "Edit"},
    /* 190 */ {kWirelessTab, "User Id", "AT+USERNAME", "\r\nPPP Authentication User Id:", "Edit"},
    /* 191 */ {kWirelessTab, "Password", "AT+PASSWORD", "\r\nPPP Authentication Password:", "Edit"},
    /* 192 */ {kWirelessTab, "The PPP authentication", "AT+PAUTH", "\r\nThe PPP authentication:", "Combobox"},
    /* 193 */ {kWirelessTab, "net mode", "AT+NETMODE", "\r\nnet mode:", "Combobox"},
    /* 194 */ {kWirelessTab, "PPP Wait Time Between Dial Failures", "AT+PRDLWT", "\r\nPPP Wait Time Between Dial Failures:", "Edit"},
    /* 195 */ {kWirelessTab, "PPP Link Fail Retry Times", "AT+PRETRY", "\r\nPPP Link Fail Retry Times:", "Edit"},
    /* 196 */ {kWirelessTab, "Dns Server's Ip", "AT+DNSSVR", "\r\nDns Server's Ip:", "Edit"},
    /* 197 */ {kWirelessTab, "Second Dns Server's Ip", "AT+DNSSV2", "\r\nSecond Dns Server's Ip:", "Edit"},
    // Rows 198 to 212, page 5: tab "GlobalTab".
    /* 198 */ {kGlobalTab, "LCP ECHO", "AT+ECHOENABLE", "\r\nLCP ECHO:", "Combobox"},
    /* 199 */ {kGlobalTab, "Lcp echo interval", "AT+ECHOINT", "\r\nLcp echo interval:", "Edit"},
    /* 200 */ {kGlobalTab, "Lcp echo testing number", "AT+ECHOTESTNUM", "\r\nLcp echo testing number:", "Edit"},
    /* 201 */ {kGlobalTab, "EXFUN", "AT+EXFUN", "\r\nEXFUN:", "Combobox"},
    /* 202 */ {kGlobalTab, "ICMP Ip", "AT+ICMPIP", "\r\nICMP Ip:", "Edit"},
    /* 203 */ {kGlobalTab, "ICMP interval", "AT+ICMPINT", "\r\nICMP interval:", "Edit"},
    /* 204 */ {kGlobalTab, "ICMP testing number", "AT+ICMPTESTNUM", "\r\nICMP testing number:", "Edit"},
    /* 205 */ {kGlobalTab, "Sms Center", "AT+SMSC", "\r\nSms Center :", "Edit"},
    /* 206 */ {kGlobalTab, "Send group package waiting for", "AT+BYTEINT", "Bytes Finish Interval(ms):", "Edit"},
    /* 207 */ {kGlobalTab, "Max Tcp Frame Len", "AT+TCPMTU", "\r\nMax Tcp Frame Len:", "Edit"},
    /* 208 */ {kGlobalTab, "Resend wating", "AT+RESWAIT", "\r\nResend wating:", "Edit"},
    /* 209 */ {kGlobalTab, "Maximum retransmission times", "AT+MAXRESTIMES", "\r\nMaximum retransmission times:", "Edit"},
    /* 210 */ {kGlobalTab, "After a failed action", "AT+AFTFAIL", "\r\nAfter a failed action:", "Combobox"},
    /* 211 */ {kGlobalTab, "Waiting for the failure", "AT+WAITFAILURE", "\r\nWaiting for the failure:", "Edit"},
    /* 212 */ {kGlobalTab, "Heartbeat poll time seconds", "AT+POLLTIME", "\r\nHeartbeat poll time seconds:", "Edit"},
    // Rows 213 to 215, page 10: tab "ModbusTab".
    /* 213 */ {kModbusTab, "CollectInterval", "AT+MSBITV", "MSBITV:", "Edit"},
    /* 214 */ {kModbusTab, "CollectDelay", "AT+CLTTIMEOUT", "CLTTIMEOUT:", "Edit"},
    /* 215 */ {kModbusTab, "CollectCount", "AT+MBTRYCOUNT", "MBTRYCOUNT:", "Edit"},
}};

// On a five-DIO model the "DIO3" controls show the device's DIO4; otherwise its DIO3.
constexpr std::array<Dio3Binding, 15> kDio3Bindings{{
    // name, kind, five-DIO command, five-DIO label, three-DIO command, three-DIO label
    {"DIO3 workmode", "Combobox", "AT+DIOWORKMODE4", "DIO4 workmode:", "AT+DIOWORKMODE3", "DIO3 workmode:"},
    {"DIO3 SMS number", "Edit", "AT+DIOSMSNO4", "DIO4 SMS number:", "AT+DIOSMSNO3", "DIO3 SMS number:"},
    {"DIO3 high level information", "Edit", "AT+DIOHIGHINFO4", "DIO4 high level information:", "AT+DIOHIGHINFO3", "DIO3 high level information:"},
    {"DIO3 low level information", "Edit", "AT+DIOLOWINFO4", "DIO4 low level information:", "AT+DIOLOWINFO3", "DIO3 low level information:"},
    {"DIO3 upper threshold", "Edit", "AT+DIOADCUPTHR4", "DIO4 upper threshold:", "AT+DIOADCUPTHR3", "DIO3 upper threshold:"},
    {"DIO3 lower threshold", "Edit", "AT+DIOADCLOWTHR4", "DIO4 lower threshold:", "AT+DIOADCLOWTHR3", "DIO3 lower threshold:"},
    {"DIO3 and mapping center", "Combobox", "AT+DIOMAPC4", "DIO4 and mapping center:", "AT+DIOMAPC3", "DIO3 and mapping center:"},
    {"DIO3 reported methods", "Combobox", "AT+DIOREPMETHOD4", "DIO4 reported methods:", "AT+DIOREPMETHOD3", "DIO3 reported methods:"},
    {"DIO3 query command", "Edit", "AT+DIOQUERYCMD4", "DIO4 query command:", "AT+DIOQUERYCMD3", "DIO3 query command:"},
    {"DIO3 reported times", "Edit", "AT+DIOREPTIMES4", "DIO4 reported times:", "AT+DIOREPTIMES3", "DIO3 reported times:"},
    {"A DIO3 data format", "Combobox", "AT+DIODATAFMT4", "The DIO4 data format:", "AT+DIODATAFMT3", "The DIO3 data format:"},
    {"DIO3 protocol", "Combobox", "AT+DIOPRO4", "DIO4 protocol:", "AT+DIOPRO3", "DIO3 protocol:"},
    {"DIO3 interface", "Combobox", "AT+DIOINTFACE4", "DIO4 interface:", "AT+DIOINTFACE3", "DIO3 interface:"},
    {"DIO3 output control result", "Edit", "AT+DIOOUTPUTRSP4", "DIO4 output control result:", "AT+DIOOUTPUTRSP3", "DIO3 output control result:"},
    {"DIO3 ADCType", "Combobox", "AT+DIOADCTYPE4", "DIO4 adc type:", "AT+DIOADCTYPE3", "DIO3 adc type:"},
}};
// clang-format on

}  // namespace

std::span<const CatalogueRow> CatalogueRows() {
  return kCatalogueRows;
}

std::span<const Dio3Binding> Dio3Bindings() {
  return kDio3Bindings;
}
