#!/usr/bin/env python3
"""csv_to_fods.py CSV FODS - lays a table Tamsel wrote (UTF-8 with a byte-order mark) out as a
flat OpenDocument spreadsheet, counts as numbers and the rest as text, as Excel or LibreOffice shows it after opening
the CSV: each column as wide as its longest text, the captions shaded, the grid and the column
and row headers printed. LibreOffice turns it into the guide's picture (table-pictures.sh)."""
import csv
import html
import sys
import unicodedata

HEAD = """<?xml version="1.0" encoding="UTF-8"?>
<office:document office:version="1.2"
 office:mimetype="application/vnd.oasis.opendocument.spreadsheet"
 xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"
 xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0">
<office:font-face-decls>
 <style:font-face style:name="Noto" svg:font-family="'Noto Sans CJK JP'"/>
</office:font-face-decls>
<office:styles>
 <style:default-style style:family="table-cell"><style:text-properties style:font-name="Noto"
  style:font-name-asian="Noto" fo:font-size="9pt" style:font-size-asian="9pt"/></style:default-style>
</office:styles>
<office:automatic-styles>
"""

PAGE = """<style:style style:name="caption" style:family="table-cell">
 <style:table-cell-properties fo:background-color="#dde8f4"/>
 <style:text-properties fo:font-weight="bold" style:font-weight-asian="bold"/></style:style>
<style:page-layout style:name="page"><style:page-layout-properties fo:page-width="60cm"
 fo:page-height="20cm" fo:margin="0.3cm" style:print="grid headers"/></style:page-layout>
</office:automatic-styles>
<office:master-styles><style:master-page style:name="Default" style:page-layout-name="page">
 <style:header style:display="false"/><style:footer style:display="false"/></style:master-page>
</office:master-styles>
<office:body><office:spreadsheet>
"""


def text_width(text):
    """The width in half-width characters: a full-width character takes two."""
    return sum(2 if unicodedata.east_asian_width(c) in "WF" else 1 for c in text)


def cell_xml(cell, style):
    """A count is a number; "0001", a reel or a timecode stays text, as the table means it."""
    if cell.isdigit() and (cell == "0" or not cell.startswith("0")):
        return (f'<table:table-cell{style} office:value-type="float" office:value="{cell}">'
                f"<text:p>{cell}</text:p></table:table-cell>")
    return (f'<table:table-cell{style} office:value-type="string">'
            f"<text:p>{html.escape(cell)}</text:p></table:table-cell>")


def main(source, target):
    with open(source, encoding="utf-8-sig", newline="") as f:
        rows = list(csv.reader(f))
    columns = max(len(row) for row in rows)
    widths = [max((text_width(row[k]) for row in rows if k < len(row)), default=0)
              for k in range(columns)]
    out = [HEAD]
    for k, width in enumerate(widths):
        out.append(f'<style:style style:name="c{k}" style:family="table-column">'
                   f'<style:table-column-properties style:column-width="{0.19 * width + 0.35:.2f}cm"/>'
                   "</style:style>\n")
    out.append(PAGE)
    out.append(f'<table:table table:name="{html.escape(source.split("/")[-1])}">\n')
    out.extend(f'<table:table-column table:style-name="c{k}"/>\n' for k in range(columns))
    for number, row in enumerate(rows):
        style = ' table:style-name="caption"' if number == 0 else ""
        cells = "".join(cell_xml(cell, style) for cell in row)
        out.append(f"<table:table-row>{cells}</table:table-row>\n")
    out.append("</table:table></office:spreadsheet></office:body></office:document>\n")
    with open(target, "w", encoding="utf-8") as f:
        f.write("".join(out))


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
