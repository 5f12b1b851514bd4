#!/usr/bin/python3
"""Prints what another reader (qpdf --json) sees of a PDF's navigation.

usage: summarize.py FILE.pdf

Lines, in this order:
  outline: <indent><title> -> p<page>|none [open|closed]   (depth by two blanks)
  link p<page> [x1 y1 x2 y2] -> p<page> | uri <address> | file <name> p<page>
  name <name> -> p<page>
  dangling <object>     every reference to an object the file does not have
Pages are 1-based positions in the file; a target that is no page prints "p?".
"""
import json
import re
import subprocess
import sys

path = sys.argv[1]
raw = subprocess.run(["qpdf", "--json", "--json-key=pages", "--json-key=outlines", "--json-key=qpdf", path],
                     capture_output=True, text=True)
doc = json.loads(raw.stdout)
objects = doc["qpdf"][1]
pos = {p["object"]: p["pageposfrom1"] for p in doc["pages"]}


def value(ref):
    if isinstance(ref, str) and re.fullmatch(r"\d+ \d+ R", ref):
        return objects.get("obj:" + ref, {}).get("value")
    return ref


def text(v):
    v = value(v)
    if isinstance(v, str) and v[:2] in ("u:", "b:"):
        return v[2:]
    return v


def names():
    out = {}
    root = value(objects["trailer"]["value"].get("/Root"))
    old = value(root.get("/Dests"))
    if isinstance(old, dict):
        for key, dest in old.items():
            out[key[1:]] = dest
    tree = value(value(root.get("/Names") or {}).get("/Dests")) if root.get("/Names") else None
    pending, seen = ([tree] if tree else []), set()
    while pending:
        node = value(pending.pop())
        if not isinstance(node, dict):
            continue
        pairs = value(node.get("/Names")) or []
        for i in range(0, len(pairs) - 1, 2):
            out[text(pairs[i])] = pairs[i + 1]
        for kid in value(node.get("/Kids")) or []:
            if kid not in seen:
                seen.add(kid)
                pending.append(kid)
    return out


NAMES = names()


def page_of(dest):
    dest = value(dest)
    if isinstance(dest, dict):
        dest = value(dest.get("/D"))
    if isinstance(dest, str):
        key = dest[1:] if dest.startswith("/") else text(dest)
        return page_of(NAMES[key]) if key in NAMES else "p?"
    if isinstance(dest, list) and dest:
        return "p%s" % pos.get(dest[0], "?")
    return "p?"


def target(item):
    if "/Dest" in item:
        return page_of(item["/Dest"])
    action = value(item.get("/A"))
    if not isinstance(action, dict):
        return "none"
    kind = action.get("/S")
    if kind == "/URI":
        return "uri " + text(action["/URI"])
    if kind == "/GoTo":
        return page_of(action["/D"])
    if kind == "/GoToR":
        d = value(action["/D"])
        return "file %s p%s" % (text(action["/F"]), d[0] + 1 if isinstance(d, list) else text(d))
    if kind == "/Launch":
        return "launch " + text(action["/F"])
    return "none"


def outline(items, depth):
    for item in items:
        own = value(item["object"])
        state = ""
        if item["kids"]:
            state = " open" if item["open"] else " closed"
        print("outline: %s%s -> %s%s" % ("  " * depth, item["title"], target(own), state))
        outline(item["kids"], depth + 1)


outline(doc["outlines"], 0)
for page in doc["pages"]:
    annots = value(value(page["object"]).get("/Annots")) or []
    for annot in annots:
        a = value(annot)
        if a.get("/Subtype") != "/Link":
            continue
        rect = " ".join("%g" % float(x) for x in value(a["/Rect"]))
        print("link p%d [%s] -> %s" % (page["pageposfrom1"], rect, target(a)))
for key in sorted(NAMES):
    print("name %s -> %s" % (key, page_of(NAMES[key])))
refs = set(re.findall(r"(\d+ \d+ R)", json.dumps({k: v for k, v in objects.items()})))
for ref in sorted(refs):
    o = objects.get("obj:" + ref)
    if o is None or (o.get("value") is None and "stream" not in o):
        print("dangling " + ref)
