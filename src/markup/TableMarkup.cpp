#include "TableMarkup.h"

#include "markup/SysUt.h"

using namespace Qt::StringLiterals;

namespace {

// BGCOLOR, BORDERCOLOR, BORDERCOLORDARK and BORDERCOLORLIGHT, in the order all three
// elements write them.
QString colorPieces(const Toggled<ColorValue> &bg, const Toggled<ColorValue> &border,
                    const Toggled<ColorValue> &dark, const Toggled<ColorValue> &light)
{
    return ColorAttrPiece(u"BGCOLOR="_s, bg)
           + ColorAttrPiece(u"BORDERCOLOR="_s, border)
           + ColorAttrPiece(u"BORDERCOLORDARK="_s, dark)
           + ColorAttrPiece(u"BORDERCOLORLIGHT="_s, light);
}

void readColors(AttributeReader &reader, Toggled<ColorValue> &bg, Toggled<ColorValue> &border,
                Toggled<ColorValue> &dark, Toggled<ColorValue> &light)
{
    reader.color(u"BGCOLOR", bg);
    reader.color(u"BORDERCOLOR", border);
    reader.color(u"BORDERCOLORDARK", dark);
    reader.color(u"BORDERCOLORLIGHT", light);
}

} // namespace

Markup composeTable(const TableFields &f)
{
    return {u"<TABLE"_s + NumberAttrPiece(u"BORDER="_s, f.border)
                + NumberAttrPiece(u"CELLSPACING="_s, f.cellSpacing)
                + NumberAttrPiece(u"CELLSPADING="_s, f.cellPadding)
                + AttrPiece(u"WIDTH="_s, f.width) + QuotedAttrPiece(u"BACKGROUND="_s, f.background)
                + AttrPiece(u"FRAME="_s, f.frame) + AttrPiece(u"ALIGN="_s, f.align)
                + colorPieces(f.bgColor, f.borderColor, f.borderColorDark, f.borderColorLight)
                + u'>',
            u"\r\n</TABLE>"_s};
}

Markup composeRow(const RowFields &f)
{
    return {u"<TR"_s + QuotedAttrPiece(u"BACKGROUND="_s, f.background)
                + AttrPiece(u"ALIGN="_s, f.align) + AttrPiece(u"VALIGN="_s, f.valign)
                + colorPieces(f.bgColor, f.borderColor, f.borderColorDark, f.borderColorLight)
                + u'>',
            u"</TR>"_s};
}

Markup composeCell(const CellFields &f, const QString &kind)
{
    return {u'<' + kind + QuotedAttrPiece(u"BACKGROUND="_s, f.background)
                + AttrPiece(u"ALIGN="_s, f.align) + AttrPiece(u"VALIGN="_s, f.valign)
                + AttrPiece(u"WIDTH="_s, f.width)
                + NumberAttrPiece(u"COLSPAN="_s, f.colSpan)
                + NumberAttrPiece(u"ROWSPAN="_s, f.rowSpan)
                + colorPieces(f.bgColor, f.borderColor, f.borderColorDark, f.borderColorLight)
                + u'>',
            u"</"_s + kind + u'>'};
}

TagRead<TableFields> readTableTag(QStringView tag, const TableFields &start)
{
    AttributeReader reader(tag);
    TableFields f = start;
    reader.number(u"BORDER", f.border);
    reader.number(u"CELLSPACING", f.cellSpacing);
    reader.number(u"CELLSPADING", f.cellPadding);
    reader.text(u"WIDTH", f.width);
    reader.text(u"BACKGROUND", f.background);
    reader.text(u"FRAME", f.frame);
    reader.text(u"ALIGN", f.align);
    readColors(reader, f.bgColor, f.borderColor, f.borderColorDark, f.borderColorLight);
    return reader.result(f);
}

TagRead<RowFields> readRowTag(QStringView tag, const RowFields &start)
{
    AttributeReader reader(tag);
    RowFields f = start;
    reader.text(u"ALIGN", f.align);
    reader.text(u"VALIGN", f.valign);
    reader.text(u"BACKGROUND", f.background);
    readColors(reader, f.bgColor, f.borderColor, f.borderColorDark, f.borderColorLight);
    return reader.result(f);
}

TagRead<CellFields> readCellTag(QStringView tag, const CellFields &start)
{
    AttributeReader reader(tag);
    CellFields f = start;
    reader.text(u"ALIGN", f.align);
    reader.text(u"VALIGN", f.valign);
    reader.text(u"BACKGROUND", f.background);
    reader.text(u"WIDTH", f.width);
    readColors(reader, f.bgColor, f.borderColor, f.borderColorDark, f.borderColorLight);
    reader.number(u"COLSPAN", f.colSpan);
    reader.number(u"ROWSPAN", f.rowSpan);
    return reader.result(f);
}
