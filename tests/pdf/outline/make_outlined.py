#!/usr/bin/python3
"""Writes a PDF with an outline, internal links and named destinations.

usage: make_outlined.py OUT.pdf PAGES TAG

Page i shows "TAG page i". Every page is a named destination "TAGpI" (in the
/Names /Dests name tree), has a bookmark "TAG chapter I" (even pages nested
below the odd page before them, odd ones at the top level), and page 1 carries
two links: one to the last page by an explicit destination, one to page 2 by
the name "TAGp2".
"""
import sys

from reportlab.pdfbase import pdfdoc
from reportlab.pdfgen import canvas

out, pages, tag = sys.argv[1], int(sys.argv[2]), sys.argv[3]
c = canvas.Canvas(out)
c.setTitle("%s document" % tag)
for i in range(1, pages + 1):
    c.drawString(72, 720, "%s page %d" % (tag, i))
    key = "%sp%d" % (tag, i)
    c.bookmarkPage(key)
    c.addOutlineEntry("%s chapter %d" % (tag, i), key, level=0 if i % 2 else 1, closed=(i == 1))
    if i == 1:
        c.linkRect("", "%sp%d" % (tag, pages), (72, 600, 200, 620))
        c._addAnnotation(pdfdoc.PDFDictionary({
            "Type": pdfdoc.PDFName("Annot"), "Subtype": pdfdoc.PDFName("Link"),
            "Rect": pdfdoc.PDFArray([72, 500, 200, 520]), "Border": pdfdoc.PDFArray([0, 0, 1]),
            "Dest": pdfdoc.PDFString("%sp2" % tag)}))
    c.showPage()
names = []
for i in range(1, pages + 1):
    key = "%sp%d" % (tag, i)
    names += [pdfdoc.PDFString(key), c._doc.getDestination(key) if hasattr(c._doc, "getDestination")
              else c._destinations[key]]
c._doc.Catalog.Names = pdfdoc.PDFDictionary({"Dests": pdfdoc.PDFDictionary({"Names": pdfdoc.PDFArray(names)})})
c.save()
