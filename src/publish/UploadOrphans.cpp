// UploadEngine's view of the server: its listings, and the deletion of what
// the server holds and the home directory does not.
#include "publish/UploadEngine.h"

#include "markup/FileReferences.h"
#include "publish/UploadEngineRun.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// Names the server keeps for itself and no upload of a site can have meant, whatever
// the home directory holds.
bool serverOwns(const QString &name)
{
    return name.compare(u".htaccess"_s, Qt::CaseInsensitive) == 0
           || name.compare(u".well-known"_s, Qt::CaseInsensitive) == 0;
}

} // namespace

bool UploadEngine::walkSends(const QString &name, const Options &options)
{
    if (name.startsWith(u'.') || serverOwns(name))
        return false;
    return !options.skipBackups || !isEditorOwnFile(name, options.backupExtension);
}

std::optional<UploadEngine::RemoteDirectory> UploadEngine::listRemote(const QString &remoteDirectory)
{
    EngineQuiet quiet(*this);
    return m_session->listDirectory(remoteDirectory);
}

// ---------------------------------------------------------------------------------------
// Orphans

struct UploadEngine::OrphanScan
{
    QSet<QString> localFiles;
    QSet<QString> localDirectories;
    // Remote twins of these are never touched: a link at home (deletion follows no link,
    // here as on the server) or a directory that could not be read.
    QSet<QString> untouchable;
    QStringList files;
    QStringList directories; // deepest first
    QStringList links;       // remote links, left alone
    QStringList unverified;  // remote directories that could be links, left alone
};

namespace {

// The tree the walk would send, as relative paths; what cannot be followed safely goes
// to the untouchable ones.
void collectLocal(const QString &root, const QString &relative, const UploadEngine::Options &options,
                  QSet<QString> &files, QSet<QString> &directories, QSet<QString> &untouchable)
{
    const QString path = relative.isEmpty() ? root : root + relative;
    const QFileInfo self(path);
    if (!self.isReadable() || !self.isExecutable()) {
        untouchable.insert(relative.isEmpty() ? u"."_s : relative);
        return;
    }
    const QFileInfoList entries =
        QDir(path).entryInfoList(QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot | QDir::System, QDir::NoSort);
    for (const QFileInfo &info : entries) {
        const QString inner = relative.isEmpty() ? info.fileName() : relative + u'/' + info.fileName();
        if (!info.isDir()) {
            files.insert(inner);
            continue;
        }
        if (!options.subdirectories)
            continue;
        if (info.isSymLink()) {
            untouchable.insert(inner);
            continue;
        }
        directories.insert(inner);
        collectLocal(root, inner, options, files, directories, untouchable);
    }
}

} // namespace

QString UploadEngine::trialKey() const
{
    const Options &o = m_run->options;
    return QStringList{m_session->protocol(), m_session->hostName(), m_session->port(), m_session->userName(), m_run->remoteStart,
                       m_run->startLocal, o.subdirectories ? u"1"_s : u"0"_s, o.skipBackups ? u"1"_s : u"0"_s,
                       o.backupExtension}
        .join(u'\n');
}

// One remote directory below the target: its orphans into scan; emptied stays true only
// when everything in it would be deleted.
bool UploadEngine::scanRemote(const QString &relative, OrphanScan &scan, bool &emptied)
{
    const Options &o = m_run->options;
    const QString remoteDirectory = joinRemote(m_run->remoteStart, relative.isEmpty() ? u"."_s : relative);
    const auto listing = listRemote(remoteDirectory);
    if (!listing)
        return false;
    QStringList names = listing->keys();
    std::sort(names.begin(), names.end());
    // MLSD follows links (pyftpdlib lists a link to a directory as a directory): the
    // directories to go into are looked up in LIST too, which shows links as links.
    std::optional<RemoteDirectory> links;
    const bool anyDirectory = std::any_of(names.cbegin(), names.cend(), [&](const QString &name) {
        return listing->value(name).type == u"dir"_s && walkSends(name, o);
    });
    if (anyDirectory && o.subdirectories && !m_session->listingShowsLinks()) {
        EngineQuiet quiet(*this);
        links = m_session->listLinks(remoteDirectory);
    } else if (m_session->listingShowsLinks()) {
        links = listing;
    }
    for (const QString &name : std::as_const(names)) {
        const QString child = relative.isEmpty() ? name : relative + u'/' + name;
        const QString type = listing->value(name).type;
        // What the walk leaves out, a link and a server's own file stay, and so does the
        // directory around them.
        if (!walkSends(name, o)) {
            emptied = false;
            continue;
        }
        if (type == u"link"_s) {
            scan.links << child;
            emptied = false;
            continue;
        }
        if (type == u"file"_s) {
            if (scan.localFiles.contains(child))
                emptied = false;
            else
                scan.files << child;
            continue;
        }
        if (!o.subdirectories || scan.untouchable.contains(child)) {
            emptied = false;
            continue;
        }
        if (links && links->value(name).type == u"link"_s) {
            scan.links << child;
            emptied = false;
            continue;
        }
        if (!links || !links->contains(name) || links->value(name).type != u"dir"_s) {
            scan.unverified << child;
            emptied = false;
            continue;
        }
        bool innerEmptied = true;
        if (!scanRemote(child, scan, innerEmptied))
            return false;
        if (scan.localDirectories.contains(child) || !innerEmptied)
            emptied = false;
        else
            scan.directories << child;
    }
    return true;
}

