#include "FileReferences.h"

#include "markup/Html5Markup.h"
#include "markup/SysUt.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

QString upperExtension(const QString &path)
{
    return QFileInfo(path).suffix().toUpper();
}

bool oneOf(const QString &ext, std::initializer_list<QStringView> list)
{
    for (QStringView item : list) {
        if (ext == item)
            return true;
    }
    return false;
}

} // namespace

FileOpenKind fileOpenKind(const QString &path)
{
    const QString ext = upperExtension(path);
    if (oneOf(ext, {u"HTML", u"HTM", u"HTX", u"HTT", u"SAB"}))
        return FileOpenKind::Page;
    if (ext == u"TAG"_s)
        return FileOpenKind::UserTags;
    return FileOpenKind::Shell;
}

Markup fileTagMarkup(const QString &reference, const QString &filePath, MarkupStyle style)
{
    const QString ext = upperExtension(filePath);
    if (style == MarkupStyle::Html5) {
        // An element that plays in the page, with the controls to start it.
        const QString type = mediaTypeOf(filePath);
        const QString attributes = u" SRC=\""_s + reference + u"\" CONTROLS>"_s;
        if (type.startsWith(u"video/"_s))
            return {u"<VIDEO"_s + attributes, u"</VIDEO>"_s};
        if (type.startsWith(u"audio/"_s))
            return {u"<AUDIO"_s + attributes, u"</AUDIO>"_s};
        // No browser plays these in the page, and HTML5 dropped the elements that did:
        // the reader gets them as a download.
        if (oneOf(ext, {u"AVI", u"MPG", u"MPEG", u"MID", u"AU"}))
            return {u"<A HREF=\""_s + reference + u"\">"_s, u"</A>"_s};
    }
    const QString quoted = u"=\""_s + reference + u"\">"_s;
    if (oneOf(ext, {u"JPG", u"JPEG", u"GIF", u"PNG"}))
        return {u"<IMG SRC"_s + quoted, {}};
    if (oneOf(ext, {u"HTM", u"HTML", u"TXT", u"PDF", u"ZIP", u"ARJ", u"CAB", u"EXE"}))
        return {u"<A HREF"_s + quoted, u"</A>"_s};
    if (oneOf(ext, {u"MID", u"WAV", u"AU"}))
        return {u"<BGSOUND SRC"_s + quoted, {}};
    if (oneOf(ext, {u"AVI", u"MPG", u"MPEG", u"MOV"}))
        return {u"<IMG DYNSRC"_s + quoted, {}};
    return {u"<EMBED SRC"_s + quoted, {}};
}

Markup fileLinkMarkup(const QString &reference)
{
    return {u"<A HREF=\""_s + reference + u"\" >"_s, u"</A>"_s};
}

QString deleteFileQuestion(const QString &path)
{
    return u"Opravdu chcete smazat soubor \""_s + path + u"\" "_s;
}

QString renameTarget(const QString &directory, const QString &enteredName)
{
    if (enteredName.trimmed().isEmpty())
        return {};
    return QDir::cleanPath(QDir(directory).filePath(QDir::fromNativeSeparators(enteredName)));
}

bool renameWithoutReplacing(const QString &from, const QString &to)
{
    if (from == to)
        return true;
    // On a case-blind disk the target "exists" as the file itself; a case change is
    // still a rename, and anything else that exists is left alone.
    const bool caseOnly = from.compare(to, Qt::CaseInsensitive) == 0;
    if (QFileInfo::exists(to) && !(caseOnly && QFileInfo(from) == QFileInfo(to)))
        return false;
    return QFile::rename(from, to);
}

QString caseChangedPath(const QString &path, bool upper)
{
    const QFileInfo info(path);
    const QString name = upper ? CzechUpperCase(info.fileName()) : CzechLowerCase(info.fileName());
    return info.dir().filePath(name);
}

QStringList changeFileNameCase(const QStringList &paths, bool upper)
{
    QStringList refused;
    for (const QString &path : paths) {
        if (!renameWithoutReplacing(path, caseChangedPath(path, upper)))
            refused.append(path);
    }
    return refused;
}

namespace {

// Extensions a site serves: never taken for backups, whatever the settings say.
bool isSiteContentExtension(QStringView extension)
{
    static const QStringView served[] = {u"htm", u"html", u"shtml", u"php", u"asp", u"htx",
                                         u"htt", u"sab", u"css", u"js"};
    return std::any_of(std::begin(served), std::end(served), [extension](QStringView e) {
        return extension.compare(e, Qt::CaseInsensitive) == 0;
    });
}

} // namespace

bool isEditorOwnFile(const QString &fileName, const QString &backupExtension)
{
    const QString name = fileName.section(u'/', -1);
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot <= 0)
        return false;
    const QStringView extension = QStringView(name).sliced(dot + 1);
    const QString backup = backupExtension.trimmed();
    if (!backup.isEmpty() && extension.compare(backup, Qt::CaseInsensitive) == 0
        && !isSiteContentExtension(extension))
        return true;
    // Qt's safe writing puts the text into "<name>.XXXXXX" and renames it over the page;
    // an end in between leaves it behind.
    static const QRegularExpression unfinished(u"^(.+\\.[^.]+)\\.[A-Za-z0-9]{6}$"_s);
    if (const QRegularExpressionMatch m = unfinished.match(name); m.hasMatch()) {
        const QString page = m.captured(1);
        if (isSiteContentExtension(QStringView(page).sliced(page.lastIndexOf(u'.') + 1)))
            return true;
    }
    static const QRegularExpression recovery(
        u"^[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}(-[0-9]+\\.rec|\\.lock)$"_s);
    return recovery.match(name).hasMatch();
}
