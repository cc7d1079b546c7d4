#include "tools/SiteCheck.h"

#include "markup/FileReferences.h"
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
#include <cerrno>
#include <utility>
#include <vector>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

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

// The folders a file lies in, from the home directory down.
QStringList folderSegments(const QString &relative)
{
    QStringList segments = relative.split(u'/', Qt::SkipEmptyParts);
    if (!segments.isEmpty())
        segments.removeLast();
    return segments;
}

// Why the system refused a folder or a name, in Czech where it is a matter of rights.
QString systemReason(int error)
{
    if (error == EACCES || error == EPERM)
        return u"přístup odepřen"_s;
    return qt_error_string(error);
}

// Why the folder's entries cannot be listed or reached; empty when they can.
QString unreadableReason(const QString &folder)
{
    const QByteArray name = QFile::encodeName(folder);
    DIR *dir = ::opendir(name.constData());
    if (!dir)
        return systemReason(errno);
    ::closedir(dir);
    // Listed but not entered, its entries are names without a file behind them.
    if (::access(name.constData(), X_OK) != 0)
        return systemReason(errno);
    return {};
}

// What a name that is neither a file nor a folder is, as a reference to it says.
QString notAFile(const QString &path)
{
    struct stat st{};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) {
        const int error = errno;
        if (error == ELOOP)
            return u"smyčka symbolických odkazů"_s;
        if (error == ENOENT)
            return u"symbolický odkaz na neexistující cíl"_s;
        return u"nelze zjistit, co to je (%1)"_s.arg(systemReason(error));
    }
    if (S_ISFIFO(st.st_mode))
        return u"pojmenovaná roura, ne soubor"_s;
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
        return u"zařízení, ne soubor"_s;
    if (S_ISSOCK(st.st_mode))
        return u"soket, ne soubor"_s;
    return u"zvláštní soubor, ne obyčejný"_s;
}

// Every file and folder under the home directory by its path relative to it, and the
// same paths case-folded, so a reference is looked up both ways without touching the disk.
struct SiteIndex
{
    QHash<QString, qint64> files;
    QSet<QString> folders{QString()};
    QHash<QString, QStringList> folded;
    // Names that are no file or folder of the site, with what each is.
    QHash<QString, QString> others;
    // Folders whose entries could not be read, with why; in the order met.
    QList<std::pair<QString, QString>> unreadable;
    QSet<QString> unreadableFolders;
    QString backupExtension;

    void add(const QString &relative)
    {
        folded[relative.toCaseFolded()] << relative;
    }

    void walk(const QString &home)
    {
        QStringList chain{QFileInfo(home).canonicalFilePath()};
        walk(home, QString(), chain);
    }

