"""The work-mode, server and serial pages.

Row and group names are those the visibility rules switch; group heights are the ones the
rules set for the device's factory settings (work mode DCTCP, one server with a backup,
activation AUTO, debug off), so the form looks settled before the first read.
"""

from fields import C, E
from nodes import Node, column, empty_cell, group, hint, label, page, page_columns, row, rows, side_by_side
from nodes import titled_group, cell
from texts import (ASCII_HEX, BAUD_RATES, BINDING, LINE_CODES, MAPPING, NO_YES, OFF_ON,
                   SERIAL_PORTS, TCP_UDP, WORK_MODES, language_text)

HIDDEN = "false"


def work_mode_group():
    modes = WORK_MODES + [language_text("Protocolmodel", "Text")]
    about = ("PROT: device protocol · DCUDP/DCTCP: data centre over UDP/TCP · TRNS: transparent"
             " · SMSCLI/SMSSER: SMS client/server · HTTP · MTCP/MRTU: Modbus gateway · MQTT",
             "PROT：设备协议 · DCUDP/DCTCP：UDP/TCP 数据中心 · TRNS：透明传输"
             " · SMSCLI/SMSSER：短信客户端/服务端 · HTTP · MTCP/MRTU：Modbus 网关 · MQTT")
    phones = [row(E(f"sms Phone{i} No", (f"SMS phone {i}", f"短信号码 {i}"),
                    ("Phone number the SMS data goes to", "短信数据发往的号码"), "phone"))
              for i in range(1, 6)]
    mqtt = [
        ("MQTT Client ID", ("Client ID", "客户端 ID"), ("MQTT client identifier", "MQTT 客户端标识"), "text64"),
        ("MQTT User Name", ("User name", "用户名"), ("MQTT user name", "MQTT 用户名"), "text64"),
        ("MQTT Password", ("Password", "密码"), ("MQTT password", "MQTT 密码"), "text64"),
        ("MQTT Receive Topic", ("Subscribe topic", "订阅主题"), ("Topic the device receives on", "设备接收数据的主题"), "text128"),
        ("MQTT Send Topic", ("Publish topic", "发布主题"), ("Topic the device sends to", "设备发送数据的主题"), "text128"),
        ("MQTT KEY", ("Product key", "产品密钥"), ("Product key of the platform", "平台的产品密钥"), "text64"),
        ("MQTT REPORPERIOD", ("Report period", "上报周期"), ("Time between reports", "两次上报的间隔"), "period"),
        ("MQTT BATCHREPORT", ("Batch size", "批量上报条数"), ("Messages sent in one report", "一次上报的消息条数"), "batch"),
    ]
    mqtt_rows = [row(E(n, cap, about_, dom)) for n, cap, about_, dom in mqtt]
    mqtt_rows.append(row(C("MQTT CACHEEANBLE", ("Cache when offline", "离线缓存"),
                           ("Keep data while the connection is down", "断线时缓存数据"), OFF_ON)))
    return group("ModeGroupBox", ("Work mode", "工作模式"), [
        row(C("Protocolmodel", ("Work mode", "工作模式"), about, modes)),
        rows("ModeHorizontalLayout1",
             row(E("PhoneNO.", ("Phone number", "本机号码"),
                   ("Phone number of the device's SIM card", "设备 SIM 卡的号码"), "phone"),
                 E("Modem'sID number", ("Device ID", "设备 ID"),
                   ("Identifies the device to the centre", "向中心标识本设备"), "text32",
                   cell_name="ModeHorizontalLayout1.1", visible=HIDDEN)),
             row(C("Deliver Recved Tcp Data Directly", ("Pass TCP data through", "TCP 数据直接转发"),
                   ("Deliver received TCP data to the serial port unchanged",
                    "收到的 TCP 数据原样送到串口"), NO_YES),
                 name="ModeHorizontalLayout1.2", visible=HIDDEN)),
        rows("ModeLayout1.1", *phones, visible=HIDDEN),
        rows("ModeLayout1.2",
             row(C("Show Phone NO", ("Show sender number", "显示来电号码"),
                   ("Put the sender's number before the SMS data", "在短信数据前加上发送方号码"), NO_YES),
                 C("Encode Hex SMS", ("Encode SMS as HEX", "短信 HEX 编码"),
                   ("Encode received SMS text as hexadecimal", "把收到的短信编码为十六进制"), NO_YES)),
             row(C("Send Hex SMS", ("Send SMS as HEX", "HEX 格式发送短信"),
                   ("Serial data is sent as hexadecimal SMS text", "串口数据以十六进制短信发送"), NO_YES)),
             visible=HIDDEN),
        row(C("DeviceModel", ("Device role", "设备角色"),
              ("Client: the device connects to the centre; server: it listens",
               "客户端：设备连接中心；服务器：设备监听"),
              [("Client (CLI)", "客户端（CLI）"), ("Server (SVR)", "服务器（SVR）")]),
            C("Transferprotocol", ("Transfer protocol", "传输协议"),
              ("Protocol of the data connection", "数据连接的协议"), TCP_UDP),
            name="ModeHorizontalLayout2", visible=HIDDEN),
        row(C("RegistrationAndHeart", ("Register and heartbeat", "注册包与心跳包"),
              ("Send custom register and heartbeat packets", "发送自定义注册包和心跳包"), OFF_ON,
              cell_name="ModeHorizontalLayout4"),
            E("ListenPort", ("Listen port", "监听端口"),
              ("Port the device listens on as a server", "设备作为服务器监听的端口"), "port",
              cell_name="ModeHorizontalLayout5", visible=HIDDEN),
            empty_cell("ModeHorizontalLayout6"),
            name="ModeHorizontalLayout3", visible=HIDDEN),
        row(C("RegisterbHex", ("Packet format", "注册/心跳包格式"),
              ("Whether the packets below are written as text or as hexadecimal",
               "下面的数据包按文本还是十六进制填写"), ASCII_HEX),
            name="ModeHorizontalLayout7", visible=HIDDEN),
        rows("ModeHorizontalLayout8",
             row(E("RegisterInfo", ("Register packet", "注册包"),
                   ("Sent after connecting", "连接后发送"), "text64"),
                 E("RegistrationReplyInfo", ("Register reply", "注册应答"),
                   ("The centre's answer to the register packet", "中心对注册包的应答"), "text64")),
             row(E("HeartbeatPacket", ("Heartbeat packet", "心跳包"),
                   ("Sent to keep the connection", "保持连接时发送"), "text64"),
                 E("HeartbeatPacketReplyInfo", ("Heartbeat reply", "心跳应答"),
                   ("The centre's answer to the heartbeat", "中心对心跳包的应答"), "text64")),
             visible=HIDDEN),
        row(C("HTTP Request Mode", ("HTTP request", "HTTP 请求方式"),
              ("How the device sends data to the web server", "设备向网页服务器发送数据的方式"),
              ["GET", "POST"]), name="HttpLayout", visible=HIDDEN),
        rows("MQTTLayout", *mqtt_rows, visible=HIDDEN),
    ], height=85)


