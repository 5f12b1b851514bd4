"""Writes a two-page AcroForm with reportlab: text fields, a multi-line field and
check boxes, for the form tests. Usage: make_form.py OUT"""
import sys

from reportlab.lib.colors import black, white
from reportlab.pdfgen import canvas


def main(out):
    c = canvas.Canvas(out, pagesize=(612, 792))
    form = c.acroForm
    c.drawString(72, 740, "Applicant")
    form.textfield(name="applicant", tooltip="Applicant name", x=72, y=700, width=250, height=20,
                   value="Ada Lovelace", borderColor=black, fillColor=white, fontName="Helvetica", fontSize=12)
    form.textfield(name="notes", x=72, y=560, width=300, height=100, value="first line",
                   fieldFlags="multiline", borderColor=black, fillColor=white, fontName="Helvetica", fontSize=11)
    form.checkbox(name="agree", x=72, y=500, size=16, checked=False, buttonStyle="check")
    c.showPage()
    c.drawString(72, 740, "Second page")
    form.textfield(name="number", x=72, y=700, width=120, height=20, value="EP1033882",
                   borderColor=black, fillColor=white, fontName="Courier", fontSize=10)
    form.checkbox(name="urgent", x=72, y=650, size=16, checked=True, buttonStyle="cross")
    c.showPage()
    c.save()


if __name__ == "__main__":
    main(sys.argv[1])
