#include "SiteSearch.h"

#include "markup/CodePages.h"
#include "markup/GuardedFile.h"
#include "markup/TextEncoding.h"

#include <QHashFunctions>
#include <QDirIterator>
#include <QFileInfo>
#include <QThread>

#include <algorithm>
#include <thread>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// The line (without its break) around offset.
QString lineAround(QStringView text, qsizetype lineStart)
{
    qsizetype end = text.indexOf(u'\n', lineStart);
    if (end < 0)
        end = text.size();
    if (end > lineStart && text[end - 1] == u'\r')
        --end;
    return text.sliced(lineStart, end - lineStart).toString();
}

// A regular expression's replacement with its \N groups put in.
QString expanded(const QRegularExpressionMatch &match, const QString &replacement)
{
    QString out;
    for (qsizetype i = 0; i < replacement.size(); ++i) {
        const QChar c = replacement[i];
        if (c != u'\\' || i + 1 == replacement.size()) {
            out += c;
            continue;
        }
        const QChar next = replacement[i + 1];
        if (next.isDigit()) {
            int group = next.digitValue();
            ++i;
            if (i + 1 < replacement.size() && replacement[i + 1].isDigit()
                && group * 10 + replacement[i + 1].digitValue() <= match.lastCapturedIndex()) {
                group = group * 10 + replacement[i + 1].digitValue();
                ++i;
            }
            out += match.captured(group);
        } else {
            out += next; // "\\" is a backslash, "\x" an x
            ++i;
        }
    }
    return out;
}

} // namespace

// Tells a file changed since it was searched; a fast hash with the length beside it is
// enough for that; a cryptographic one would slow the search down for nothing.
QByteArray textFingerprint(QStringView text)
{
    const size_t hash = qHashBits(text.data(), size_t(text.size()) * sizeof(QChar), 0x5eed);
    return QByteArray::number(qulonglong(hash), 16) + '/' + QByteArray::number(text.size());
}

SearchPattern searchPattern(const SiteSearchOptions &options)
{
    SearchPattern pattern;
    pattern.regularExpression = options.regularExpression;
    if (options.text.isEmpty()) {
        pattern.error = u"Není zadán hledaný text."_s;
        return pattern;
    }
    QString source = options.regularExpression ? options.text : QRegularExpression::escape(options.text);
    if (options.wholeWords)
        source = u"(?<![\\w])(?:"_s + source + u")(?![\\w])"_s;
    QRegularExpression::PatternOptions flags = QRegularExpression::UseUnicodePropertiesOption;
    if (!options.caseSensitive)
        flags |= QRegularExpression::CaseInsensitiveOption;
    pattern.expression = QRegularExpression(source, flags);
    if (!pattern.expression.isValid()) {
        pattern.error = u"Chybný regulární výraz (znak %1): %2"_s.arg(pattern.expression.patternErrorOffset() + 1)
                            .arg(pattern.expression.errorString());
    }
    return pattern;
}

QList<TextMatch> findMatches(QStringView text, const QRegularExpression &pattern)
{
    QList<TextMatch> found;
    int line = 1;
    qsizetype lineStart = 0;
    qsizetype counted = 0; // line breaks are counted up to here
    QRegularExpressionMatchIterator it = pattern.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        if (m.capturedLength() == 0)
            continue;
        const qsizetype at = m.capturedStart();
        for (qsizetype lf = text.indexOf(u'\n', counted); lf >= 0 && lf < at; lf = text.indexOf(u'\n', lf + 1)) {
            ++line;
            lineStart = lf + 1;
        }
        counted = at;
        found.append({line, int(at - lineStart) + 1, at, m.capturedLength(), lineAround(text, lineStart)});
    }
    return found;
}

QStringList siteFiles(const QString &folder, const QString &masks, bool subfolders)
{
    static const QRegularExpression separators(u"[;,\\s]+"_s);
    QStringList filters = masks.split(separators, Qt::SkipEmptyParts);
    if (filters.isEmpty())
        filters << u"*"_s;
    QStringList files;
    QDirIterator it(folder, filters, QDir::Files | QDir::Hidden | QDir::NoSymLinks,
                    subfolders ? QDirIterator::Subdirectories : QDirIterator::NoIteratorFlags);
    while (it.hasNext())
        files << it.next();
    std::sort(files.begin(), files.end());
    return files;
}

FileSearchResult searchFile(const QString &path, const QRegularExpression &pattern)
{
    FileSearchResult result;
    result.path = path;
    const TextFileResult file = readDocumentFile(path);
    if (!file.ok) {
        result.skipped = file.error;
        return result;
    }
    if (file.binary) {
        result.skipped = u"přeskočeno: soubor není text"_s;
        return result;
    }
    result = searchText(path, file.text, pattern);
    result.encoding = file.encoding;
    result.lineEnding = file.lineEnding;
    return result;
}

FileSearchResult searchText(const QString &path, const QString &text, const QRegularExpression &pattern)
{
    FileSearchResult result;
    result.path = path;
    result.fingerprint = textFingerprint(text);
    result.matches = findMatches(text, pattern);
    return result;
}

QList<FileSearchResult> searchFiles(const QStringList &paths, const QRegularExpression &pattern,
                                    const std::atomic_bool &stop, const std::function<void(int done)> &progress)
{
    std::vector<FileSearchResult> results(size_t(paths.size()));
    std::vector<char> searched(size_t(paths.size()), 0);
    std::atomic_int next = 0, done = 0;
    auto work = [&](bool reporting) {
        for (int i = next++; i < paths.size() && !stop; i = next++) {
            results[size_t(i)] = searchFile(paths[i], pattern);
            searched[size_t(i)] = 1;
            ++done;
            if (reporting && progress)
                progress(done);
        }
    };
    const int workers = std::clamp(QThread::idealThreadCount(), 1, 8);
    std::vector<std::thread> threads;
    for (int w = 1; w < workers; ++w)
        threads.emplace_back(work, false);
    work(true);
    for (std::thread &t : threads)
        t.join();
    if (progress)
        progress(done);
    QList<FileSearchResult> list;
    for (size_t i = 0; i < results.size(); ++i) {
        if (searched[i])
            list.append(std::move(results[i]));
    }
    return list;
}

