#!/usr/bin/env python3
"""Fill English translations into a Qt .ts file.

Reads tab-separated lines "context<TAB>source<TAB>translation" from the files
given after the .ts path (or standard input) and writes each translation into
the matching message, marking it finished. Escapes: \\n and \\t in fields.
Prints the messages that are still unfinished afterwards.
"""
import sys
import xml.etree.ElementTree as ET


def unescape(s):
    return s.replace("\\n", "\n").replace("\\t", "\t").replace("\\\\", "\\")


def main():
    if len(sys.argv) < 2:
        sys.exit("usage: ts_fill.py FILE.ts [TSV...]")
    ts_path = sys.argv[1]
    sources = sys.argv[2:]
    table = {}
    lines = []
    if sources:
        for path in sources:
            with open(path, encoding="utf-8") as f:
                lines.extend(f.read().splitlines())
    else:
        lines = sys.stdin.read().splitlines()
    for line in lines:
        if not line.strip() or line.startswith("#"):
            continue
        parts = line.split("\t")
        if len(parts) != 3:
            sys.exit("bad line (need 3 tab-separated fields): %r" % line)
        ctx, src, tr = (unescape(p) for p in parts)
        table[(ctx, src)] = tr

    tree = ET.parse(ts_path)
    root = tree.getroot()
    missing = []
    for ctx in root.findall("context"):
        name = ctx.findtext("name")
        for msg in ctx.findall("message"):
            src = msg.findtext("source")
            trel = msg.find("translation")
            if trel is None:
                trel = ET.SubElement(msg, "translation")
            key = (name, src)
            if key in table:
                trel.text = table[key]
                trel.attrib.pop("type", None)
            elif trel.get("type") == "unfinished":
                missing.append(key)
    ET.indent(tree, space="    ")
    with open(ts_path, "wb") as f:
        f.write(b'<?xml version="1.0" encoding="utf-8"?>\n<!DOCTYPE TS>\n')
        tree.write(f, encoding="utf-8", xml_declaration=False)
        f.write(b"\n")
    for ctx, src in missing:
        print("unfinished: %s\t%s" % (ctx, src.replace("\n", "\\n")))


if __name__ == "__main__":
    main()
