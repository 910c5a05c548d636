"""Prints what a spreadsheet holds, cell by cell, as JSON: the report's tests
read it back through a real .xlsx reader, not through the code that wrote it."""
import datetime
import json
import sys

import openpyxl
from openpyxl.utils import get_column_letter


def value_of(cell):
    value = cell.value
    if isinstance(value, datetime.timedelta):  # a duration, in seconds
        return value.total_seconds()
    if isinstance(value, (datetime.datetime, datetime.date, datetime.time)):
        return value.isoformat()
    return value


def describe(cell):
    return {
        "value": value_of(cell),
        "type": cell.data_type,
        "is_date": bool(cell.is_date),
        "format": cell.number_format,
        "bold": bool(cell.font.b),
        "italic": bool(cell.font.i),
        "fill": cell.fill.fgColor.rgb if cell.fill.fill_type == "solid" else None,
        "borders": [side.style for side in (cell.border.left, cell.border.right, cell.border.top, cell.border.bottom)],
        "align": cell.alignment.horizontal,
    }


def printing(sheet):
    setup = sheet.page_setup
    fit = sheet.sheet_properties.pageSetUpPr
    return {
        "orientation": setup.orientation,
        "paper": setup.paperSize,
        "fit_to_page": bool(fit and fit.fitToPage),
        "fit_width": 1 if setup.fitToWidth is None else setup.fitToWidth,  # the file format's default
        "fit_height": 1 if setup.fitToHeight is None else setup.fitToHeight,
        "title_rows": sheet.print_title_rows,
        "area": area if isinstance(area := sheet.print_area, str) else ",".join(area or []),
        "footer": sheet.oddFooter.center.text,
    }


workbook = openpyxl.load_workbook(sys.argv[1])
sheets = []
for sheet in workbook.worksheets:
    widths = {}
    for dimension in sheet.column_dimensions.values():  # one entry may stand for a span of columns
        for index in range(dimension.min, dimension.max + 1):
            widths[get_column_letter(index)] = dimension.width
    cells = {}
    for row in sheet.iter_rows():
        for cell in row:
            if cell.value is not None or cell.has_style:
                cells[cell.coordinate] = describe(cell)
    sheets.append({"title": sheet.title, "max_row": sheet.max_row, "widths": widths, "cells": cells,
                   "print": printing(sheet)})
json.dump(sheets, sys.stdout, ensure_ascii=False)
