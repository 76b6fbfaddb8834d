#!/usr/bin/python
# Brings the DTUs on a host's serial ports to a configuration file with `dtu-config apply`.
from __future__ import absolute_import, division, print_function

__metaclass__ = type

DOCUMENTATION = r"""
---
module: dtu_apply
short_description: Bring DTUs on serial ports to the configuration of a file
version_added: "1.0.0"
description:
  - Runs C(dtu-config apply) on the managed host. Every device is logged in, read, backed up,
    given the writes in which it differs from the template, and read again to verify them; then
    it is sent back to its data mode (C(at+quit)). All devices of the host are worked on at once.
  - A device that already holds the template gets nothing written, so the task is idempotent.
  - In check mode the command runs with C(--dry-run), which sends the devices nothing but the
    login, C(AT+SHOW) and C(at+quit).
  - In diff mode each device's writes are shown as a before/after text, one line per parameter
    (a label, a colon, a value); before is the value the device reported, after the template's.
  - The task fails when any device fails, naming each failed device and why; the other devices
    are still configured.
  - Needs C(dtu-config) on the managed host (the Debian package, or a build with C(build/bin) on
    PATH). The user needs read and write access to the ports (on Debian the C(dialout) group).
options:
  template:
    description:
      - The configuration file (.cfg, as saved by dtu-config or the device's own tool) to apply,
        on the managed host. Copy it there first (M(ansible.builtin.copy)); its bytes are sent as
        they are, never re-encoded.
    type: path
    required: true
  ports:
    description:
      - The serial devices. An entry with glob characters (C(/dev/serial/by-id/usb-*)) stands
        for every device it matches on the managed host; one that matches nothing fails the
        task before anything is sent.
      - Not with I(per_device), whose table names the ports.
    type: list
    elements: str
  set:
    description:
      - Parameters to give other values than the template, by the label the device shows
        ("Server1's Ip"), by AT command (C(AT+PORT)) or by control name. Each becomes
        C(--set NAME=VALUE).
      - Values must be strings or integers; quote values that YAML would read otherwise
        (C("0100"), C("yes"), C("1.10")); a boolean, a decimal number or an empty value is
        refused rather than sent changed. Values are sent as UTF-8; bytes in another encoding
        belong in the template file.
    type: dict
    default: {}
  per_device:
    description:
      - A CSV file on the managed host with a header C(port,NAME,...) and one line per device,
        giving each device its own values (C(--per-device)); its first column names the ports.
        The values of I(set) apply to every device, the table's own columns override them.
    type: path
  baud:
    description: The baud rate (dtu-config's default is 115200).
    type: int
  line:
    description: The line code, data bits, parity and stop bits (dtu-config's default is C(8N1)).
    type: str
  backup_dir:
    description:
      - Where the configuration read from each device is kept before the first write (on the
        managed host). dtu-config's default is C(~/.local/state/dtu-config/backups).
    type: path
  executable:
    description: The dtu-config program, a name looked up on PATH or a path.
    type: str
    default: dtu-config
notes:
  - Supports check mode and diff mode.
  - The output of C(dtu-config apply --json) is a versioned contract (its C(schema) field); the
    module refuses a schema it does not know instead of guessing.
seealso:
  - module: dtu.config.dtu_read
author:
  - dtu-config developers
"""

EXAMPLES = r"""
- name: Copy the fleet's template to the host
  ansible.builtin.copy:
    src: files/fleet.cfg
    dest: /var/tmp/fleet.cfg
    mode: "0644"

- name: Every USB adapter's DTU takes the template, with this cabinet's server
  dtu.config.dtu_apply:
    template: /var/tmp/fleet.cfg
    ports:
      - /dev/serial/by-id/usb-*
    set:
      "Server's Ip": "{{ dtu_server_ip }}"
      "Server's Port": 9100
    baud: 115200

- name: Each device its own values, from a CSV on the host
  dtu.config.dtu_apply:
    template: /var/tmp/fleet.cfg
    per_device: /var/tmp/devices.csv
"""

