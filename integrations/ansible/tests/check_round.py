#!/usr/bin/env python3
"""Checks one round of tests/ci.yml: what dtu_apply did on each host.

    check_round.py OUT_DIR changed|unchanged [--check-mode] HOST...

changed: every host's dtu_apply reported a change, and every device took (or, in check mode,
would take) at least one write; in check mode the diff names each device's writes with the
device's value before and the template's after. unchanged: no host reported a change and no
device was written. Exit status 0 when the round is as expected, 1 with the reasons otherwise.
"""
import json
import os
import sys


def check_host(path, expect_changed, check_mode):
    problems = []
    with open(path, encoding="utf-8") as handle:
        result = json.load(handle)
    if result["check_mode"] != check_mode:
        problems.append("ran with check mode %s" % result["check_mode"])
    if result["changed"] != expect_changed:
        problems.append("dtu_apply reported changed=%s" % result["changed"])
    for port, count in result["written"].items():
        if (count > 0) != expect_changed:
            problems.append("%s: %d writes" % (port, count))
    if not result["written"]:
        problems.append("no device was reported")
    if check_mode and expect_changed:
        diffs = result["diff"]
        if len(diffs) != len(result["written"]):
            problems.append("%d diffs for %d devices" % (len(diffs), len(result["written"])))
        for diff in diffs:
            if "Access Point Name: fleet.example" not in diff["after"]:
                problems.append("%s: the diff's after lacks the template's APN: %r"
                                % (diff["before_header"], diff["after"]))
            if "Access Point Name: fleet.example" in diff["before"]:
                problems.append("%s: the diff's before is the template" % diff["before_header"])
    for port, device in result["devices"].items():
        if not device["configuration"]:
            problems.append("%s: the facts hold no configuration" % port)
    return problems


def main(argv):
    if len(argv) < 4 or argv[2] not in ("changed", "unchanged"):
        print(__doc__, file=sys.stderr)
        return 2
    out_dir, expect = argv[1], argv[2] == "changed"
    rest = argv[3:]
    check_mode = "--check-mode" in rest
    hosts = [host for host in rest if host != "--check-mode"]
    failed = False
    for host in hosts:
        path = os.path.join(out_dir, host + ".json")
        try:
            problems = check_host(path, expect, check_mode)
        except (OSError, ValueError, KeyError) as error:
            problems = ["no usable result: %s" % error]
        for problem in problems:
            print("%s: %s" % (host, problem), file=sys.stderr)
            failed = True
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
