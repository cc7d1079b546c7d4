#include "tools/SiteCheck.h"

#include "markup/PageReferences.h"
#include "markup/TextFile.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QThread>
#include <QUrl>

#include <algorithm>
#include <vector>

using namespace Qt::StringLiterals;

bool isSitePage(const QString &fileName)
{
    static const QStringList suffixes{u"htm"_s, u"html"_s, u"shtml"_s, u"php"_s, u"asp"_s,
                                      u"htx"_s, u"htt"_s, u"sab"_s};
    return suffixes.contains(QFileInfo(fileName).suffix(), Qt::CaseInsensitive);
}

bool isStyleSheet(const QString &fileName)
{
    return QFileInfo(fileName).suffix().compare(u"css"_s, Qt::CaseInsensitive) == 0;
}

SitePageText readSitePage(const QString &path)
{
    const TextFileResult file = readDocumentFile(path);
    return {file.ok, file.text, file.encoding, file.error,
            file.lineEnding.value_or(LineEnding::CrLf), file.binary};
}

QList<SiteFinding> SiteReport::findingsOf(SiteFindingKind kind) const
{
    QList<SiteFinding> found;
    for (const SiteFinding &f : findings) {
        if (f.kind == kind)
            found << f;
    }
    return found;
}

int SiteReport::faultCount() const
{
    return int(std::count_if(findings.begin(), findings.end(), [](const SiteFinding &f) {
        return f.kind == SiteFindingKind::Broken || f.kind == SiteFindingKind::CaseMismatch;
    }));
}

namespace {

QString joined(const QString &folder, const QString &name)
{
    return folder.isEmpty() ? name : folder + u'/' + name;
}

QString parentOf(const QString &relative)
{
    const qsizetype slash = relative.lastIndexOf(u'/');
    return slash < 0 ? QString() : relative.left(slash);
}

// Every file and folder under the home directory by its path relative to it, and the
// same paths case-folded, so a reference is looked up both ways without touching the disk.
struct SiteIndex
{
    QHash<QString, qint64> files;
    QSet<QString> folders{QString()};
    QHash<QString, QStringList> folded;

    void add(const QString &relative)
    {
        folded[relative.toCaseFolded()] << relative;
    }

    // Hidden entries are left out, as the upload leaves them; linked folders are not
    // entered, so a link loop cannot hold the check.
    void walk(const QString &home, const QString &relative)
    {
        QDirIterator it(relative.isEmpty() ? home : home + relative,
                        QDir::AllEntries | QDir::NoDotAndDotDot);
        while (it.hasNext()) {
            it.next();
            const QFileInfo info = it.fileInfo();
            const QString path = joined(relative, info.fileName());
            if (info.isDir()) {
                folders.insert(path);
                add(path);
                if (!info.isSymLink())
                    walk(home, path);
            } else if (info.isFile()) {
                files.insert(path, info.size());
                add(path);
            }
        }
    }

    bool exists(const QString &relative) const
    {
        return files.contains(relative) || folders.contains(relative);
    }
};

// One page or style sheet as read.
struct ScannedDocument
{
    QString path;
    bool sheet = false;
    bool read = false;
    QString error;
    QList<PageReference> references;
    QList<QPair<int, int>> places; // line and column of each reference
    QStringList anchors;
};

// What a reference leads to.
struct Target
{
    QString path;  // the file or folder on disk, relative to the home directory
    bool folder = false;
    std::vector<std::pair<int, QString>> recased; // written segment, its name on disk
};

QStringList folderSegments(const QString &relative)
{
    QStringList segments = relative.split(u'/', Qt::SkipEmptyParts);
    if (!segments.isEmpty())
        segments.removeLast();
    return segments;
}

// The written reference with the segments named in recased replaced by their names on
// disk. A segment written with %XX or an entity is written anew, percent-encoded.
QString recasedReference(const QString &written, const std::vector<std::pair<int, QString>> &recased)
{
    qsizetype end = written.size();
    for (QChar stop : {u'#', u'?'}) {
        const qsizetype at = written.indexOf(stop);
        if (at >= 0)
            end = std::min(end, at);
    }
    QStringList parts;
    QList<QChar> separators;
    qsizetype from = 0;
    for (qsizetype i = 0; i < end; ++i) {
        if (written[i] == u'/' || written[i] == u'\\') {
            parts << written.sliced(from, i - from);
            separators << written[i];
            from = i + 1;
        }
    }
    parts << written.sliced(from, end - from);
    for (const auto &[index, name] : recased) {
        if (index < 0 || index >= parts.size())
            continue;
        const QString &part = parts[index];
        parts[index] = part.contains(u'%') || part.contains(u'&')
                           ? QString::fromLatin1(QUrl::toPercentEncoding(name))
                           : name;
    }
    QString out = parts.first();
    for (qsizetype i = 1; i < parts.size(); ++i)
        out += separators[i - 1] + parts[i];
    return out + written.sliced(end);
}

class Checker
{
public:
    Checker(const SiteCheckOptions &options, const std::function<bool(int, int)> &progress)
        : m_progress(progress)
    {
        m_home = QDir::fromNativeSeparators(options.home);
        if (!m_home.endsWith(u'/'))
            m_home += u'/';
        m_report.home = m_home;
        const QDir home(m_home);
        for (const QString &entry : options.entryPages) {
            const QString path = QDir::fromNativeSeparators(entry);
            m_entryPages.insert(QFileInfo(path).isAbsolute() ? home.relativeFilePath(path) : path);
        }
    }

