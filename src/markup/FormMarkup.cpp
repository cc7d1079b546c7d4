#include "FormMarkup.h"

#include "markup/ElementContract.h"
#include "markup/SysUt.h"

using namespace Qt::StringLiterals;

Markup composeInput(const InputFields &f)
{
    QString opening = u"<INPUT "_s + QuotedAttrPiece(u"TYPE="_s, f.type)
                      + QuotedAttrPiece(u"URL="_s, f.url) + QuotedAttrPiece(u"ALT="_s, f.alt)
                      + QuotedAttrPiece(u"VALUE="_s, f.value)
                      + QuotedAttrPiece(u"TITLE="_s, f.title)
                      + QuotedAttrPiece(u"NAME="_s, f.name)
                      + QuotedAttrPiece(u"ALIGN="_s, f.align)
                      + NumberAttrPiece(u"TABINDEX="_s, f.tabIndex)
                      + NumberAttrPiece(u"MAXLENGTH="_s, f.maxLength) + NumberAttrPiece(u"SIZE="_s, f.size)
                      + QuotedAttrPiece(u"ID="_s, f.id)
                      + QuotedAttrPiece(u"PLACEHOLDER="_s, f.placeholder)
                      + QuotedAttrPiece(u"LIST="_s, f.list)
                      + QuotedAttrPiece(u"AUTOCOMPLETE="_s, f.autocomplete)
                      + QuotedAttrPiece(u"PATTERN="_s, f.pattern) + QuotedAttrPiece(u"MIN="_s, f.min)
                      + QuotedAttrPiece(u"MAX="_s, f.max) + QuotedAttrPiece(u"STEP="_s, f.step);
    if (!f.enabled)
        opening += u" DISABLED"_s;
    if (f.readOnly)
        opening += u" READONLY"_s;
    if (f.required)
        opening += u" REQUIRED"_s;
    return {opening + u'>', QString()};
}

TagRead<InputFields> readInputTag(QStringView tag)
{
    AttributeReader reader(tag);
    InputFields f;
    if (reader.flag(u"DISABLED"))
        f.enabled = false;
    if (reader.flag(u"READONLY"))
        f.readOnly = true;
    f.required = reader.flag(u"REQUIRED");
    reader.text(u"TYPE", f.type);
    reader.text(u"URL", f.url);
    reader.text(u"ALT", f.alt);
    reader.text(u"VALUE", f.value);
    reader.text(u"TITLE", f.title);
    reader.text(u"NAME", f.name);
    reader.text(u"ALIGN", f.align);
    reader.number(u"TABINDEX", f.tabIndex);
    reader.number(u"MAXLENGTH", f.maxLength);
    reader.number(u"SIZE", f.size);
    reader.text(u"ID", f.id);
    reader.text(u"PLACEHOLDER", f.placeholder);
    reader.text(u"LIST", f.list);
    reader.text(u"AUTOCOMPLETE", f.autocomplete);
    reader.text(u"PATTERN", f.pattern);
    reader.text(u"MIN", f.min);
    reader.text(u"MAX", f.max);
    reader.text(u"STEP", f.step);
    return reader.result(f);
}

Markup composeForm(const FormFields &f)
{
    return {u"<FORM "_s + QuotedAttrPiece(u"NAME="_s, f.name)
                + QuotedAttrPiece(u"METHOD="_s, f.method)
                + QuotedAttrPiece(u"ACTION="_s, f.action)
                + QuotedAttrPiece(u"TITLE="_s, f.title)
                + QuotedAttrPiece(u"TARGET="_s, f.target) + u">\r\n"_s,
            u"\r\n</FORM>"_s};
}

TagRead<FormFields> readFormTag(QStringView tag)
{
    AttributeReader reader(tag);
    FormFields f;
    reader.text(u"NAME", f.name);
    reader.text(u"METHOD", f.method);
    reader.text(u"ACTION", f.action);
    reader.text(u"TITLE", f.title);
    reader.text(u"TARGET", f.target);
    return reader.result(f);
}

Markup composeSelect(const SelectFields &f)
{
    QString opening = u"<SELECT "_s + QuotedAttrPiece(u"ALIGN="_s, f.align)
                      + QuotedAttrPiece(u"NAME="_s, f.name)
                      + NumberAttrPiece(u"TABINDEX="_s, f.tabIndex) + NumberAttrPiece(u"SIZE="_s, f.size);
    if (!f.enabled)
        opening += u" DISABLED"_s;
    if (f.multiple)
        opening += u" MULTIPLE"_s;
    return {opening + u">\r\n"_s, u"\r\n</SELECT>"_s};
}

TagRead<SelectFields> readSelectTag(QStringView tag)
{
    AttributeReader reader(tag);
    SelectFields f;
    if (reader.flag(u"DISABLED"))
        f.enabled = false;
    if (reader.flag(u"MULTIPLE"))
        f.multiple = true;
    reader.number(u"TABINDEX", f.tabIndex);
    reader.number(u"SIZE", f.size);
    reader.text(u"NAME", f.name);
    reader.text(u"ALIGN", f.align);
    return reader.result(f);
}

Markup composeTextArea(const TextAreaFields &f)
{
    QString opening = u"<TEXTAREA "_s + QuotedAttrPiece(u"ALIGN="_s, f.align)
                      + QuotedAttrPiece(u"NAME="_s, f.name)
                      + NumberAttrPiece(u"TABINDEX="_s, f.tabIndex) + NumberAttrPiece(u"ROWS="_s, f.rows)
                      + NumberAttrPiece(u"COLS="_s, f.cols);
    if (f.readOnly)
        opening += u" READONLY"_s;
    return {opening + u">\r\n"_s, u"\r\n</TEXTAREA>"_s};
}

TagRead<TextAreaFields> readTextAreaTag(QStringView tag)
{
    AttributeReader reader(tag);
    TextAreaFields f;
    if (reader.flag(u"READONLY"))
        f.readOnly = true;
    reader.number(u"TABINDEX", f.tabIndex);
    reader.number(u"ROWS", f.rows);
    reader.number(u"COLS", f.cols);
    reader.text(u"NAME", f.name);
    reader.text(u"ALIGN", f.align);
    return reader.result(f);
}