RETURN = r"""
devices:
  description:
    - One report per device, as C(dtu-config apply --json) prints it (docs/schema/apply.schema.json
      in the dtu-config sources).
  returned: always
  type: list
  elements: dict
  sample:
    - port: /dev/ttyUSB0
      deviceType: ZR350
      version: Zr350V1.8.6
      ok: true
      failure: ""
      backup: /home/u/.local/state/dtu-config/backups/ttyUSB0__ZR350__20261211-015803.cfg
      writes:
        - name: Access Point Name
          label: Access Point Name
          command: AT+APN=internet
          before: cmnet
          value: internet
          verdict: accepted
          verified: true
      quit: accepted
written:
  description: Per port, how many writes the device accepted (would take, in check mode).
  returned: always
  type: dict
  sample: {"/dev/ttyUSB0": 2}
ports:
  description: The ports after expanding the globs.
  returned: always
  type: list
  elements: str
cmd:
  description: The command that ran.
  returned: always
  type: list
  elements: str
"""

from ansible.module_utils.basic import AnsibleModule
from ansible.module_utils.six import integer_types, string_types

from ansible_collections.dtu.config.plugins.module_utils.dtu_config import (
    expand_ports,
    failure_message,
    line_options,
    run_json,
)

# A write that may have reached the device: it changed something, or may have.
MAY_HAVE_WRITTEN = ("accepted", "timed out", "no verdict")


def set_arguments(module, values):
    args = []
    for name, value in values.items():
        if isinstance(value, bool) or not isinstance(value, string_types + integer_types):
            module.fail_json(
                msg="set: %s is given a %s (%r); quote the value as the device should get it"
                    % (name, type(value).__name__, value))
        text = str(value)
        if text == "" or "\n" in text or "\r" in text:
            module.fail_json(msg="set: %s: an empty value or one with a line break is not sent"
                             % name)
        args += ["--set", "%s=%s" % (name, text)]
    return args


def diff_of(report):
    before = []
    after = []
    for write in report.get("writes", []):
        label = write.get("label") or write.get("item") or write.get("name")
        # A sensor item's label ends with its own colon ("GENSENSORINFO 3:").
        shown = label + (" " if label.endswith(":") else ": ")
        before.append("%s%s\n" % (shown, write.get("before", "")))
        after.append("%s%s\n" % (shown, write.get("value", "")))
    return {
        "before_header": "%s (device)" % report.get("port"),
        "after_header": "%s (template)" % report.get("port"),
        "before": "".join(before),
        "after": "".join(after),
    }


def main():
    module = AnsibleModule(
        argument_spec=dict(
            template=dict(type="path", required=True),
            ports=dict(type="list", elements="str"),
            set=dict(type="dict", default={}),
            per_device=dict(type="path"),
            baud=dict(type="int"),
            line=dict(type="str"),
            backup_dir=dict(type="path"),
            executable=dict(type="str", default="dtu-config"),
        ),
        required_one_of=[("ports", "per_device")],
        mutually_exclusive=[("ports", "per_device")],
        supports_check_mode=True,
    )
    params = module.params
    ports, unmatched = expand_ports(params["ports"] or [])
    if unmatched:
        module.fail_json(msg="no port matches %s; nothing was sent" % ", ".join(unmatched),
                         ports=ports)
    if not ports and not params["per_device"]:
        module.fail_json(msg="no ports given; nothing was sent", ports=ports)

    args = [params["template"]]
    for port in ports:
        args += ["--port", port]
    args += set_arguments(module, params["set"])
    if params["per_device"]:
        args += ["--per-device", params["per_device"]]
    args += line_options(params)
    if params["backup_dir"]:
        args += ["--backup-dir", params["backup_dir"]]
    if module.check_mode:
        args.append("--dry-run")

    rc, reports, stderr, argv = run_json(module, "apply", args)
    counted = ("would write",) if module.check_mode else MAY_HAVE_WRITTEN
    written = {}
    for report in reports:
        written[report.get("port")] = sum(
            1 for write in report.get("writes", []) if write.get("verdict") in counted)
    result = dict(
        changed=any(written.values()),
        devices=reports,
        written=written,
        ports=ports,
        cmd=argv,
    )
    if module._diff:
        result["diff"] = [diff_of(report) for report in reports if report.get("writes")]
    if rc != 0 or not reports:
        module.fail_json(msg=failure_message("apply", rc, reports, stderr), rc=rc, stderr=stderr,
                         **result)
    module.exit_json(**result)


if __name__ == "__main__":
    main()