QList<MatchReplacement> matchReplacements(QStringView text, const SearchPattern &pattern,
                                          const QString &replacement)
{
    QList<MatchReplacement> list;
    QRegularExpressionMatchIterator it = pattern.expression.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        if (m.capturedLength() == 0)
            continue;
        list.append({m.capturedStart(), m.capturedLength(),
                     pattern.regularExpression ? expanded(m, replacement) : replacement});
    }
    return list;
}

QString replaceMatches(QStringView text, const SearchPattern &pattern, const QString &replacement, int *count)
{
    const QList<MatchReplacement> replacements = matchReplacements(text, pattern, replacement);
    if (count)
        *count = int(replacements.size());
    return appliedChanges(text, replacements);
}

QString appliedChanges(QStringView text, const QList<MatchReplacement> &changes)
{
    QString out;
    qsizetype from = 0;
    for (const MatchReplacement &r : changes) {
        out += text.sliced(from, r.offset - from);
        out += r.text;
        from = r.offset + r.length;
    }
    out += text.sliced(from);
    return out;
}

bool isWriteProtected(const QString &path)
{
    const QFileInfo info(path);
    constexpr QFileDevice::Permissions anyWrite =
        QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    return info.exists() && (!info.isWritable() || !(info.permissions() & anyWrite));
}

QString writeProtectedMessage(const QString &path)
{
    return u"Soubor %1 je jen pro čtení, nebyl změněn."_s.arg(path);
}

namespace {

std::optional<QString> replacedKeepingLineBreaks(QStringView ownText, const QList<MatchReplacement> &changes,
                                                 LineEnding ending)
{
    QString out;
    out.reserve(ownText.size());
    qsizetype own = 0;  // where the file's text is read
    qsizetype held = 0; // the same place in the text as the editor holds it
    // Walks on to the place held in the editor's text, copying what it passes when asked.
    const auto walkTo = [&](qsizetype target, bool copy) {
        while (held < target && own < ownText.size()) {
            const QChar c = ownText[own];
            qsizetype ownStep = 1, heldStep = 1;
            if (c == u'\r' && own + 1 < ownText.size() && ownText[own + 1] == u'\n')
                ownStep = heldStep = 2;
            else if (c == u'\r' || c == u'\n')
                heldStep = 2;
            if (held + heldStep > target)
                return false;
            if (copy)
                out += ownText.sliced(own, ownStep);
            own += ownStep;
            held += heldStep;
        }
        return held == target;
    };
    const QString newBreak = ending == LineEnding::Lf ? u"\n"_s : ending == LineEnding::Cr ? u"\r"_s : u"\r\n"_s;
    for (const MatchReplacement &c : changes) {
        if (!walkTo(c.offset, true) || !walkTo(c.offset + c.length, false))
            return std::nullopt;
        out += QString(c.text).replace(u"\r\n"_s, newBreak);
    }
    out += ownText.sliced(own);
    return out;
}

} // namespace

RewrittenText rewrittenKeepingLineBreaks(QStringView ownText, const QList<MatchReplacement> &changes,
                                         LineEnding ending)
{
    if (std::optional<QString> kept = replacedKeepingLineBreaks(ownText, changes, ending))
        return {*std::move(kept), LineEnding::CrLf};
    return {appliedChanges(normalizeLineBreaks(ownText), changes), ending};
}

FileReplaceResult replaceInFile(const FileSearchResult &searched, const SearchPattern &pattern,
                                const QString &replacement, const SiteTextWriter &writer)
{
    FileReplaceResult result;
    if (isWriteProtected(searched.path)) {
        result.error = writeProtectedMessage(searched.path);
        return result;
    }
    // The file's own text beside the one searched (CR LF breaks): the changes are made in
    // its own, so a file that mixes its breaks keeps those on the lines nobody changed.
    const GuardedRead read = readGuardedFile(searched.path);
    if (!read.ok()) {
        result.error = read.error;
        return result;
    }
    const std::optional<QString> ownText = decodeText(read.bytes, searched.encoding.encoding);
    if (!ownText) {
        result.error = u"Soubor %1 není v kódování %2."_s.arg(searched.path, encodingName(searched.encoding.encoding));
        return result;
    }
    const QString text = normalizeLineBreaks(*ownText);
    if (textFingerprint(text) != searched.fingerprint) {
        result.error = u"Soubor %1 se od hledání změnil, nebyl přepsán."_s.arg(searched.path);
        result.changedSinceSearch = true;
        return result;
    }
    const QList<MatchReplacement> changes = matchReplacements(text, pattern, replacement);
    if (changes.isEmpty())
        return result;
    const LineEnding ending = searched.lineEnding.value_or(LineEnding::CrLf);
    const RewrittenText rewritten = rewrittenKeepingLineBreaks(*ownText, changes, ending);
    const QString error = writer ? writer(searched.path, rewritten.text, searched.encoding, rewritten.lineEnding)
                                 : writeTextFile(searched.path, rewritten.text, rewritten.lineEnding, searched.encoding);
    if (!error.isEmpty())
        return {0, error, false};
    result.replaced = int(changes.size());
    return result;
}