def _sms_activation_row():
    line = row(E("SMSActivationNO.", ("SMS activation number", "短信激活号码"),
                 ("SMS from this number bring the connection up", "此号码的短信激活连接"), "phone",
                 cell_name="ActivateHorizontalLayout8", visible=HIDDEN),
               empty_cell("ActivateHorizontalLayout1.2", visible=None),
               name="ActivateHorizontalLayout1", visible=HIDDEN, fixed=False)
    # The rules also show this row for activation by call, with a card one row high; then its
    # only cell is hidden and the row takes no room.
    line.children[0].attrs["height"] = 25
    return line


def activation_group():
    io_use = [("Normal I/O", "普通 I/O"), ("Activation input", "激活输入"),
              ("Control output", "控制输出")]
    control_about = ("The centre that switches this line as an output; None: not an output",
                     "控制此输出口的中心；None：不作输出")
    return group("ActivateGroupBox", ("Activation", "激活方式"), [
        row(C("ActivateMethod", ("Activation", "激活方式"),
              ("What brings the data connection up", "数据连接的激活方式"),
              [("Always online (AUTO)", "永久在线（AUTO）"), ("By SMS (SMSD)", "短信激活（SMSD）"),
               ("By call (CTRL)", "电话激活（CTRL）"), ("By serial data (DATA)", "串口数据激活（DATA）"),
               ("Mixed (MIXD)", "混合激活（MIXD）"), ("By I/O line (DIO)", "I/O 激活（DIO）")]),
            E("ActivationPhoneNO.", ("Control phone", "控制号码"),
              ("Calls from this number bring the connection up", "此号码来电时激活连接"), "phone",
              cell_name="ActivateHorizontalLayout7", visible=HIDDEN)),
        _sms_activation_row(),
        row(E("On-line data", ("Go-online data", "上线数据"),
              ("Serial data that brings the connection up", "使连接上线的串口数据"), "text32"),
            E("Offline data", ("Go-offline data", "下线数据"),
              ("Serial data that takes the connection down", "使连接下线的串口数据"), "text32"),
            name="ActivateHorizontalLayout2", visible=HIDDEN),
        row(C("ActivationInterface", ("Activation port", "激活串口"),
              ("Serial port watched for the activation data", "监视激活数据的串口"), SERIAL_PORTS),
            C("DataFormat", ("Data format", "数据格式"),
              ("Format of the activation data", "激活数据的格式"), ASCII_HEX),
            name="ActivateHorizontalLayout3", visible=HIDDEN),
        row(C("IOactivationmethods", ("I/O activation", "I/O 激活方式"),
              ("An input line activates, or the centre switches the output lines",
               "由输入口激活，或由中心控制输出口"),
              [("Input line activates", "输入口激活"), ("Centre switches outputs", "中心控制输出口")]),
            name="ActivateHorizontalLayout4", visible=HIDDEN),
        row(C("I/O selection", ("Activation input", "激活输入口"),
              ("The input line that activates the connection", "激活连接的输入口"),
              ["DIO1", "DIO2", "DIO3"]), name="ActivateHorizontalLayout5", visible=HIDDEN),
        row(C("I/O1 control", ("DIO1 output", "DIO1 输出控制"), control_about, MAPPING),
            C("I/O2 control", ("DIO2 output", "DIO2 输出控制"), control_about, MAPPING),
            name="ActivateHorizontalLayout6", visible=HIDDEN),
        row(C("I/O3 control", ("DIO3 output", "DIO3 输出控制"), control_about, MAPPING,
              cell_name="ActivateHorizontalLayout6.1.1", visible=HIDDEN),
            E("Sms Daemon Password", ("SMS password", "短信密码"),
              ("Password the activation SMS must carry", "激活短信须带的密码"), "text16",
              cell_name="ActivateHorizontalLayout6.1.2"),
            name="ActivateHorizontalLayout6.1", visible=HIDDEN),
        row(C("I/O1 Mode", ("DIO1 use", "DIO1 用途"), ("Use of the first I/O line", "第一个 I/O 口的用途"), io_use),
            C("I/O2 Mode", ("DIO2 use", "DIO2 用途"), ("Use of the second I/O line", "第二个 I/O 口的用途"), io_use),
            name="ActivateHorizontalLayout9", visible=HIDDEN),
    ], height=60)


