"""The Modbus page with the sensor list, the sensor item row, and the operation page."""

from fields import E
from nodes import Node, group, hint, label, page, page_columns, row

# Column widths shared by the list's header and its item rows.
COLUMNS = [
    ("SensorCfg_Channel", ("No.", "序号"), 30),
    ("SensorCfg_DeviceSwitch", ("Switch", "开关"), 56),
    ("SensorCfg_DeviceAddress", ("Address", "地址"), 62),
    ("SensorCfg_FunctionCode", ("Function", "功能码"), 192),
    ("SensorCfg_RegisterAddress", ("Register", "寄存器"), 62),
    ("SensorCfg_RegisterCount", ("Count", "数量"), 48),
    ("SensorCfg_DataType", ("Type", "类型"), 48),
    ("SensorCfg_NumberOfDecimalPoints", ("Decimals", "小数位"), 66),
    ("SensorCfg_BindSerialPort", ("Port", "串口"), 88),
    ("SensorCfg_DataName", ("Data name", "数据名称"), None),
    ("SensorCfg_DataChg", ("Change", "变化量"), 58),
]
LIST_SPACING = 4
LIST_PADDING = "4,0,4,0"

FUNCTION_CODES = [
    "–", ("01 Read coils", "01 读线圈"), ("02 Read discrete inputs", "02 读离散输入"),
    ("03 Read holding registers", "03 读保持寄存器"), ("04 Read input registers", "04 读输入寄存器"),
    ("05 Write single coil", "05 写单个线圈"), ("06 Write single register", "06 写单个寄存器"),
    ("07 Read exception status", "07 读异常状态"), ("08 Diagnostics", "08 诊断"), "09", "10",
    ("11 Event counter", "11 通信事件计数"), ("12 Event log", "12 通信事件记录"), "13", "14",
    ("15 Write multiple coils", "15 写多个线圈"), ("16 Write multiple registers", "16 写多个寄存器"),
]
TIPS = {
    "SensorCfg_DeviceSwitch": ("Whether the device polls this item", "设备是否采集此项"),
    "SensorCfg_DeviceAddress": ("Modbus address of the sensor, 0 to 247", "传感器的 Modbus 地址，0～247"),
    "SensorCfg_FunctionCode": ("Modbus function code of the request", "请求的 Modbus 功能码"),
    "SensorCfg_RegisterAddress": ("First register, 0 to 65535", "起始寄存器，0～65535"),
    "SensorCfg_RegisterCount": ("Number of registers, 0 to 125", "寄存器数量，0～125"),
    "SensorCfg_DataType": ("Data type code of the device, 0 to 15 (see the device manual)",
                           "设备的数据类型代码，0～15（见设备手册）"),
    "SensorCfg_NumberOfDecimalPoints": ("Decimal places of the value, 0 to 6", "数值的小数位数，0～6"),
    "SensorCfg_BindSerialPort": ("Serial port the sensor is wired to", "传感器所接的串口"),
    "SensorCfg_DataName": ("Name the value is reported under, at most 32 bytes, no comma",
                           "上报数值时使用的名称，最多 32 字节，不能含逗号"),
    "SensorCfg_DataChg": ("Change setting of the item, 0 to 65535", "此项的变化量设置，0～65535"),
}
ITEMS = {
    "SensorCfg_DeviceSwitch": [("Off", "关"), ("On", "开")],
    "SensorCfg_FunctionCode": FUNCTION_CODES,
    "SensorCfg_DataType": [str(t) for t in range(16)],
    "SensorCfg_BindSerialPort": ["0", ("1 RS232", "1 RS232"), ("2 Serial 2", "2 串口 2"),
                                 ("3 RS485", "3 RS485")],
}


def _sized(attrs, width):
    # The data name takes what is left, up to what a name of 32 bytes needs.
    attrs.update({"width": width} if width else {"minwidth": 76, "maxwidth": 280, "stretch": 1})
    return attrs


