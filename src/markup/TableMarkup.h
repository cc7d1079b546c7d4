#pragma once

#include "markup/ColorValue.h"
#include "markup/ElementContract.h"
#include "markup/Markup.h"

#include <QString>

// The table window's three pages as plain fields: the table, a row and a cell (TD or
// TH). Spin values start at 0 and colours black, every switch cleared.

struct TableFields
{
    Toggled<int> border, cellSpacing, cellPadding;
    QString width, background, frame, align;
    Toggled<ColorValue> bgColor, borderColor, borderColorDark, borderColorLight;
};

struct RowFields
{
    QString align, valign, background;
    Toggled<ColorValue> bgColor, borderColor, borderColorDark, borderColorLight;
};

struct CellFields
{
    QString align, valign, background, width;
    Toggled<int> colSpan, rowSpan;
    Toggled<ColorValue> bgColor, borderColor, borderColorDark, borderColorLight;
};

// '<TABLE BORDER=1 WIDTH=100%>' and CR LF "</TABLE>". The padding is written
// "CELLSPADING=", the spelling the reader takes back.
Markup composeTable(const TableFields &fields);
// '<TR ...>' and "</TR>".
Markup composeRow(const RowFields &fields);
// kind is "TD" or "TH": '<TD ...>' and "</TD>".
Markup composeCell(const CellFields &fields, const QString &kind);

// Each reader starts from the given fields, so values the tag does not set keep what the
// open table window shows.
TagRead<TableFields> readTableTag(QStringView tag, const TableFields &start = {});
TagRead<RowFields> readRowTag(QStringView tag, const RowFields &start = {});
TagRead<CellFields> readCellTag(QStringView tag, const CellFields &start = {});
