#!/usr/bin/env python3
"""Writes the large and hostile inputs of the large-input benchmark.

  make_inputs.py catalog N OUT   a catalog with N extra keys, one page
  make_inputs.py flat N OUT      a flat pages tree of N pages under one node
  make_inputs.py escapes N OUT   one page; the /Title holds N octal escapes
Each file has a correct cross-reference table, so every reader opens it directly.
"""
import sys


def write_pdf(path, objects, info=None):
    out = bytearray(b"%PDF-1.4\n")
    offsets = []
    for number, body in enumerate(objects, start=1):
        offsets.append(len(out))
        out += b"%d 0 obj\n" % number + body + b"\nendobj\n"
    xref = len(out)
    out += b"xref\n0 %d\n0000000000 65535 f \n" % (len(objects) + 1)
    for offset in offsets:
        out += b"%010d 00000 n \n" % offset
    trailer = b"/Size %d /Root 1 0 R" % (len(objects) + 1)
    if info:
        trailer += b" /Info %d 0 R" % info
    out += b"trailer\n<< " + trailer + b" >>\nstartxref\n%d\n%%%%EOF\n" % xref
    with open(path, "wb") as f:
        f.write(out)


CONTENT = b"<< /Length 18 >>\nstream\n0 0 m 100 100 l S\nendstream"


def catalog(n, path):
    keys = b" ".join(b"/Key%d %d" % (i, i) for i in range(n))
    write_pdf(path, [
        b"<< /Type /Catalog /Pages 2 0 R " + keys + b" >>",
        b"<< /Type /Pages /Kids [3 0 R] /Count 1 /MediaBox [0 0 612 792] >>",
        b"<< /Type /Page /Parent 2 0 R /Contents 4 0 R >>",
        CONTENT,
    ])


def flat(n, path):
    kids = b" ".join(b"%d 0 R" % (4 + i) for i in range(n))
    objects = [
        b"<< /Type /Catalog /Pages 2 0 R >>",
        b"<< /Type /Pages /Kids [" + kids + b"] /Count %d /MediaBox [0 0 612 792] >>" % n,
        CONTENT,
    ]
    objects += [b"<< /Type /Page /Parent 2 0 R /Contents 3 0 R >>"] * n
    write_pdf(path, objects)


def escapes(n, path):
    title = b"(" + b"\\101" * n + b")"
    write_pdf(path, [
        b"<< /Type /Catalog /Pages 2 0 R >>",
        b"<< /Type /Pages /Kids [3 0 R] /Count 1 /MediaBox [0 0 612 792] >>",
        b"<< /Type /Page /Parent 2 0 R /Contents 4 0 R >>",
        CONTENT,
        b"<< /Title " + title + b" >>",
    ], info=5)


if __name__ == "__main__":
    kind, count, target = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    {"catalog": catalog, "flat": flat, "escapes": escapes}[kind](count, target)
