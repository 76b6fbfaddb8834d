#!/usr/bin/python
# Reads the DTUs on a host's serial ports with `dtu-config read --json` and returns their
# configurations as facts.
from __future__ import absolute_import, division, print_function

__metaclass__ = type

DOCUMENTATION = r"""
---
module: dtu_read
short_description: Read the configuration of DTUs on serial ports as facts
version_added: "1.0.0"
description:
  - Runs C(dtu-config read --json) on the managed host; each device is logged in, read with
    C(AT+SHOW) and sent back to its data mode (C(at+quit)). All devices of the host are read at
    once. Nothing is written to a device.
  - Sets the fact C(dtu_devices), per port the device's type, firmware and configuration (label
    -> value, as the device shows them) and its sensor items.
  - With I(dest) the configuration files are saved on the controller, as
    C(DEST/INVENTORY_HOSTNAME/PORTNAME.cfg) (C(/dev/ttyUSB0) -> C(ttyUSB0.cfg)), byte for byte as
    the device sent them, like M(ansible.builtin.fetch) does. The module reads on the managed
    host into a temporary folder and returns the files' bytes; the collection's action plugin of
    the same name writes them on the controller (only when they differ, and not in check mode).
  - The task fails when any device cannot be read, naming each one and why.
options:
  ports:
    description:
      - The serial devices. An entry with glob characters (C(/dev/serial/by-id/usb-*)) stands
        for every device it matches on the managed host; one that matches nothing fails the
        task before anything is sent.
    type: list
    elements: str
    required: true
  dest:
    description:
      - A folder on the controller for the configuration files, one subfolder per host.
        Handled by the action plugin; the module itself never sees it.
    type: path
  return_content:
    description:
      - Returns each device's configuration file, base64-encoded, in C(content). The action
        plugin sets it when I(dest) is given.
    type: bool
    default: false
  baud:
    description: The baud rate (dtu-config's default is 115200).
    type: int
  line:
    description: The line code (dtu-config's default is C(8N1)).
    type: str
  executable:
    description: The dtu-config program, a name looked up on PATH or a path.
    type: str
    default: dtu-config
notes:
  - Supports check mode; the devices are read in it too (a read writes nothing), but no file is
    saved on the controller.
  - Values that are not UTF-8 (GB 18030 text a Chinese Windows tool left) are given readable in
    C(configuration) and as their exact bytes in hexadecimal in C(configurationBytes).
seealso:
  - module: dtu.config.dtu_apply
author:
  - dtu-config developers
"""

EXAMPLES = r"""
- name: Read every DTU of the bench
  dtu.config.dtu_read:
    ports:
      - /dev/serial/by-id/usb-*
    dest: saved-configurations/

- name: Show each device's APN
  ansible.builtin.debug:
    msg: "{{ item.key }}: {{ item.value.configuration['Access Point Name'] }}"
  loop: "{{ dtu_devices | dict2items }}"
"""

RETURN = r"""
ansible_facts:
  description: The facts set.
  returned: success
  type: complex
  contains:
    dtu_devices:
      description:
        - Per port, C(deviceType), C(version), C(fiveDioModel), C(configuration) (label -> value),
          C(configurationBytes) (label -> hexadecimal bytes, for values that are not UTF-8) and
          C(sensorItems) (a list of C(label), C(value)).
      type: dict
      sample:
        /dev/ttyUSB0:
          deviceType: ZR350
          version: Zr350V1.8.6
          fiveDioModel: false
          configuration: {"Access Point Name": "internet", "Server's Port": "9100"}
          configurationBytes: {}
          sensorItems: [{"label": "GENSENSORINFO 0:", "value": "0,0,0,0,0,0,0,0,0,0"}]
devices:
  description:
    - One report per device, as C(dtu-config read --json) prints it
      (docs/schema/read.schema.json in the dtu-config sources), with C(content) when
      I(return_content) is set.
  returned: always
  type: list
  elements: dict
files:
  description: The files saved on the controller (with I(dest)).
  returned: when dest is given
  type: list
  elements: str
ports:
  description: The ports after expanding the globs.
  returned: always
  type: list
  elements: str
"""

import base64
import os
import shutil
import tempfile

from ansible.module_utils.basic import AnsibleModule

from ansible_collections.dtu.config.plugins.module_utils.dtu_config import (
    expand_ports,
    failure_message,
    line_options,
    run_json,
)

FACT_KEYS = ("deviceType", "version", "fiveDioModel", "configuration", "configurationBytes",
             "sensorItems")


def main():
    module = AnsibleModule(
        argument_spec=dict(
            ports=dict(type="list", elements="str", required=True),
            dest=dict(type="path"),
            return_content=dict(type="bool", default=False),
            baud=dict(type="int"),
            line=dict(type="str"),
            executable=dict(type="str", default="dtu-config"),
        ),
        supports_check_mode=True,
    )
    params = module.params
    ports, unmatched = expand_ports(params["ports"])
    if unmatched:
        module.fail_json(msg="no port matches %s; nothing was read" % ", ".join(unmatched),
                         ports=ports)
    if not ports:
        module.fail_json(msg="no ports given", ports=ports)

    args = []
    for port in ports:
        args += ["--port", port]
    args += line_options(params)
    folder = None
    try:
        if params["return_content"]:
            folder = tempfile.mkdtemp(prefix="dtu_read.")
            # A folder: each device's file is named after its port, never two devices in one.
            args += ["-o", folder + "/"]
        rc, reports, stderr, argv = run_json(module, "read", args)
        for report in reports:
            if folder and report.get("file"):
                with open(report["file"], "rb") as handle:
                    report["content"] = base64.b64encode(handle.read()).decode("ascii")
                report["file"] = os.path.basename(report["file"])
    finally:
        if folder:
            shutil.rmtree(folder, ignore_errors=True)

    result = dict(changed=False, devices=reports, ports=ports, cmd=argv)
    if rc != 0 or not reports:
        module.fail_json(msg=failure_message("read", rc, reports, stderr), rc=rc, stderr=stderr,
                         **result)
    facts = {}
    for report in reports:
        facts[report["port"]] = dict((key, report.get(key)) for key in FACT_KEYS)
    result["ansible_facts"] = dict(dtu_devices=facts)
    module.exit_json(**result)


if __name__ == "__main__":
    main()