    SiteReport run()
    {
        m_index.walk(m_home, QString());
        m_report.files = int(m_index.files.size());
        if (!readDocuments())
            m_report.stopped = true;
        for (const ScannedDocument &doc : m_documents)
            checkDocument(doc);
        if (!m_report.stopped)
            findOrphans();
        weighPages();
        std::stable_sort(m_report.findings.begin(), m_report.findings.end(),
                         [](const SiteFinding &a, const SiteFinding &b) {
                             if (a.kind != b.kind)
                                 return a.kind < b.kind;
                             if (a.page != b.page)
                                 return a.page < b.page;
                             return a.offset < b.offset;
                         });
        return m_report;
    }

private:
    bool readDocuments()
    {
        QStringList paths;
        for (auto it = m_index.files.cbegin(); it != m_index.files.cend(); ++it) {
            if (isSitePage(it.key()) || isStyleSheet(it.key()))
                paths << it.key();
        }
        paths.sort();
        m_documents.reserve(paths.size());
        int done = 0;
        for (const QString &path : paths) {
            if (m_progress && !m_progress(done, int(paths.size())))
                return false;
            m_documents.push_back(scan(path));
            m_byPath.insert(path, int(m_documents.size() - 1));
            if (!m_documents.back().sheet)
                ++m_report.pages;
            ++done;
        }
        if (m_progress)
            m_progress(done, int(paths.size()));
        return true;
    }

    ScannedDocument scan(const QString &path) const
    {
        ScannedDocument doc;
        doc.path = path;
        doc.sheet = isStyleSheet(path);
        const SitePageText page = readSitePage(m_home + path);
        if (!page.ok) {
            doc.error = page.error;
            return doc;
        }
        doc.read = true;
        if (doc.sheet) {
            doc.references = scanStyleText(page.text);
        } else {
            PageScan scan = scanPage(page.text);
            doc.references = std::move(scan.references);
            doc.anchors = std::move(scan.anchors);
        }
        const LineIndex lines(page.text);
        doc.places.reserve(doc.references.size());
        for (const PageReference &ref : doc.references)
            doc.places.append({lines.line(ref.offset), lines.column(ref.offset)});
        return doc;
    }

    void add(SiteFindingKind kind, const ScannedDocument &doc, qsizetype index, const QString &detail,
             const QString &fixed = {})
    {
        SiteFinding f;
        f.kind = kind;
        f.page = doc.path;
        if (index >= 0) {
            const PageReference &ref = doc.references[index];
            f.line = doc.places[index].first;
            f.column = doc.places[index].second;
            f.offset = ref.offset;
            f.reference = ref.value;
        }
        f.detail = detail;
        f.fixed = fixed;
        m_report.findings << f;
    }

    // Finds the written path on disk segment by segment: exactly, or else ignoring case.
    bool locate(const std::vector<PathSegment> &segments, Target &target, QString &missing) const
    {
        QString current;
        for (const PathSegment &segment : segments) {
            const QString exact = joined(current, segment.name);
            if (m_index.exists(exact)) {
                current = exact;
                continue;
            }
            QStringList candidates = m_index.folded.value(exact.toCaseFolded());
            candidates.erase(std::remove_if(candidates.begin(), candidates.end(),
                                            [&current](const QString &c) { return parentOf(c) != current; }),
                             candidates.end());
            if (candidates.isEmpty()) {
                missing = exact;
                return false;
            }
            candidates.sort();
            current = candidates.first();
            target.recased.emplace_back(segment.written, current.section(u'/', -1));
        }
        target.path = current;
        target.folder = m_index.folders.contains(current);
        return true;
    }

