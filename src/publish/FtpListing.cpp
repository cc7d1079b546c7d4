// The FTP listings read: MLSD facts and the "ls -l" and Windows forms of LIST.
#include "publish/FtpListing.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

RemoteDirectory parseMlsdListing(const QByteArray &listing)
{
    RemoteDirectory entries;
    for (QByteArray line : listing.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        // "fact=value;fact=value; name": the name is everything after the first blank.
        const qsizetype blank = line.indexOf(' ');
        if (blank <= 0)
            continue;
        const QString name = QString::fromUtf8(line.mid(blank + 1));
        if (!isPlainRemoteName(name))
            continue;
        RemoteFile file;
        for (const QByteArray &fact : line.left(blank).split(';')) {
            const qsizetype equals = fact.indexOf('=');
            if (equals <= 0)
                continue;
            const QByteArray key = fact.left(equals).toLower();
            const QByteArray value = fact.mid(equals + 1);
            if (key == "type") {
                file.type = QString::fromLatin1(value).toLower();
                // "OS.unix=slink:target" or "OS.unix=symlink": a link, never to be followed.
                if (file.type.startsWith(u"os.unix=slink"_s) || file.type.startsWith(u"os.unix=symlink"_s))
                    file.type = u"link"_s;
            } else if (key == "size") {
                file.size = value.toLongLong();
            } else if (key == "modify") {
                file.modify = QString::fromLatin1(value);
            }
        }
        if (file.type == u"file"_s || file.type == u"dir"_s || file.type == u"link"_s)
            entries.insert(name, file);
    }
    return entries;
}

RemoteDirectory parseListListing(const QByteArray &listing)
{
    // "drwxr-xr-x 2 owner group 4096 Dec 10 01:03 name", the group sometimes missing, and
    // for a link "name -> target".
    static const QRegularExpression unixLine(
        u"^([-dl])[-rwxsStTl]{9}[+.@]?\\s+\\d+\\s+\\S.*?\\s+(\\d+)\\s+[A-Za-z]{3}\\s+\\d{1,2}\\s+(?:\\d{1,2}:\\d{2}|\\d{4})\\s(.+)$"_s);
    // "12-10-26  01:03AM  <DIR>  name" or "... 1234 name".
    static const QRegularExpression windowsLine(
        u"^\\d{2}-\\d{2}-\\d{2,4}\\s+\\d{1,2}:\\d{2}(?:[AaPp][Mm])?\\s+(<DIR>|\\d+)\\s+(.+)$"_s);
    RemoteDirectory entries;
    for (QByteArray bytes : listing.split('\n')) {
        if (bytes.endsWith('\r'))
            bytes.chop(1);
        const QString line = QString::fromUtf8(bytes);
        RemoteFile file;
        QString name;
        if (const QRegularExpressionMatch m = unixLine.match(line); m.hasMatch()) {
            const QChar kind = m.captured(1).at(0);
            file.type = kind == u'd' ? u"dir"_s : kind == u'l' ? u"link"_s : u"file"_s;
            file.size = m.captured(2).toLongLong();
            name = m.captured(3);
            if (kind == u'l')
                name = name.section(u" -> "_s, 0, 0);
        } else if (const QRegularExpressionMatch w = windowsLine.match(line); w.hasMatch()) {
            file.type = w.captured(1) == u"<DIR>"_s ? u"dir"_s : u"file"_s;
            file.size = file.type == u"dir"_s ? -1 : w.captured(1).toLongLong();
            name = w.captured(2);
        } else {
            continue;
        }
        if (isPlainRemoteName(name))
            entries.insert(name, file);
    }
    return entries;
}
