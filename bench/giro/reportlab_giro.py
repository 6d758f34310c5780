#!/usr/bin/python3
"""The invoice page of bench_giro drawn with ReportLab, for comparison in one run.

Each invoice is one A4 page in its own PDF file: the company and customer blocks, the invoice details,
seven columns of ten item rows and three totals, a note, and the payment slip's boxes and fields, with
subsets of Liberation Sans, Liberation Sans Bold and Liberation Mono embedded (as the program does).

    reportlab_giro.py [invoices per round = 1000] [rounds = 5] [output folder]
"""
import os
import statistics
import sys
import tempfile
import time

from reportlab.lib.pagesizes import A4
from reportlab.lib.units import mm
from reportlab.pdfbase import pdfmetrics
from reportlab.pdfbase.ttfonts import TTFont
from reportlab.pdfgen import canvas

FONTS = "/usr/share/fonts/truetype/liberation"
pdfmetrics.registerFont(TTFont("Sans", os.path.join(FONTS, "LiberationSans-Regular.ttf")))
pdfmetrics.registerFont(TTFont("SansBold", os.path.join(FONTS, "LiberationSans-Bold.ttf")))
pdfmetrics.registerFont(TTFont("Mono", os.path.join(FONTS, "LiberationMono-Regular.ttf")))

COLUMNS = [("Varenr.", 50, "l"), ("Beskrivelse.", 290, "l"), ("Antall", 50, "r"), ("Pris", 60, "r"),
           ("Rabatt", 50, "r"), ("MVA", 30, "r"), ("Netto", 80, "r")]


def text(c, x, y, s, font="Sans", size=10, align="l", width=0):
    """Text at x, y mm from the top-left corner (baseline), left or right aligned in a column."""
    c.setFont(font, size)
    top = A4[1] - y * mm
    if align == "r":
        c.drawRightString((x + width) * mm, top, s)
    else:
        c.drawString(x * mm, top, s)


def invoice(path, n):
    c = canvas.Canvas(path, pagesize=A4, pageCompression=1)
    c.setTitle("Faktura %d" % (20260000 + n))
    for i, line in enumerate(["Fjordbyrå AS", "Storgata 1", "0155 Oslo"]):
        text(c, 20, 20 + 5 * i, line, "SansBold" if i == 0 else "Sans", 12 if i == 0 else 10)
    for i, (label, value) in enumerate([("Org.nr.", "987 654 321 MVA"), ("Telefon", "22 33 44 55"),
                                        ("Bank", "1234.56.78903")]):
        text(c, 120, 20 + 5 * i, label)
        text(c, 145, 20 + 5 * i, value)
    for i, line in enumerate(["Kari Nordmann", "Veien %d" % (n % 200), "5003 Bergen"]):
        text(c, 20, 50 + 5 * i, line)
    details = [("Kundenr", str(1000 + n % 97)), ("Fakturanr", str(20260000 + n)),
               ("Fakturadato", "01.12.2026"), ("Forfallsdato", "15.12.2026")]
    for i, (label, value) in enumerate(details):
        text(c, 120, 50 + 5 * i, label)
        text(c, 145, 50 + 5 * i, value)
    text(c, 20, 78, "FAKTURA", "SansBold", 14)
    y = 90
    x = 20
    for caption, width, align in COLUMNS:
        text(c, x, y, caption, "SansBold", 9, align, width * 0.28)
        x += width * 0.28
    c.line(20 * mm, A4[1] - (y + 1.5) * mm, 190 * mm, A4[1] - (y + 1.5) * mm)
    rows = [["V%d" % (100 + line), "Konsulenttime nivå %d" % line, str(line), "950,00", "", "25%",
             "{:,}".format(950 * line).replace(",", " ") + ",00"] for line in range(1, 11)]
    rows += [[""] * 7]
    rows += [["", "", "", "", "", label, value] for label, value in
             [("Nettosalg:", "52 250,00"), ("MVA:", "13 062,50"), ("Total:", "65 312,50")]]
    for row in rows:
        y += 5
        x = 20
        for (caption, width, align), value in zip(COLUMNS, row):
            if value:
                text(c, x, y, value, "Sans", 9, align, width * 0.28)
            x += width * 0.28
    text(c, 20, 165, "Takk for handelen.", "Sans", 9)
    # The payment slip: its frames and fields.
    c.setLineWidth(0.5)
    for left, top, width, height in [(0, 173.53, 210, 123.47), (10, 190, 90, 30), (110, 190, 90, 30),
                                     (10, 230, 90, 30), (110, 230, 90, 30), (77.26, 266, 23.81, 8),
                                     (101.07, 266, 10, 8), (120, 266, 50, 8)]:
        c.rect(left * mm, A4[1] - (top + height) * mm, width * mm, height * mm)
    text(c, 12, 195, "Kundenr:   %d" % (1000 + n % 97), "Mono", 10)
    text(c, 12, 200, "Fakturanr: %d" % (20260000 + n), "Mono", 10)
    text(c, 112, 195, "Kari Nordmann", "Sans", 10)
    text(c, 12, 235, "Fjordbyrå AS", "Sans", 10)
    text(c, 77.26, 271.2, "{:,}".format(1234 + n).replace(",", " "), "Mono", 10, "r", 23.81)
    text(c, 102, 271.2, "50", "Mono", 10)
    text(c, 122, 271.2, "1234.56.78903", "Mono", 10)
    text(c, 12, 271.2, str(2026000000 + n), "Mono", 10)
    text(c, 150, 180, "15.12.2026", "Sans", 10)
    c.showPage()
    c.save()


def main():
    count = int(sys.argv[1]) if len(sys.argv) > 1 else 1000
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    with tempfile.TemporaryDirectory() as temp:
        folder = sys.argv[3] if len(sys.argv) > 3 else temp
        os.makedirs(folder, exist_ok=True)
        invoice(os.path.join(folder, "warmup.pdf"), 0)
        times = []
        size = 0
        for _ in range(rounds):
            start = time.perf_counter()
            size = 0
            for n in range(count):
                path = os.path.join(folder, "giro-%d.pdf" % n)
                invoice(path, n)
                size += os.path.getsize(path)
            times.append((time.perf_counter() - start) * 1000 / count)
    print("reportlab invoices: %d per round, %d rounds, ten lines each, fonts embedded" % (count, rounds))
    print("  ms per invoice (median): %.3f" % statistics.median(times))
    print("  ms per invoice (best):   %.3f" % min(times))
    print("  file size: %.1f KiB average" % (size / 1024 / count))


if __name__ == "__main__":
    main()
