#include "FileFilter.h"

using namespace Qt::StringLiterals;

const char16_t FilePanelFilterList[] =
    u"Všechny soubory (*.*)|*.*|Html dokumenty (*.html;*.htm;*.htx;*.htt)|*.htm;*.htx;*.htt|"
    u"Šablony (*.sab)|*.sab|Spustitelné soubory (*.exe;*.com;*.bat;*.pif;*.lnk)|"
    u"*.exe;*.com;*.bat;*.pif;*.lnk|Archivní soubory (*.zip;*.cab;*.arj)|*.zip;*.cab;*.arj|"
    u"Obrázky (*.gif;*.jpg;*.jpeg;*.png)|*.gif;*.jpg;*.jpeg;*.png|"
    u"Hudební soubory (*.mid;*.wav;*.mp3;*.mod;*.au)|*.mid;*.wav;*.mp3;*.mod;*.au|"
    u"Animace (*.avi;*.mpg;*.mov)|*.avi;*.mpg;*.mov|3D Světy (*.vrml;*.wrl)|*.vrml;*.wrl|"
    u"Style Sheets (*.css)|*.css|Uživatelské tagy (*.tag)|*.tag|Java aplety (*.class)|*.class";

namespace {

// Plain wildcard matching without any Windows rule: "*" any run, "?" one character.
bool wildcardMatch(QStringView name, QStringView pattern)
{
    qsizetype n = 0, p = 0, starP = -1, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == u'*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size()
                   && (pattern[p] == u'?' || pattern[p].toCaseFolded() == name[n].toCaseFolded())) {
            ++p;
            ++n;
        } else if (starP >= 0) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}

bool isPlainExtension(QStringView ext)
{
    return ext.size() == 3 && !ext.contains(u'*') && !ext.contains(u'?');
}

} // namespace

QList<FileFilter> parseFileFilters(QStringView filterList)
{
    QList<FileFilter> filters;
    const QList<QStringView> parts = filterList.split(u'|');
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        FileFilter filter;
        filter.caption = parts[i].toString();
        if (i + 1 < parts.size()) {
            for (QStringView pattern : parts[i + 1].split(u';', Qt::SkipEmptyParts))
                filter.patterns.append(pattern.trimmed().toString());
        }
        if (filter.patterns.isEmpty())
            filter.patterns.append(u"*.*"_s);
        filters.append(filter);
    }
    return filters;
}

bool matchesWildcard(QStringView fileName, QStringView pattern)
{
    if (pattern == u"*" || pattern == u"*.*")
        return true;
    if (wildcardMatch(fileName, pattern))
        return true;
    // "name." stands for a name without an extension.
    if (pattern.endsWith(u'.') && !fileName.contains(u'.'))
        return wildcardMatch(fileName, pattern.chopped(1));
    // The short name of "page.html" is "PAGE~1.HTM": a three-letter extension pattern
    // takes the longer extensions that begin with it.
    const qsizetype patternDot = pattern.lastIndexOf(u'.');
    const qsizetype nameDot = fileName.lastIndexOf(u'.');
    if (patternDot < 0 || nameDot < 0)
        return false;
    const QStringView patternExt = pattern.mid(patternDot + 1);
    const QStringView nameExt = fileName.mid(nameDot + 1);
    if (!isPlainExtension(patternExt) || nameExt.size() <= 3)
        return false;
    return nameExt.left(3).compare(patternExt, Qt::CaseInsensitive) == 0
           && wildcardMatch(fileName.left(nameDot), pattern.left(patternDot));
}

bool matchesAnyWildcard(QStringView fileName, const QStringList &patterns)
{
    for (const QString &pattern : patterns) {
        if (matchesWildcard(fileName, pattern))
            return true;
    }
    return false;
}