// After the upload: what the remote target holds and the home directory does not.
void UploadEngine::removeOrphans()
{
    Run &run = *m_run;
    OrphanScan scan;
    collectLocal(run.startLocal, {}, run.options, scan.localFiles, scan.localDirectories, scan.untouchable);
    if (scan.untouchable.contains(u"."_s)) {
        log(u"Domovský adresář nelze přečíst, nic se nemaže"_s);
        return;
    }
    bool emptied = true;
    if (!scanRemote({}, scan, emptied)) {
        log(u"Obsah adresáře na serveru se nepodařilo zjistit, nic se nemaže"_s);
        return;
    }
    for (const QString &link : std::as_const(scan.links))
        log(u"Odkaz na serveru se nemaže: "_s + link);
    for (const QString &directory : std::as_const(scan.unverified))
        log(u"Adresář na serveru může být odkazem, nic se v něm nemaže: "_s + directory);
    const QStringList orphans = scan.files + scan.directories;
    if (run.options.dryRun) {
        for (const QString &relative : orphans)
            log(u"Smazalo by se na serveru: "_s + relative);
        m_trialOrphans.insert(trialKey(), orphans);
        return;
    }
    if (orphans.isEmpty())
        return;
    for (const QString &relative : orphans)
        log(u"Na serveru navíc: "_s + relative);
    if (!confirmOrphans(orphans)) {
        log(u"Soubory navíc zůstaly na serveru"_s);
        return;
    }
    m_trialOrphans.remove(trialKey());
    EngineQuiet quiet(*this);
    int deleted = 0;
    for (const QString &relative : orphans) {
        const QString path = joinRemote(run.remoteStart, relative);
        const bool gone = scan.files.contains(relative) ? m_session->removeFile(path) : m_session->removeDirectory(path);
        if (gone) {
            ++deleted;
        } else {
            log(uploadFailureText());
            log(u"Nesmazáno: "_s + relative);
        }
    }
    log(u"Smazáno na serveru %1 z %2 souborů a adresářů navíc"_s.arg(deleted).arg(orphans.size()));
}

// The list the trial run showed is confirmed once; anything it did not show is named in
// the question before it can go.
bool UploadEngine::confirmOrphans(const QStringList &orphans)
{
    const QStringList trial = m_trialOrphans.value(trialKey());
    QStringList unseen;
    for (const QString &relative : orphans) {
        if (!trial.contains(relative))
            unseen << relative;
    }
    QString text;
    if (unseen.isEmpty()) {
        text = u"Na serveru je %1 souborů a adresářů, které doma nejsou. Smazat je?"_s.arg(orphans.size());
    } else {
        constexpr qsizetype Shown = 20;
        QString names = unseen.mid(0, Shown).join(u'\n');
        if (unseen.size() > Shown)
            names += u"\n… a dalších %1"_s.arg(unseen.size() - Shown);
        text = u"Na serveru je %1 souborů a adresářů, které doma nejsou. Zkušební běh z nich nevypsal %2:\n%3\n\n"
               u"Smazat všech %1?"_s.arg(orphans.size())
                   .arg(unseen.size())
                   .arg(names);
    }
    return m_ask && m_ask(text, {u"Smazat"_s, u"Nemazat"_s}, 1) == 0;
}
