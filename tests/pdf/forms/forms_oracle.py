"""Checks for the form commands against outside readers (qpdf, poppler).

  forms_oracle.py agree FORMS_TXT QPDF_JSON      folian forms and qpdf's acroform agree
  forms_oracle.py value QPDF_JSON NAME VALUE     qpdf reads VALUE as NAME's value
  forms_oracle.py inside BBOX_HTML WORD FORMS_TXT NAME   pdftotext -bbox puts WORD in NAME's rectangle
  forms_oracle.py drawn BEFORE.pgm AFTER.pgm FORMS_TXT NAME DPI   the render changed inside NAME's rectangle
Exits 1 with a message when a check fails."""
import json
import re
import sys


def fail(message):
    print(message)
    sys.exit(1)


def forms_lines(path):
    fields = {}
    for line in open(path, encoding="latin-1").read().splitlines():
        name, ftype, value, flags, page, rect = line.split("\t")
        value = re.sub(r"\\(.)", lambda m: {"t": "\t", "n": "\n", "r": "\r"}.get(m.group(1), m.group(1)), value)
        fields[name] = dict(type=ftype, value=value, flags=int(flags), page=int(page),
                            rect=[float(v) for v in rect.split()])
    return fields


def qpdf_fields(path):
    data = json.load(open(path))
    out = {}
    for f in data["acroform"]["fields"]:
        value = f["value"]
        if isinstance(value, str):
            value = value[2:] if value.startswith("u:") else value.lstrip("/")
        out[f["fullname"]] = dict(type=f["fieldtype"].lstrip("/"), value=value or "", page=f["pageposfrom1"])
    return out


def agree(forms_txt, qpdf_json):
    ours, theirs = forms_lines(forms_txt), qpdf_fields(qpdf_json)
    if sorted(ours) != sorted(theirs):
        fail("names differ: %s vs %s" % (sorted(ours), sorted(theirs)))
    for name, q in theirs.items():
        o = ours[name]
        for key in ("type", "value", "page"):
            if str(o[key]) != str(q[key]):
                fail("%s: %s %r vs qpdf %r" % (name, key, o[key], q[key]))


def value(qpdf_json, name, expected):
    got = qpdf_fields(qpdf_json).get(name, {}).get("value")
    if got != expected:
        fail("%s: qpdf reads %r, expected %r" % (name, got, expected))


def inside(bbox_html, word, forms_txt, name):
    rect = forms_lines(forms_txt)[name]["rect"]
    html = open(bbox_html, encoding="utf-8").read()
    height = float(re.search(r'<page width="[\d.]+" height="([\d.]+)"', html).group(1))
    for m in re.finditer(r'<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>', html):
        if m.group(5) != word:
            continue
        x0, y0, x1, y1 = (float(v) for v in m.groups()[:4])
        bottom, top = height - y1, height - y0
        if rect[0] - 1 <= x0 and x1 <= rect[2] + 1 and rect[1] - 1 <= bottom and top <= rect[3] + 1:
            return
        fail("%s at [%g %g %g %g], outside %s" % (word, x0, bottom, x1, top, rect))
    fail("%s not found on the page" % word)


def read_pgm(path):
    data = open(path, "rb").read()
    parts = data.split(maxsplit=4)
    width, height = int(parts[1]), int(parts[2])
    return width, height, parts[4][-width * height:]


def drawn(before, after, forms_txt, name, dpi):
    rect = forms_lines(forms_txt)[name]["rect"]
    w, h, a = read_pgm(before)
    _, _, b = read_pgm(after)
    scale = float(dpi) / 72
    page_height = h / scale
    changed = 0
    for y in range(int((page_height - rect[3]) * scale), int((page_height - rect[1]) * scale)):
        for x in range(int(rect[0] * scale), int(rect[2] * scale)):
            if 0 <= x < w and 0 <= y < h and a[y * w + x] != b[y * w + x]:
                changed += 1
    if changed < 5:
        fail("the render inside %s did not change (%d pixels)" % (name, changed))


if __name__ == "__main__":
    {"agree": agree, "value": value, "inside": inside, "drawn": drawn}[sys.argv[1]](*sys.argv[2:])
