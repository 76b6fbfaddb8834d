# What the dtu.config modules share: finding the ports, running dtu-config and reading its JSON.
from __future__ import absolute_import, division, print_function

__metaclass__ = type

import glob
import json

# The "schema" of each command's --json output that these modules understand
# (docs/schema/ in the dtu-config sources). A dtu-config that prints another one changed the
# meaning of a field: the modules refuse its output rather than guess.
SCHEMAS = {"read": 1, "apply": 1}

GLOB_CHARACTERS = ("*", "?", "[")


def expand_ports(patterns):
    """The ports `patterns` name on this host, each once, in the order given; a pattern with
    glob characters (/dev/serial/by-id/usb-*) stands for its matches in sorted order. Returns
    (ports, patterns that matched nothing)."""
    ports = []
    unmatched = []
    for pattern in patterns:
        if any(c in pattern for c in GLOB_CHARACTERS):
            matches = sorted(glob.glob(pattern))
            if not matches:
                unmatched.append(pattern)
            found = matches
        else:
            # A plain path goes as it is: a missing device is dtu-config's to report, by name.
            found = [pattern]
        for port in found:
            if port not in ports:
                ports.append(port)
    return ports, unmatched


def line_options(params):
    args = []
    if params.get("baud") is not None:
        args += ["--baud", str(params["baud"])]
    if params.get("line"):
        args += ["--line", params["line"]]
    return args


def run_json(module, command, args):
    """Runs `dtu-config COMMAND ARGS... --json` and returns (rc, reports, stderr, argv); fails
    the task when the output is no report of the expected schema."""
    executable = module.params["executable"]
    path = module.get_bin_path(executable, required=False) if "/" not in executable else executable
    if not path:
        module.fail_json(msg="%s not found on PATH (set the executable option)" % executable)
    argv = [path, command] + args + ["--json"]
    rc, out, err = module.run_command(argv)
    reports = []
    for number, line in enumerate(out.splitlines(), 1):
        if not line.strip():
            continue
        try:
            report = json.loads(line)
        except ValueError:
            module.fail_json(msg="dtu-config %s printed no JSON on line %d: %s"
                             % (command, number, line[:200]), rc=rc, stderr=err, cmd=argv)
        if report.get("schema") != SCHEMAS[command]:
            module.fail_json(
                msg="dtu-config %s prints schema %s of its JSON; this collection understands "
                    "schema %d: update the collection or dtu-config"
                    % (command, report.get("schema"), SCHEMAS[command]), rc=rc, cmd=argv)
        reports.append(report)
    return rc, reports, err, argv


def failure_message(command, rc, reports, stderr):
    """The task's message when dtu-config did not succeed: every failed device and why."""
    failed = [r for r in reports if not r.get("ok")]
    if failed:
        return "dtu-config %s failed on %d of %d devices: %s" % (
            command, len(failed), len(reports),
            "; ".join("%s: %s" % (r.get("port"), r.get("failure")) for r in failed))
    lines = [line for line in stderr.splitlines() if line.strip()]
    if rc == 2:
        reason = lines[-1] if lines else "the command line was refused"
        return "dtu-config %s refused the command line (nothing was sent): %s" % (command, reason)
    if rc > 128:
        return "dtu-config %s was interrupted by signal %d" % (command, rc - 128)
    return "dtu-config %s failed (exit status %d): %s" % (
        command, rc, lines[-1] if lines else "no message")