def work_page():
    debug = group("DebugGroupBox", ("Debugging", "调试"), [
        row(C("Debug Level", ("Debug level", "调试级别"),
              ("How much the device reports on its debug port", "设备在调试口输出的信息量"),
              [("Off", "关闭"), ("Errors", "错误"), ("Information", "信息"), ("Everything", "全部")]),
            C("Debugging  port", ("Debug output port", "调试输出串口"),
              ("Serial port the debug output goes to", "调试信息输出的串口"), SERIAL_PORTS,
              cell_name="DebugHorizontalLayout1", visible=HIDDEN)),
        row(C("Clear Serial Buffer", ("Clear serial buffer", "清空串口缓存"),
              ("Drop buffered serial data when the connection is lost", "连接断开时丢弃缓存的串口数据"),
              NO_YES)),
    ])
    return page_columns("WorkModePage", [work_mode_group()], [activation_group(), debug])


def server_row(index, caption, ip_name, port_name, visible=None, caption_name=None):
    head = label(caption, name=caption_name)
    ip = E(ip_name, caption, ("Address of the data centre", "数据中心的地址"), "host")
    ip.children[0] = head
    return row(ip, E(port_name, ("Port", "端口"), ("Port of the data centre", "数据中心的端口"),
                     "port0"), name=f"ServiceHorizontalLayout{index}", visible=visible)


