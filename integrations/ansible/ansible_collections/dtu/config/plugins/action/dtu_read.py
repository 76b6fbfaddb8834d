# The controller's half of dtu_read: the module reads the devices on the managed host and, with
# `dest`, returns each configuration file's bytes; this writes them on the controller as
# DEST/INVENTORY_HOSTNAME/PORTNAME.cfg, the way fetch lays files out.
from __future__ import absolute_import, division, print_function

__metaclass__ = type

import base64
import os

from ansible.errors import AnsibleActionFail
from ansible.module_utils.common.text.converters import to_bytes, to_text
from ansible.plugins.action import ActionBase


def _safe_name(name):
    # The names come from the managed host: a name that would leave the folder is refused.
    if not name or name in (".", "..") or "/" in name or "\0" in name:
        raise AnsibleActionFail("dtu_read: the managed host named a file %r" % name)
    return name


class ActionModule(ActionBase):
    TRANSFERS_FILES = False
    _VALID_ARGS = frozenset(
        ("ports", "dest", "return_content", "baud", "line", "executable"))

    def run(self, tmp=None, task_vars=None):
        result = super(ActionModule, self).run(tmp, task_vars)
        del tmp
        module_args = dict(self._task.args)
        dest = module_args.pop("dest", None)
        if dest:
            module_args["return_content"] = True
        module_result = self._execute_module(
            module_name="dtu.config.dtu_read", module_args=module_args, task_vars=task_vars)
        result.update(module_result)
        if not dest or result.get("failed"):
            return result

        host = (task_vars or {}).get("inventory_hostname", "localhost")
        folder = os.path.join(os.path.expanduser(to_text(dest)), _safe_name(host))
        saved = []
        changed = False
        for device in result.get("devices", []):
            content = device.pop("content", None)
            if content is None:
                continue
            data = base64.b64decode(content)
            path = os.path.join(folder, _safe_name(device.get("file", "")))
            saved.append(path)
            try:
                with open(to_bytes(path), "rb") as handle:
                    if handle.read() == data:
                        continue
            except (IOError, OSError):
                pass
            changed = True
            if self._play_context.check_mode:
                continue
            try:
                if not os.path.isdir(folder):
                    os.makedirs(folder)
                partial = path + ".part"
                with open(to_bytes(partial), "wb") as handle:
                    handle.write(data)
                os.rename(partial, path)
            except (IOError, OSError) as error:
                raise AnsibleActionFail("dtu_read: cannot write %s: %s" % (path, error))
        result["files"] = saved
        result["changed"] = changed
        return result
