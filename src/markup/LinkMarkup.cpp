#include "LinkMarkup.h"

#include "markup/SysUt.h"
#include "markup/TextFile.h"

using namespace Qt::StringLiterals;

QString ComposedAddress(const AddressFields &fields, const QString &separator)
{
    QString address = fields.scheme;
    if (!fields.userName.isEmpty())
        address += fields.userName + u':' + fields.password + u'@';
    address += fields.server;
    if (!fields.file.isEmpty())
        address += separator + fields.file;
    if (!fields.anchor.isEmpty())
        address += u'#' + fields.anchor;
    return address;
}

Markup composeLink(const LinkFields &fields)
{
    return {u"<A"_s + QuotedAttrPiece(u"HREF="_s, fields.href)
                + QuotedAttrPiece(u"TARGET="_s, fields.target) + u'>',
            u"</A>"_s};
}

TagRead<LinkFields> readLinkTag(QStringView tag)
{
    AttributeReader reader(tag);
    LinkFields fields;
    reader.text(u"HREF", fields.href);
    reader.text(u"TARGET", fields.target);
    return reader.result(fields);
}

bool isAnchorTag(QStringView tag)
{
    return AttributeReader(tag).has(u"NAME");
}

QString readInternetShortcut(const QString &path)
{
    const TextFileResult file = readTextFile(path);
    if (!file.ok)
        return {};
    // Section and key names are matched without regard to case, as INI readers do.
    bool inSection = false;
    for (const QString &rawLine : file.text.split(u"\r\n"_s)) {
        const QString line = rawLine.trimmed();
        if (line.startsWith(u'[')) {
            inSection = line.compare(u"[InternetShortcut]"_s, Qt::CaseInsensitive) == 0;
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (inSection && eq > 0
            && line.first(eq).trimmed().compare(u"URL"_s, Qt::CaseInsensitive) == 0)
            return line.sliced(eq + 1).trimmed();
    }
    return {};
}