    void checkDocument(const ScannedDocument &doc)
    {
        if (!doc.read) {
            add(SiteFindingKind::Broken, doc, -1, u"Stránku nelze přečíst: "_s + doc.error);
            return;
        }
        const QStringList folder = folderSegments(doc.path);
        for (qsizetype i = 0; i < doc.references.size(); ++i)
            checkReference(doc, i, folder);
    }

    void checkReference(const ScannedDocument &doc, qsizetype index, const QStringList &folder)
    {
        const PageReference &ref = doc.references[index];
        const ParsedReference parsed = parseReference(ref.value);
        switch (parsed.form) {
        case ReferenceForm::Empty:
            return;
        case ReferenceForm::External:
            add(SiteFindingKind::External, doc, index,
                parsed.scheme.isEmpty() ? u"jiný počítač"_s : parsed.scheme + u':');
            return;
        case ReferenceForm::FileUrl:
            add(SiteFindingKind::Outside, doc, index, u"adresa file: vede na disk tohoto počítače"_s);
            return;
        case ReferenceForm::DrivePath:
            add(SiteFindingKind::Outside, doc, index, u"cesta na disk Windows"_s);
            return;
        case ReferenceForm::InPage:
            checkAnchor(doc, index, doc, parsed.fragment);
            return;
        case ReferenceForm::Local:
            break;
        }
        QStringList base = parsed.fromRoot ? QStringList() : folder;
        if (!ref.base.isEmpty() && !parsed.fromRoot) {
            const ParsedReference codebase = parseReference(ref.base);
            std::vector<PathSegment> baseSegments;
            if (codebase.form == ReferenceForm::Local
                && resolveSegments(codebase.fromRoot ? QStringList() : folder, codebase.path,
                                   baseSegments)) {
                base.clear();
                for (const PathSegment &s : baseSegments)
                    base << s.name;
            }
        }
        std::vector<PathSegment> segments;
        if (!resolveSegments(base, parsed.path, segments)) {
            add(SiteFindingKind::Outside, doc, index, u"vede nad domovský adresář"_s);
            return;
        }
        if (!parsed.fromRoot && !ref.base.isEmpty()) {
            // Segments under a code base are not the written ones: nothing to re-case.
            for (PathSegment &s : segments)
                s.written = -1;
        }
        Target target;
        QString missing;
        const bool found = locate(segments, target, missing);
        if (found)
            markReferenced(doc, target);
        if (parsed.backslash) {
            // Only Windows reads "\" as a folder separator; the server looks for a name
            // with a backslash in it.
            add(SiteFindingKind::Outside, doc, index,
                found ? u"zpětné lomítko: funguje jen ve Windows"_s
                      : u"zpětné lomítko, soubor neexistuje"_s);
            return;
        }
        if (!found) {
            add(SiteFindingKind::Broken, doc, index, u"neexistuje: "_s + missing);
            return;
        }
        if (!target.recased.empty()) {
            add(SiteFindingKind::CaseMismatch, doc, index, target.path,
                recasedReference(ref.value, target.recased));
            return;
        }
        if (parsed.hasFragment && !parsed.fragment.isEmpty()) {
            const auto page = m_byPath.constFind(target.path);
            if (page != m_byPath.cend() && !m_documents[*page].sheet)
                checkAnchor(doc, index, m_documents[*page], parsed.fragment);
        }
    }

    void checkAnchor(const ScannedDocument &doc, qsizetype index, const ScannedDocument &target,
                     const QString &name)
    {
        if (name.isEmpty() || doc.sheet || !target.read || target.anchors.contains(name))
            return;
        // Browsers scroll to the top for "#top" when no anchor has that name.
        if (name.compare(u"top"_s, Qt::CaseInsensitive) == 0)
            return;
        const auto other = std::find_if(target.anchors.begin(), target.anchors.end(),
                                        [&name](const QString &a) {
                                            return a.compare(name, Qt::CaseInsensitive) == 0;
                                        });
        add(SiteFindingKind::Broken, doc, index,
            other == target.anchors.end()
                ? u"kotva „%1“ na stránce %2 není"_s.arg(name, target.path)
                : u"kotva „%1“ na stránce %2 je zapsána jako „%3“"_s.arg(name, target.path, *other));
    }

