"""The network, global, management, module, Modbus and operation pages."""

from fields import ARROW_W, NODE_W, ROUTE_SPACING, C, E, arrow, arrow_pair, node_box, routing
from nodes import FIELD_W, LABEL_W, Node, cell, group, hint, label, page, page_columns, row, rows
from texts import ASCII_HEX, NO_YES, OFF_ON, TCP_UDP

HIDDEN = "false"


def wireless_page():
    network = group("NetworkGroupBox", ("Mobile network", "移动网络"), [
        row(E("Access Point Name", ("APN", "APN 接入点"), ("Access point of the mobile network", "移动网络的接入点名称"), "text64"),
            E("Center call number", ("Dial number", "拨号号码"), ("Number dialled for the data link", "建立数据链路的拨号号码"), "text32")),
        row(E("User Id", ("User name", "用户名"), ("PPP user name", "PPP 认证用户名"), "text64"),
            E("Password", ("Password", "密码"), ("PPP password", "PPP 认证密码"), "text64")),
        row(C("The PPP authentication", ("Authentication", "认证方式"),
              ("NONE, PAP or CHAP", "NONE、PAP 或 CHAP"), ["NONE", "PAP", "CHAP"]),
            C("net mode", ("Network mode", "网络制式"), ("Radio access the module uses", "模块使用的网络制式"),
              [("Automatic", "自动"), ("GSM only", "仅 GSM"), ("WCDMA only", "仅 WCDMA"), ("LTE only", "仅 LTE")])),
        row(cell(("Current network", "当前网络"),
                 Node("Edit", {"name": "FINDNETMODE", "readonly": "true", "width": FIELD_W,
                               "placeholder": ("Click to ask the device", "点击向设备查询"),
                               "tooltip": ("The network the device uses now; asked when this field gets the focus\nAT+FINDNETMODE",
                                           "设备当前使用的网络；点击此框时查询\nAT+FINDNETMODE")}))),
    ])
    dial = group("DialGroupBox", ("Dial-up", "拨号"), [
        row(E("PPP Wait Time Between Dial Failures", ("Wait after failure", "拨号失败等待"),
              ("Pause before dialling again", "再次拨号前的等待时间"), "seconds"),
            E("PPP Link Fail Retry Times", ("Dial retries", "拨号重试次数"),
              ("Attempts before the device restarts the modem", "重启模块前的拨号次数"), "count")),
    ])
    dns = group("DnsGroupBox", ("Name servers", "域名服务器"), [
        row(E("Dns Server's Ip", ("Primary DNS", "首选 DNS"), ("Name server", "域名服务器"), "ipv4"),
            E("Second Dns Server's Ip", ("Secondary DNS", "备用 DNS"), ("Used when the first does not answer", "首选服务器无应答时使用"), "ipv4")),
    ])
    return page_columns("WirelessPage", [network], [dial, dns])


def global_page():
    lcp = group("PPPGroupBox", ("Link check (LCP echo)", "链路检测（LCP）"), [
        row(C("LCP ECHO", ("LCP echo", "LCP 回显检测"), ("Check the PPP link with LCP echo requests", "用 LCP 回显检测 PPP 链路"), OFF_ON)),
        row(E("Lcp echo interval", ("Interval", "检测间隔"), ("Time between echo requests", "两次检测的间隔"), "interval"),
            E("Lcp echo testing number", ("Tries", "检测次数"), ("Unanswered requests before the link counts as lost", "无应答多少次后判定断线"), "tries"),
            name="GlobalHorizontalLayout1"),
    ], height=85)
    icmp = group("ICMPGroupBox", ("Link check (ICMP)", "链路检测（ICMP）"), [
        row(C("EXFUN", ("ICMP check", "ICMP 检测"), ("Check the link by pinging an address", "通过 ping 检测链路"),
              [("Off", "关闭"), ("ICMP link check", "ICMP 链路检测")])),
        rows("GlobalHorizontalLayout2",
             row(E("ICMP Ip", ("Ping address", "检测地址"), ("Address that is pinged", "被 ping 的地址"), "host")),
             row(E("ICMP interval", ("Interval", "检测间隔"), ("Time between pings", "两次 ping 的间隔"), "interval"),
                 E("ICMP testing number", ("Tries", "检测次数"), ("Unanswered pings before the link counts as lost", "无应答多少次后判定断线"), "tries")),
             visible=HIDDEN),
    ], height=60)
    transfer = group("TransferGroupBox", ("Data transfer", "数据传输"), [
        row(E("Send group package waiting for", ("Packing interval", "组包间隔"),
              ("Serial silence that ends a packet", "串口空闲多久后组成一包"), "ms"),
            E("Max Tcp Frame Len", ("Max TCP frame", "TCP 最大帧长"), ("Largest packet sent", "发送的最大数据包"), "mtu")),
        row(E("Resend wating", ("Resend wait", "重发等待"), ("Wait for an acknowledgement before resending", "重发前等待确认的时间"), "seconds"),
            E("Maximum retransmission times", ("Max resends", "最大重发次数"), ("Resends of one packet", "同一数据包的重发次数"), "count")),
        row(C("After a failed action", ("After failure", "失败后动作"), ("What the device does when sending failed", "发送失败后设备的动作"),
              [("Redial", "重新拨号"), ("Restart the device", "重启设备"), ("Stay offline", "保持离线")]),
            E("Waiting for the failure", ("Failure wait", "失败等待时间"), ("Pause before the action", "执行动作前的等待"), "seconds")),
        row(E("Heartbeat poll time seconds", ("Heartbeat poll", "心跳轮询时间"), ("Time between link heartbeats", "链路心跳的间隔"), "seconds"),
            E("Sms Center", ("SMS centre", "短信中心号码"), ("Service centre of the SIM's operator", "SIM 卡运营商的短信中心"), "phone")),
    ])
    return page_columns("GlobalPage", [lcp], [icmp, transfer])


