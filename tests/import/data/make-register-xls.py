#!/usr/bin/env python3
# Writes register.xls, the Excel 97-2003 fixture of the import tests, with xlwt (Debian package
# python3-xlwt): two sheets, a title row above the header, texts, numbers, a date cell with a
# date format and an empty cell inside a row. Run it here to make the file again.
import datetime
import xlwt

book = xlwt.Workbook(encoding="utf-8")
notes = book.add_sheet("说明")
notes.write(0, 0, "本工作簿的第二张表是资产清单")
sheet = book.add_sheet("资产清单")
date_style = xlwt.easyxf(num_format_str="yyyy-mm-dd")
sheet.write(0, 0, "某单位固定资产登记表")
header = ["资产编号", "资产类别", "资产名称", "规格型号", "存放地点", "原值", "购置日期", "使用年限"]
for c, caption in enumerate(header):
    sheet.write(1, c, caption)
rows = [
    ["DN-7", "电脑", "台式电脑", "联想M720", "财务科", 4999.5, datetime.date(2020, 1, 15), "5年"],
    ["", "办公家具", "文件柜", None, "档案室", 850, datetime.date(2019, 3, 2), "10年"],
]
for r, values in enumerate(rows, start=2):
    for c, value in enumerate(values):
        if value is None:
            continue
        if isinstance(value, datetime.date):
            sheet.write(r, c, value, date_style)
        else:
            sheet.write(r, c, value)
book.save("register.xls")
