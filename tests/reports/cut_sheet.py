"""Rewrites an .xlsx file with one part cut short and packed again, as a
spreadsheet library does when its temporary file of that part was written
only partly: the package is sound, that sheet's XML is not.

usage: cut_sheet.py IN OUT PART KEEP_FRACTION
"""
import sys
import zipfile

source, target, part, fraction = sys.argv[1], sys.argv[2], sys.argv[3], float(sys.argv[4])
with zipfile.ZipFile(source) as inside, zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED) as outside:
    for item in inside.infolist():
        data = inside.read(item.filename)
        if item.filename == part:
            data = data[: int(len(data) * fraction)]
        outside.writestr(item, data, compress_type=zipfile.ZIP_DEFLATED)