    // Hidden entries are left out, as the upload leaves them, and so are the editor's own
    // backups and copies. Linked folders are entered as the upload enters them, except one
    // that leads back to a folder it lies in (chain: the folders walked down to here).
    void walk(const QString &home, const QString &relative, QStringList &chain)
    {
        const QString folder = relative.isEmpty() ? home : home + relative;
        if (const QString why = unreadableReason(folder); !why.isEmpty()) {
            unreadable.append({relative, why});
            unreadableFolders.insert(relative);
            return;
        }
        QDirIterator it(folder, QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
        while (it.hasNext()) {
            it.next();
            const QFileInfo info = it.fileInfo();
            const QString path = joined(relative, info.fileName());
            if (info.isDir()) {
                const QString canonical = info.canonicalFilePath();
                if (canonical.isEmpty() || chain.contains(canonical)) {
                    others.insert(path, u"smyčka symbolických odkazů"_s);
                    continue;
                }
                folders.insert(path);
                add(path);
                chain << canonical;
                walk(home, path, chain);
                chain.removeLast();
            } else if (info.isFile()) {
                if (isEditorOwnFile(path, backupExtension))
                    continue;
                files.insert(path, info.size());
                add(path);
            } else {
                others.insert(path, notAFile(info.filePath()));
            }
        }
    }

    bool exists(const QString &relative) const
    {
        return files.contains(relative) || folders.contains(relative);
    }

    // Why a path that was not found is not there.
    QString missingDetail(const QString &missing) const
    {
        if (const auto other = others.constFind(missing); other != others.cend())
            return *other + u": "_s + missing;
        if (unreadableFolders.contains(parentOf(missing)))
            return u"v adresáři, který nelze přečíst: "_s + missing;
        return u"neexistuje: "_s + missing;
    }
};

// Where a page's relative references are read from, by its <BASE HREF>.
struct DocumentBase
{
    enum class Kind {
        Own,      // no base: the page's own folder
        Site,     // a place of the site
        External, // another machine
        Outside,  // this computer's disk, or above the home directory
    };
    Kind kind = Kind::Own;
    QString href;                      // as written
    QString detail;                    // External, Outside: what the base is
    QStringList folder;                // Site: the folder relative references start from
    std::vector<PathSegment> document; // Site: what the base names itself
    bool keepsRoot = true;             // references from "/" still start at the site's root
};

DocumentBase documentBase(const QString &pagePath, const QString &href)
{
    DocumentBase base;
    base.href = href;
    const ParsedReference parsed = parseReference(href);
    switch (parsed.form) {
    case ReferenceForm::Empty:
    case ReferenceForm::InPage:
        return base; // the page's own address
    case ReferenceForm::External:
        base.kind = DocumentBase::Kind::External;
        base.keepsRoot = false;
        return base;
    case ReferenceForm::FileUrl:
    case ReferenceForm::DrivePath:
        base.kind = DocumentBase::Kind::Outside;
        base.detail = parsed.form == ReferenceForm::FileUrl ? u"adresa file: vede na disk tohoto počítače"_s
                                                            : u"cesta na disk Windows"_s;
        base.keepsRoot = false;
        return base;
    case ReferenceForm::Local:
        break;
    }
    std::vector<PathSegment> segments;
    if (!resolveSegments(parsed.fromRoot ? QStringList() : folderSegments(pagePath), parsed.path,
                         segments)) {
        base.kind = DocumentBase::Kind::Outside;
        base.detail = u"vede nad domovský adresář"_s;
        return base;
    }
    base.kind = DocumentBase::Kind::Site;
    for (PathSegment &s : segments) {
        s.written = -1; // the base's segments are not written in the reference
        base.folder << s.name;
    }
    // As in any address, the last name is the document's unless a "/" ends it.
    const QString last = parsed.path.section(u'/', -1);
    if (!base.folder.isEmpty() && !last.isEmpty() && last != u"."_s && last != u".."_s)
        base.folder.removeLast();
    base.document = std::move(segments);
    return base;
}

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
    DocumentBase base;
};

// Where a reference leads, read as a browser reads it on its page.
struct Resolved
{
    enum class Kind { None, InPage, Site, External, Outside };
    Kind kind = Kind::None;
    ParsedReference parsed;
    QString detail;                    // External, Outside: why
    std::vector<PathSegment> segments; // Site: the path from the home directory
};