def server_page():
    centres = [server_row(i, (f"Centre {i}", f"中心 {i}"), f"Server{i}'s Ip",
                          f"Server{i}'s Port", HIDDEN) for i in range(2, 6)]
    servers = titled_group("ServiceGroupBox", "ServerTitle",
                           language_text("ModeTabItemChange", "ServerTitle1"), [
        row(C("Server Count", ("Number of servers", "服务器数量"),
              ("1: one centre with a backup server; 2 to 5: that many centres; 0: none (GPS devices)",
               "1：一个中心加备用服务器；2～5：多个中心；0：不连中心（GPS 设备）"),
              ["0", "1", "2", "3", "4", "5"])),
        server_row(0, language_text("ModeTabItemChange", "Server's Label1"), "Server's Ip",
                   "Server's Port", caption_name="Server's Label"),
        server_row(1, ("Backup server", "备用服务器"), "Secondary Server's Ip",
                   "Secondary Server's Port"),
    ] + centres, height=110)
    reconnect = group("ServiceGroupBox2", ("Reconnection", "重新连接"), [
        row(E("Wait Time Between Dial Failures", ("Wait after failure", "连接失败等待"),
              ("Pause before connecting again", "再次连接前的等待时间"), "seconds")),
        row(E("Link Fail Retry Times", ("Connection retries", "连接重试次数"),
              ("Attempts before the device gives up", "放弃前的尝试次数"), "count")),
        row(C("Should Return To Main Server", ("Return to main server", "回切主服务器"),
              ("Go back to the main server once it answers again", "主服务器恢复后切回"), NO_YES),
            name="ServiceHorizontalLayout6"),
    ], height=110)
    return page_columns("ServerPage", [servers], [reconnect])


def serial_group(name, title, baud, mode, binding, binding_row):
    lw, fw = 84, 124
    fields = [
        row(C(baud, ("Baud rate", "波特率"), ("Bit/s", "bit/s"), BAUD_RATES, label_w=lw, field_w=fw)),
        row(C(mode, ("Data format", "数据格式"), ("Data bits, parity, stop bits", "数据位、校验位、停止位"),
              LINE_CODES, label_w=lw, field_w=fw)),
        row(C(binding, ("Centre", "绑定中心"), ("Data centre this port exchanges data with",
                                                "与此串口交换数据的中心"), BINDING,
              label_w=lw, field_w=fw), name=binding_row),
    ]
    return fields


def serial_page():
    first = titled_group("serialGroupbox", "RS232-1", "RS232-1", serial_group(
        "", "", "Serial Baudrate", "Serial port commu mode", "A serial port binding center",
        "bindingCenterGroupBox"), height=110)
    second = group("serial2Groupbox", "RS232-2", serial_group(
        "", "", "Serial 2 Baudrate", "Serial 2 port commu mode", "A serial 2 port binding center",
        "bindingCenterGroupBox2"), height=110)
    third = group("serial3Groupbox", "RS485", serial_group(
        "", "", "RS485 Baudrate", "RS485 port commu mode", "RS485 port binding center",
        "bindingCenterGroupBox3"), height=110)
    return page("SerialPage", [side_by_side(column(first), column(second), column(third))])
