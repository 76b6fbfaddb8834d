"""Texts shared by many fields: value ranges for the tool tips, and drop-down item lists.

The ranges are the device's (docs/device-parameters.md). Each tool tip ends with the AT
command that writes the field, read from the program's own catalogue table.
"""

import configparser
import os
import re

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))


def _catalogue_commands():
    text = open(os.path.join(ROOT, "src/catalogue/catalogue_rows.cpp"), encoding="utf-8").read()
    rows = re.findall(r'\{k\w+, "([^"]*)", "([^"]*)", "', text)
    return {name: command for name, command in rows}


COMMANDS = _catalogue_commands()


def language_text(section, key):
    """The same key of both language files, as a text pair."""
    pair = []
    for folder in ("ConifgENRes", "ConifgRes"):
        ini = configparser.ConfigParser(interpolation=None, delimiters=("=",))
        ini.optionxform = str
        ini.read(os.path.join(ROOT, "skin", folder, "Language.ini"), encoding="utf-8")
        pair.append(ini[section][key])
    return tuple(pair)


RANGES = {
    "seconds": ("Seconds, 0 to 65535", "秒，0～65535"),
    "ms": ("Milliseconds, 0 to 65535", "毫秒，0～65535"),
    "interval": ("Seconds, 1 to 65535", "秒，1～65535"),
    "count": ("0 to 255", "0～255"),
    "tries": ("1 to 255", "1～255"),
    "port": ("1 to 65535", "1～65535"),
    "port0": ("0 to 65535 (0: not used)", "0～65535（0 表示不使用）"),
    "text16": ("At most 16 bytes", "最多 16 字节"),
    "text32": ("At most 32 bytes", "最多 32 字节"),
    "text64": ("At most 64 bytes", "最多 64 字节"),
    "text128": ("At most 128 bytes", "最多 128 字节"),
    "host": ("IPv4 address or host name, at most 64 bytes (letters, digits, '.' and '-')",
             "IPv4 地址或域名，最多 64 字节（字母、数字、“.”和“-”）"),
    "ipv4": ("Dotted IPv4 address, such as 114.114.114.114",
             "点分 IPv4 地址，例如 114.114.114.114"),
    "phone": ("Digits with an optional leading +, at most 20", "数字，可带前导 +，最多 20 位"),
    "hex4": ("1 to 4 hexadecimal digits", "1～4 位十六进制数"),
    "adc": ("ADC counts, 0 to 4095", "ADC 采样值，0～4095"),
    "modbus": ("1 to 247", "1～247"),
    "mtu": ("Bytes, 1 to 1460", "字节，1～1460"),
    "period": ("Seconds, 1 to 86400", "秒，1～86400"),
    "batch": ("Messages, 1 to 100", "条，1～100"),
    "lorapower": ("dBm, 5 to 20", "dBm，5～20"),
    "lorafreq": ("MHz, 137 to 1020", "MHz，137～1020"),
    "u16": ("0 to 65535", "0～65535"),
    "timeout": ("Milliseconds, 10 to 65535", "毫秒，10～65535"),
    "trycount": ("0 to 10", "0～10"),
}


def tip(name, about, domain=None):
    """Tool tip of a field: what it is, its range, and its AT command."""
    parts_en, parts_zh = [about[0]], [about[1]]
    if domain:
        parts_en.append(RANGES[domain][0])
        parts_zh.append(RANGES[domain][1])
    command = COMMANDS.get(name)
    if command:
        parts_en.append(command)
        parts_zh.append(command)
    return ("\n".join(parts_en), "\n".join(parts_zh))


# Item lists whose position is the device's value.
OFF_ON = [("Off", "关闭"), ("On", "开启")]
NO_YES = [("No", "否"), ("Yes", "是")]
ASCII_HEX = ["ASCII", "HEX"]
SERIAL_PORTS = [("Serial port 1 (RS232)", "串口 1（RS232）"), ("Serial port 2", "串口 2"),
                ("RS485", "RS485")]
BINDING = [("No centre", "不绑定"), ("Centre 1", "中心 1"), ("Centre 2", "中心 2"),
           ("Centre 3", "中心 3"), ("Centre 4", "中心 4"), ("Centre 5", "中心 5"),
           ("All centres", "所有中心")]
# The I/O control lists end with "None" in both languages: the I/O tab rule counts the lists
# whose text is not exactly "None".
MAPPING = [("Centre 1", "中心 1"), ("Centre 2", "中心 2"), ("Centre 3", "中心 3"),
           ("Centre 4", "中心 4"), ("Centre 5", "中心 5"), ("All centres", "所有中心"), "None"]
# Lists whose item text is the device's value itself.
TCP_UDP = ["TCP", "UDP"]
BAUD_RATES = ["1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200"]
LINE_CODES = ["8N1", "8E1", "8O1", "8N2", "7E1", "7O1"]
WORK_MODES = ["PROT", "DCUDP", "DCTCP", "TRNS", "SMSCLI", "SMSSER", "HTTP", "MTCP/MRTU", "MQTT"]
# The SMS number row is shown for the fourth item, so SMS comes last.
INTERFACES = ["GPRS", "GPRS&SMS", "SERIAL", "SMS"]


def dio_work_modes(analogue_only):
    """The DIO work-mode items are the language file's texts (the rules match them)."""
    keys = ("Text1", "Text5") if analogue_only else ("Text1", "Text2", "Text3", "Text4", "Text5")
    return [language_text("DIO workmode", k) for k in keys]
