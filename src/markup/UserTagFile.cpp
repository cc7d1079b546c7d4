#include "UserTagFile.h"

#include "TextFile.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>

using namespace Qt::StringLiterals;

UserTagEntry parseUserTagLine(QStringView line)
{
    const qsizetype first = line.indexOf(u',');
    if (first < 0)
        return {{}, {}, line.toString()};
    const qsizetype second = line.indexOf(u',', first + 1);
    if (second < 0)
        return {line.left(first).toString(), {}, line.mid(first + 1).toString()};
    return {line.left(first).toString(), line.mid(first + 1, second - first - 1).toString(),
            line.mid(second + 1).toString()};
}

QString composeUserTagLine(const UserTagEntry &entry)
{
    return entry.description + u',' + entry.opening + u',' + entry.closing;
}

QString userTagDropText(const UserTagEntry &entry)
{
    return entry.opening + u',' + entry.closing;
}

QString userTagCommaError(const UserTagEntry &entry)
{
    if (entry.description.contains(u','))
        return u"Popis tagu nesmí obsahovat čárku."_s;
    if (entry.opening.contains(u','))
        return u"Počáteční tag nesmí obsahovat čárku, čárka odděluje části tagu v souboru."_s;
    return {};
}

QStringList splitUserTagLines(QStringView text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        lines << text.mid(start, i - start).toString();
        if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines << text.mid(start).toString();
    return lines;
}

QString joinUserTagLines(const QStringList &lines)
{
    QString text;
    for (const QString &line : lines)
        text += line + u"\r\n"_s;
    return text;
}

namespace {

const QCollator &czechCollator()
{
    static const QCollator collator = [] {
        QCollator c(QLocale(QLocale::Czech, QLocale::CzechRepublic));
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    return collator;
}

bool lineBefore(const QString &a, const QString &b)
{
    const int order = czechCollator().compare(a, b);
    // Lines equal but for case still get a fixed order, so a save is repeatable.
    return order != 0 ? order < 0 : a < b;
}

} // namespace

void sortUserTagLines(QStringList &lines)
{
    std::stable_sort(lines.begin(), lines.end(), lineBefore);
}

qsizetype userTagInsertPosition(const QStringList &lines, const QString &line)
{
    return std::upper_bound(lines.begin(), lines.end(), line, lineBefore) - lines.begin();
}

UserTagFileRead readUserTagFile(const QString &path)
{
    const TextFileResult read = readDocumentFile(path);
    if (!read.ok)
        return {false, {}, read.error};
    UserTagFileRead result{true, splitUserTagLines(read.text), {}};
    sortUserTagLines(result.lines);
    return result;
}

QString writeUserTagFile(const QString &path, const QStringList &lines)
{
    return writeTextFile(path, joinUserTagLines(lines), LineEnding::CrLf, FileEncoding{});
}
