"""The I/O page: one card per DIO line, its rows named "IOLayout" n ".1" ... ".7".

The card heights follow the line rules: the work-mode row alone is 60 pixels, each further
visible row 25. Lines 3 and 5 are the analogue-capable lines: their work-mode lists hold
only "not used" and the analogue input, and their ".7" rows hold the ADC type as well.
"""

from fields import C, E
from nodes import Node, group, page, page_columns, row, rows, titled_group
from texts import ASCII_HEX, INTERFACES, MAPPING, dio_work_modes, language_text

HIDDEN = "false"


def line_rows(n, analogue):
    d = f"DIO{n}"
    lay = f"IOLayout{n}"
    thresholds = row(
        E(f"{d} upper threshold", ("Upper threshold", "上限阈值"),
          ("Reported when the input rises above this", "输入高于此值时上报"), "adc"),
        E(f"{d} lower threshold", ("Lower threshold", "下限阈值"),
          ("Reported when the input falls below this", "输入低于此值时上报"), "adc"))
    if analogue:
        adc = row(C(f"{d} ADCType", ("Input type", "输入类型"),
                    ("Signal the analogue input measures", "模拟量输入的信号类型"),
                    [("Voltage 0-5 V", "电压 0-5 V"), ("Current 4-20 mA", "电流 4-20 mA")]))
        seventh = rows(f"{lay}.7", adc, thresholds, visible=HIDDEN)
    else:
        thresholds.attrs.update({"name": f"{lay}.7", "visible": HIDDEN})
        seventh = thresholds
    return [
        row(C(f"{d} workmode", ("Work mode", "工作模式"), ("Use of this line", "此 I/O 口的用途"),
              dio_work_modes(analogue)),
            C(f"{d} protocol", ("Report protocol", "上报协议"),
              ("Plain text, or Modbus framing", "文本或 Modbus 格式"),
              [("Plain text", "文本"), ("Modbus", "Modbus")], cell_name=f"{lay}.1",
              visible=HIDDEN)),
        row(C(f"{d} interface", ("Report via", "上报通道"),
              ("GPRS: data connection · SMS · GPRS&SMS: both · SERIAL: serial port",
               "GPRS：数据连接 · SMS：短信 · GPRS&SMS：两者 · SERIAL：串口"), INTERFACES),
            E(f"{d} SMS number", ("SMS number", "短信号码"),
              ("Phone number the reports go to", "接收上报的号码"), "phone",
              cell_name=f"{lay}.2.1", visible=HIDDEN),
            name=f"{lay}.2", visible=HIDDEN),
        row(C(f"{d} reported methods", ("Report when", "上报方式"),
              ("On change: at every level change · on query: when asked", "变化时上报或查询时上报"),
              [("On change", "变化时上报"), ("On query", "查询时上报")]),
            E(f"{d} reported times", ("Report count", "上报次数"),
              ("How often each change is reported", "每次变化上报的次数"), "tries",
              cell_name=f"{lay}.3.1", visible=HIDDEN),
            E(f"{d} query command", ("Query command", "查询指令"),
              ("Command the centre sends to ask for the state", "中心查询状态的指令"), "text32",
              cell_name=f"{lay}.3.2", visible=HIDDEN),
            name=f"{lay}.3", visible=HIDDEN),
        row(C(f"A {d} data format", ("Data format", "数据格式"),
              ("Format of the texts below; changing it empties them", "下列信息的格式；更改后需重新填写"),
              ASCII_HEX, cell_name=f"{lay}.4.1", visible=HIDDEN),
            E(f"{d} output control result", ("Output reply", "输出控制应答"),
              ("Answer after the centre switched the output", "中心控制输出后的应答"), "text64",
              cell_name=f"{lay}.4.2", visible=HIDDEN),
            name=f"{lay}.4", visible=HIDDEN),
        row(E(f"{d} high level information", ("High level text", "高电平信息"),
              ("Reported when the line goes high", "变为高电平时上报"), "text64"),
            E(f"{d} low level information", ("Low level text", "低电平信息"),
              ("Reported when the line goes low", "变为低电平时上报"), "text64"),
            name=f"{lay}.5", visible=HIDDEN),
        row(C(f"{d} and mapping center", ("Mapped centre", "映射中心"),
              ("Centre the line state is mapped to", "I/O 状态映射到的中心"), MAPPING),
            name=f"{lay}.6", visible=HIDDEN),
        seventh,
    ]


def io_page():
    general = group("IOGeneralGroupBox", ("Modbus", "Modbus"), [
        row(E("Mobus address", ("Modbus address", "Modbus 地址"),
              ("Address the device answers to when the lines report over Modbus",
               "I/O 口以 Modbus 上报时设备的地址"), "modbus")),
    ])
    # On a five-line device the "DIO4" controls show the device's third line and the "DIO3"
    # controls its fourth, so the card of the "DIO4" controls comes first.
    cards = [
        group("IO1GroupBox", "DIO1", line_rows(1, False), height=60),
        group("IO2GroupBox", "DIO2", line_rows(2, False), height=60),
        group("IO4GroupBox", "DIO3", line_rows(4, False), height=60, visible=HIDDEN),
        titled_group("IO3GroupBox", "ADC1", language_text("DIO Type", "ADC"),
                     line_rows(3, True), height=60),
        group("IO5GroupBox", ("DIO5 (ADC2)", "DIO5（模拟量 ADC2）"), line_rows(5, True), height=60,
              visible=HIDDEN),
    ]
    return page_columns("IOPage", [general], cards)