def equipment_page():
    platform = group("DtumanageGroupBox", ("Management platform", "管理平台"), [
        row(C("dtu is connect to dtu manage platform", ("Connect to platform", "连接管理平台"),
              ("Report to the device management platform", "连接设备管理平台"), NO_YES)),
        rows("EquimentLayout1",
             row(E("Dtu manage id", ("Device number", "设备编号"), ("Number of the device on the platform", "设备在平台上的编号"), "text32"),
                 C("Dtumanagetransferprotocol", ("Protocol", "传输协议"), ("Protocol of the platform link", "平台连接的协议"), TCP_UDP)),
             row(E("dtu manage server's Ip", ("Platform address", "平台地址"), ("Address of the platform", "管理平台的地址"), "host"),
                 E("dtu manage server's Port", ("Platform port", "平台端口"), ("Port of the platform", "管理平台的端口"), "port0")),
             visible=HIDDEN),
    ], height=60)
    sms = group("DtumanageGroupBox1", ("Configuration by SMS", "短信配置"), [
        row(C("DTU SMS configure fun", ("Configure by SMS", "短信配置功能"), ("Accept configuration commands by SMS", "允许用短信配置设备"), OFF_ON)),
        rows("EquimentLayout2",
             row(E("DTU SMS configure password", ("SMS password", "短信配置密码"), ("Password the configuration SMS must carry", "配置短信须带的密码"), "text16")),
             row(E("DTU SMS administrator number", ("Administrator", "管理员号码"), ("Only SMS from this number are accepted", "只接受此号码的短信"), "phone")),
             visible=HIDDEN),
    ], height=60)
    return page_columns("EquipmentPage", [platform], [sms])


def route_group(name, title, diagram):
    return group(name, title, [diagram, hint(("The device has one routing setting, shown on the "
                                              "page of its module.",
                                              "设备只有一组数据通道设置，显示在其模块页上。"))])


def lora_page():
    device_type = cell(("Device type", "设备型号"),
                       label("", width=FIELD_W, name="Device Type", cls="value"))
    lora = group("LoraGroupBox", ("LoRa module", "LoRa 模块"), [
        row(device_type),
        row(E("LORA ID", ("Module ID", "模块 ID"), ("Address of this module", "本模块的地址"), "hex4")),
        row(C("LORA Rate", ("Air rate", "空中速率"),
              ("1: 0.3 · 2: 1.2 · 3: 2.4 · 4: 4.8 · 5: 9.6 · 6: 19.2 kbit/s",
               "1：0.3 · 2：1.2 · 3：2.4 · 4：4.8 · 5：9.6 · 6：19.2 kbit/s"),
              ["1", "2", "3", "4", "5", "6"])),
        row(C("LORA Mode", ("Transfer mode", "传输模式"),
              ("TRNS: transparent · FIXED: to a fixed address · BCAST: broadcast",
               "TRNS：透明传输 · FIXED：定点传输 · BCAST：广播"), ["TRNS", "FIXED", "BCAST"])),
        row(E("LORA TAddr", ("Target address", "目标地址"), ("Module the data goes to", "数据发往的模块"), "hex4"),
            name="LoraLayout"),
        row(E("LORA freq", ("Frequency", "工作频率"), ("Carrier frequency", "载波频率"), "lorafreq")),
        row(E("LORA Power", ("Transmit power", "发射功率"), ("Output power of the module", "模块的发射功率"), "lorapower"),
            name="LoraPower"),
        row(E("LORA pid", ("Network ID", "网络 ID"), ("Modules talk only within one network", "同一网络的模块才能通信"), "u16"),
            name="LoraPID"),
        row(C("LORA typ", ("Node type", "节点类型"), ("Role of the module", "模块的角色"),
              [("Node", "节点"), ("Gateway", "网关")]), name="LoraType", visible=HIDDEN),
        row(E("LORA ppt", ("PPT", "PPT 参数"), ("Module setting PPT", "模块参数 PPT"), "u16")),
    ], height=260)
    route = route_group("LoraRouteGroupBox", ("Data routing", "数据通道"),
                        routing("EL transmit channel", "LoRa", "COM2Lora", "Lora2COM",
                                "Lora2GPRS", "GPRS2Lora"))
    return page_columns("LoraPage", [lora], [route])