def sensor_item():
    """One item of "CustomList"; the field order is the order of the item line."""
    fields = []
    for name, _, width in COLUMNS:
        if name == "SensorCfg_Channel":
            fields.append(label("1", width=width, name=name, align="center"))
            continue
        attrs = _sized({"name": name, "tooltip": TIPS[name]}, width)
        if name in ITEMS:
            attrs["dropheight"] = 320
            fields.append(Node("Combo", attrs, [Node("item", {"text": t}) for t in ITEMS[name]]))
        else:
            fields.append(Node("Edit", attrs))
    return Node("HorizontalLayout", {"name": "SensorItem", "class": "listrow", "height": 30,
                                     "spacing": LIST_SPACING, "padding": LIST_PADDING}, fields)


def modbus_page():
    collect = group("CollectGroupBox", ("Collection", "采集设置"), [
        row(E("CollectInterval", ("Poll interval", "采集间隔"), ("Time between two polls of the sensors", "两次采集的间隔"), "interval"),
            E("CollectDelay", ("Reply timeout", "响应超时"), ("How long the device waits for a sensor", "等待传感器应答的时间"), "timeout")),
        row(E("CollectCount", ("Retries", "重试次数"), ("Requests repeated when a sensor does not answer", "传感器无应答时的重试次数"), "trycount")),
    ])
    head = [Node("Label", _sized({"name": f"SensorHead{i}", "class": "columnhead", "text": text},
                                 width)) for i, (_, text, width) in enumerate(COLUMNS)]
    sensors = group("SensorGroupBox", ("Sensor items", "传感器采集项"), [
        hint(("One line per item the device polls; items switched off are not written.",
              "每行是设备采集的一项；关闭的项不会写入设备。")),
        Node("HorizontalLayout", {"name": "SensorHeader", "class": "listhead", "height": 26,
                                  "spacing": LIST_SPACING, "padding": LIST_PADDING}, head),
        Node("List", {"name": "CustomList", "itemfile": "CustomListItem.xml", "itemcount": 16,
                      "minheight": 200, "stretch": 1, "spacing": 0}),
    ])
    sensors.children.pop()  # the list takes the room, not a stretch
    sensors.attrs["stretch"] = 1
    built = page("ModbusPage", [collect, sensors])
    built.children.pop()
    return built


def command_row(name, caption, about):
    return Node("HorizontalLayout", {"class": "row", "height": 34, "spacing": 12}, [
        Node("Button", {"name": name, "text": caption, "width": 170, "height": 28}),
        hint(about), Node("Stretch")])


def operation_page():
    queries = group("QueryGroupBox", ("Device queries", "设备查询"), [
        command_row("CPIN", ("SIM card state", "SIM 卡状态"),
                    ("Asks whether the SIM card is ready (At+CPIN?)", "查询 SIM 卡是否就绪（At+CPIN?）")),
        command_row("CSQ", ("Signal quality", "信号强度"),
                    ("Asks for the signal quality: 0 to 31, higher is better (At+CSQ)",
                     "查询信号强度：0～31，越大越好（At+CSQ）")),
        command_row("GetVer", ("Firmware version", "固件版本"),
                    ("Asks for the firmware version (At+VER)", "查询固件版本（At+VER）")),
        command_row("READFILELOG", ("Device log", "设备日志"),
                    ("Reads the device's log file into the log pane (at+READFILELOG)",
                     "把设备日志读到通信记录中（at+READFILELOG）")),
        command_row("SetTime", ("Set device clock", "同步设备时间"),
                    ("Sets the device clock to this computer's time (AT+EXCCLK)",
                     "把设备时钟设为本机时间（AT+EXCCLK）")),
    ])
    commands = group("ATGroupBox", ("AT commands", "AT 指令"), [
        command_row("AT+LIST", ("Command list", "指令列表"),
                    ("Sends AT+LIST: the device lists its setting commands",
                     "发送 AT+LIST：设备列出其设置指令")),
        command_row("AT+FINDNETMODE", ("Network in use", "当前网络"),
                    ("Sends AT+FINDNETMODE: the network the device uses now",
                     "发送 AT+FINDNETMODE：设备当前使用的网络")),
        hint(("The answers appear in the communication log.", "应答显示在通信记录中。")),
    ])
    return page_columns("OperationPage", [queries], [commands])
