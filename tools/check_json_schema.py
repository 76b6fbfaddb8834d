#!/usr/bin/env python3
"""Checks dtu-config's --json output against its schema in docs/schema/.

    tools/check_json_schema.py docs/schema/apply.schema.json report.json
    dtu-config apply T.cfg --port P --json | tools/check_json_schema.py docs/schema/apply.schema.json -

The output is one JSON document (show, diff) or one JSON object per line (read, apply, set);
both are taken. Exit status: 0 when every object validates, 1 when one does not (each error is
printed with where it is), 2 when the schema or the output cannot be read or parsed.
Needs python3-jsonschema (Debian 12: 4.10, draft 2020-12).
"""
import json
import sys

try:
    import jsonschema
except ImportError:
    print("check_json_schema: python3-jsonschema is not installed "
          "(apt-get install python3-jsonschema)", file=sys.stderr)
    sys.exit(2)


def documents(text):
    """The JSON documents of `text`: one indented document, or one per line."""
    text = text.strip()
    if not text:
        raise ValueError("the output is empty")
    try:
        return [json.loads(text)]
    except json.JSONDecodeError:
        pass
    found = []
    for number, line in enumerate(text.splitlines(), 1):
        if not line.strip():
            continue
        try:
            found.append(json.loads(line))
        except json.JSONDecodeError as error:
            raise ValueError(f"line {number} is no JSON: {error}") from None
    return found


def main(argv):
    if len(argv) != 3:
        print("usage: check_json_schema.py SCHEMA OUTPUT|-", file=sys.stderr)
        return 2
    try:
        with open(argv[1], encoding="utf-8") as handle:
            schema = json.load(handle)
        jsonschema.Draft202012Validator.check_schema(schema)
        if argv[2] == "-":
            text = sys.stdin.read()
        else:
            with open(argv[2], encoding="utf-8") as handle:
                text = handle.read()
        objects = documents(text)
    except (OSError, ValueError, jsonschema.SchemaError) as error:
        print(f"check_json_schema: {error}", file=sys.stderr)
        return 2
    validator = jsonschema.Draft202012Validator(schema)
    failed = 0
    for index, obj in enumerate(objects, 1):
        for error in sorted(validator.iter_errors(obj), key=lambda e: list(e.absolute_path)):
            where = "/".join(str(part) for part in error.absolute_path) or "(top)"
            print(f"{argv[2]}: object {index}: {where}: {error.message}", file=sys.stderr)
            failed += 1
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
