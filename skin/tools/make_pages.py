#!/usr/bin/env python3
"""Writes the page files of both skins from one layout.

The layout and both languages' texts live in the modules beside this script; the page files
in skin/ConifgENRes and skin/ConifgRes are its output and are not edited by hand. Run it
after changing a page:  python3 skin/tools/make_pages.py
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from arrows import write_arrows  # noqa: E402
from nodes import EN, ZH, render  # noqa: E402
from pages_io import io_page  # noqa: E402
from pages_list import modbus_page, operation_page, sensor_item  # noqa: E402
from pages_more import (equipment_page, global_page, gps_page, lora_page,  # noqa: E402
                        wireless_page, zigbee_page)
from pages_work import serial_page, server_page, work_page  # noqa: E402
from texts import ROOT  # noqa: E402

PAGES = {
    "WorkTab.xml": work_page,
    "Service Centre.xml": server_page,
    "Serial port.xml": serial_page,
    "IOTab.xml": io_page,
    "Wireless.xml": wireless_page,
    "Global Parameter.xml": global_page,
    "Equipment Management.xml": equipment_page,
    "LoraTab.xml": lora_page,
    "ZigbeeTab.xml": zigbee_page,
    "GPSTab.xml": gps_page,
    "Custom.xml": modbus_page,
    "ComputerExamine.xml": operation_page,
    "CustomListItem.xml": sensor_item,
}
HEADER = ('<?xml version="1.0" encoding="UTF-8"?>\n'
          "<!-- Made by skin/tools/make_pages.py from one layout for both languages; "
          "edit there. -->\n")


def main():
    for folder, lang in (("ConifgENRes", EN), ("ConifgRes", ZH)):
        target = os.path.join(ROOT, "skin", folder)
        for file_name, build in PAGES.items():
            with open(os.path.join(target, file_name), "w", encoding="utf-8") as f:
                f.write(HEADER + render(build(), lang))
        write_arrows(os.path.join(target, "images"))


if __name__ == "__main__":
    main()