// What a reference leads to.
struct Target
{
    QString path;  // the file or folder on disk, relative to the home directory
    bool folder = false;
    std::vector<std::pair<int, QString>> recased; // written segment, its name on disk
};

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
        m_index.backupExtension = options.backupExtension;
    }

    SiteReport run()
    {
        m_index.walk(m_home);
        m_report.files = int(m_index.files.size());
        for (const auto &[folder, why] : m_index.unreadable) {
            SiteFinding f;
            f.kind = SiteFindingKind::Broken;
            f.page = folder.isEmpty() ? u"./"_s : folder + u'/';
            f.detail = u"Adresář nelze přečíst: "_s + why;
            m_report.findings << f;
        }
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
            if (scan.baseOffset >= 0)
                doc.base = documentBase(path, scan.base);
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
        for (qsizetype i = 0; i < doc.references.size(); ++i)
            checkReference(doc, i);
    }

    // Reads the reference as its page's browser would: from the page's folder, or from
    // its BASE; an applet's CODEBASE is read from there first.
    Resolved resolve(const ScannedDocument &doc, const PageReference &ref) const
    {
        Resolved r;
        r.parsed = parseReference(ref.value);
        const ParsedReference &parsed = r.parsed;
        const DocumentBase &base = doc.base;
        switch (parsed.form) {
        case ReferenceForm::Empty:
            return r;
        case ReferenceForm::External:
            r.kind = Resolved::Kind::External;
            r.detail = parsed.scheme.isEmpty() ? u"jiný počítač"_s : parsed.scheme + u':';
            return r;
        case ReferenceForm::FileUrl:
            r.kind = Resolved::Kind::Outside;
            r.detail = u"adresa file: vede na disk tohoto počítače"_s;
            return r;
        case ReferenceForm::DrivePath:
            r.kind = Resolved::Kind::Outside;
            r.detail = u"cesta na disk Windows"_s;
            return r;
        case ReferenceForm::InPage:
            // "#name" belongs to the base's address when the page has one.
            if (base.kind == DocumentBase::Kind::Own) {
                r.kind = Resolved::Kind::InPage;
                return r;
            }
            break;
        case ReferenceForm::Local:
            break;
        }
        const bool fromBase = base.kind != DocumentBase::Kind::Own
                              && !(parsed.fromRoot && base.keepsRoot);
        if (fromBase && base.kind == DocumentBase::Kind::External) {
            // Another machine's: listed, never fetched.
            r.kind = Resolved::Kind::External;
            r.detail = u"přes BASE "_s + base.href;
            return r;
        }
        if (fromBase && base.kind == DocumentBase::Kind::Outside) {
            r.kind = Resolved::Kind::Outside;
            r.detail = u"%1 (BASE %2)"_s.arg(base.detail, base.href);
            return r;
        }
        r.kind = Resolved::Kind::Site;
        if (parsed.form == ReferenceForm::InPage) {
            r.segments = base.document;
            return r;
        }
        QStringList from;
        if (!parsed.fromRoot)
            from = fromBase ? base.folder : folderSegments(doc.path);
        if (!ref.base.isEmpty() && !parsed.fromRoot) {
            const ParsedReference codebase = parseReference(ref.base);
            std::vector<PathSegment> baseSegments;
            if (codebase.form == ReferenceForm::Local
                && resolveSegments(codebase.fromRoot ? QStringList() : from, codebase.path,
                                   baseSegments)) {
                from.clear();
                for (const PathSegment &s : baseSegments)
                    from << s.name;
            }
        }
        if (!resolveSegments(from, parsed.path, r.segments)) {
            r.kind = Resolved::Kind::Outside;
            r.detail = fromBase ? u"vede nad domovský adresář (BASE %1)"_s.arg(base.href)
                                : u"vede nad domovský adresář"_s;
            return r;
        }
        if (!parsed.fromRoot && !ref.base.isEmpty()) {
            // Segments under a code base are not the written ones: nothing to re-case.
            for (PathSegment &s : r.segments)
                s.written = -1;
        }
        return r;
    }

    void checkReference(const ScannedDocument &doc, qsizetype index)
    {
        const PageReference &ref = doc.references[index];
        const Resolved r = resolve(doc, ref);
        const ParsedReference &parsed = r.parsed;
        switch (r.kind) {
        case Resolved::Kind::None:
            return;
        case Resolved::Kind::InPage:
            checkAnchor(doc, index, doc, parsed.fragment);
            return;
        case Resolved::Kind::External:
            add(SiteFindingKind::External, doc, index, r.detail);
            return;
        case Resolved::Kind::Outside:
            add(SiteFindingKind::Outside, doc, index, r.detail);
            return;
        case Resolved::Kind::Site:
            break;
        }
        Target target;
        QString missing;
        const bool found = locate(r.segments, target, missing);
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
            add(SiteFindingKind::Broken, doc, index, m_index.missingDetail(missing));
            return;
        }
        if (!target.recased.empty()) {
            // A name the page does not write itself (its BASE's, its CODEBASE's) cannot be
            // mended in the reference.
            const bool writable = std::all_of(target.recased.begin(), target.recased.end(),
                                              [](const auto &r) { return r.first >= 0; });
            add(SiteFindingKind::CaseMismatch, doc, index, target.path,
                writable ? recasedReference(ref.value, target.recased) : QString());
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
        for (const PageReference &ref : doc.references) {
            if (!ref.embedded && !doc.sheet)
                continue;
            const Resolved r = resolve(doc, ref);
            if (r.kind != Resolved::Kind::Site)
                continue;
            Target target;
            QString missing;
            if (locate(r.segments, target, missing) && !target.folder)
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