def zigbee_page():
    zigbee = group("ZigbeeGroupBox", ("ZigBee module", "ZigBee 模块"), [
        row(C("ZigBee_WorkMode", ("Work mode", "工作模式"), ("How the module sends", "模块的发送方式"),
              [("Transparent broadcast", "透明广播"), ("Point to point", "点对点"),
               ("Point to point with address", "带地址点对点")]),
            C("ZigBee_Type", ("Node type", "节点类型"), ("Role in the ZigBee network", "在 ZigBee 网络中的角色"),
              [("Coordinator", "协调器"), ("Router", "路由器"), ("End device", "终端设备")])),
        row(C("ZigBee_RFchannel", ("RF channel", "信道"), ("11: 2405 MHz … 26: 2480 MHz, 5 MHz apart",
                                                          "11：2405 MHz … 26：2480 MHz，间隔 5 MHz"),
              [str(c) for c in range(11, 27)]),
            E("ZigBee_NetworkID", ("Network ID (PAN)", "网络 ID（PAN）"), ("Modules talk only within one network", "同一网络的模块才能通信"), "hex4")),
        row(E("ZigBee_TransAddr", ("Target address", "目标地址"), ("Module the data goes to", "数据发往的模块"), "hex4")),
    ])
    route = route_group("ZigbeeRouteGroupBox", ("Data routing", "数据通道"),
                        routing("EL transmit channel_Z", "ZigBee", "COM2Zigbee", "Zigbee2COM",
                                "Zigbee2GPRS", "GPRS2Zigbee"))
    return page_columns("ZigbeePage", [zigbee], [route])


def gps_page():
    gps = group("GPSGroupBox", ("GPS reporting", "GPS 上报"), [
        row(E("GPS Server's Ip", ("Server address", "服务器地址"), ("Where positions are sent", "位置数据发往的服务器"), "host"),
            E("GPS Server's Port", ("Server port", "服务器端口"), ("Port of that server", "该服务器的端口"), "port0")),
        row(C("GPS Protocol", ("Protocol", "传输协议"), ("Protocol of the position reports", "位置上报的协议"), TCP_UDP),
            C("GPS work mode", ("Work mode", "工作模式"), ("When positions are reported", "何时上报位置"),
              [("Off", "关闭"), ("Timed reporting", "定时上报"), ("On request", "查询时上报")])),
        row(E("GPS euipment ID", ("Device ID", "设备 ID"), ("Identifies the device to the server", "向服务器标识本设备"), "text32"),
            E("GPS transmit interval", ("Report interval", "上报间隔"), ("Time between reports", "两次上报的间隔"), "interval")),
    ])
    sentences = [("GPS GPRMC", "$GPRMC"), ("GPS GPVTG", "$GPVTG"), ("GPS GPGGA", "$GPGGA"),
                 ("GPS GPGSA", "$GPGSA"), ("GPS GPGSV", "$GPGSV"), ("GPS GPGLL", "$GPGLL")]
    cells = [C(n, s, (f"Send {s} sentences", f"发送 {s} 语句"), OFF_ON) for n, s in sentences]
    nmea = group("NMEAGroupBox", ("NMEA sentences", "NMEA 语句"),
                 [row(cells[i], cells[i + 1]) for i in range(0, 6, 2)])
    on_off = ("\nClick to switch this direction on or off.", "\n点击开启或关闭此方向。")
    # The direct path passes under the GPS box: its boxes line up with the row above.
    span = 2 * ARROW_W + NODE_W + 2 * ROUTE_SPACING
    direct = Node("HorizontalLayout", {"spacing": ROUTE_SPACING, "height": 52}, [
        node_box(("Serial port", "串口")),
        arrow_pair(arrow("COM2GPRS", "right", ("Serial port → GPRS" + on_off[0],
                                               "串口 → GPRS" + on_off[1]), width=span),
                   arrow("GPRS2COM", "left", ("GPRS → serial port" + on_off[0],
                                              "GPRS → 串口" + on_off[1]), width=span),
                   width=span),
        node_box("GPRS"),
        Node("Stretch"),
    ])
    route = route_group("GPSRouteGroupBox", ("Data routing", "数据通道"),
                        routing("EL transmit channel_G", "GPS", "COM2GPS", "GPS2COM", "GPS2GPRS",
                                "GPRS2GPS", extra=[direct]))
    return page_columns("GPSPage", [gps, nmea], [route])