    void markReferenced(const ScannedDocument &doc, const Target &target)
    {
        if (target.folder) {
            // A folder is served by its index page.
            for (const QString &index : {u"index.html"_s, u"index.htm"_s}) {
                const QString page = joined(target.path, index);
                if (m_index.files.contains(page) && page != doc.path)
                    m_referenced.insert(page);
            }
            return;
        }
        if (target.path != doc.path)
            m_referenced.insert(target.path);
    }

    void findOrphans()
    {
        QStringList paths = m_index.files.keys();
        paths.sort();
        for (const QString &path : paths) {
            if (m_referenced.contains(path) || m_entryPages.contains(path)
                || path == u"index.html"_s || path == u"index.htm"_s)
                continue;
            SiteFinding f;
            f.kind = SiteFindingKind::Orphan;
            f.page = path;
            f.detail = QString::number(m_index.files.value(path)) + u" B"_s;
            m_report.findings << f;
        }
    }

    // The files that load with the document: found references marked embedded, the
    // folder's index pages left out.
    QStringList loadsOf(const ScannedDocument &doc) const
    {
        QStringList loads;
        const QStringList folder = folderSegments(doc.path);
        for (const PageReference &ref : doc.references) {
            if (!ref.embedded && !doc.sheet)
                continue;
            const ParsedReference parsed = parseReference(ref.value);
            if (parsed.form != ReferenceForm::Local)
                continue;
            std::vector<PathSegment> segments;
            if (!resolveSegments(parsed.fromRoot ? QStringList() : folder, parsed.path, segments))
                continue;
            Target target;
            QString missing;
            if (locate(segments, target, missing) && !target.folder)
                loads << target.path;
        }
        return loads;
    }

    void weighPages()
    {
        QHash<QString, QStringList> loads;
        for (const ScannedDocument &doc : m_documents)
            loads.insert(doc.path, loadsOf(doc));
        for (const ScannedDocument &doc : m_documents) {
            if (doc.sheet)
                continue;
            QSet<QString> counted{doc.path};
            std::vector<QString> pending{doc.path};
            PageWeight weight;
            weight.page = doc.path;
            weight.bytes = m_index.files.value(doc.path);
            weight.files = 1;
            while (!pending.empty()) {
                const QString from = pending.back();
                pending.pop_back();
                for (const QString &file : loads.value(from)) {
                    if (counted.contains(file))
                        continue;
                    counted.insert(file);
                    weight.bytes += m_index.files.value(file);
                    ++weight.files;
                    // Frames and style sheets bring their own loads.
                    if (loads.contains(file))
                        pending.push_back(file);
                }
            }
            m_report.weights << weight;
        }
        std::stable_sort(m_report.weights.begin(), m_report.weights.end(),
                         [](const PageWeight &a, const PageWeight &b) { return a.bytes > b.bytes; });
    }

    const std::function<bool(int, int)> &m_progress;
    QString m_home;
    QSet<QString> m_entryPages;
    SiteIndex m_index;
    std::vector<ScannedDocument> m_documents;
    QHash<QString, int> m_byPath;
    QSet<QString> m_referenced;
    SiteReport m_report;
};

} // namespace

SiteReport checkSite(const SiteCheckOptions &options,
                     const std::function<bool(int done, int total)> &progress)
{
    return Checker(options, progress).run();
}

SiteCheckRunner::SiteCheckRunner(SiteCheckOptions options, QObject *parent)
    : QObject(parent)
    , m_options(std::move(options))
{
}

SiteCheckRunner::~SiteCheckRunner()
{
    if (m_thread) {
        m_stop = true;
        m_thread->wait();
        delete m_thread;
    }
}

bool SiteCheckRunner::isRunning() const
{
    return m_thread && m_thread->isRunning();
}

void SiteCheckRunner::start()
{
    if (m_thread)
        return;
    m_thread = QThread::create([this] {
        m_report = checkSite(m_options, [this](int done, int total) {
            // A signal per hundredth is enough for a progress bar.
            const int shown = total > 0 ? int(qint64(done) * 100 / total) : 100;
            if (m_lastShown.exchange(shown) != shown) {
                QMetaObject::invokeMethod(
                    this, [this, done, total] { Q_EMIT progressed(done, total); },
                    Qt::QueuedConnection);
            }
            return !m_stop.load();
        });
    });
    connect(m_thread, &QThread::finished, this, [this] { Q_EMIT finished(); });
    m_thread->start();
}
