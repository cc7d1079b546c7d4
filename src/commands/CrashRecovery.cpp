#include "commands/CrashRecovery.h"

#include "commands/Workspace.h"
#include "editor/Colorize.h"
#include "editor/HtmlDocument.h"
#include "settings/TSettings.h"
#include "interaction/Interaction.h"
#include "markup/GuardedFile.h"
#include "markup/RecoveryStore.h"

#include <QFile>
#include <QTimer>

using namespace Qt::StringLiterals;

CrashRecovery::CrashRecovery(RecoveryStore &store, QObject *parent)
    : QObject(parent)
    , m_store(store)
{
    m_writer.setMaxThreadCount(1);
}

CrashRecovery::~CrashRecovery()
{
    m_writer.waitForDone();
}

void CrashRecovery::watch(HtmlDocument &document)
{
    Watched watched;
    watched.number = m_nextNumber++;
    watched.pause = new QTimer(this);
    watched.pause->setSingleShot(true);
    watched.pause->setInterval(PauseMs);
    watched.longest = new QTimer(this);
    watched.longest->setSingleShot(true);
    watched.longest->setInterval(LongestMs);
    HtmlDocument *doc = &document;
    connect(watched.pause, &QTimer::timeout, this, [this, doc] { writeNow(*doc); });
    connect(watched.longest, &QTimer::timeout, this, [this, doc] { writeNow(*doc); });
    m_watched[doc] = watched;

    QTextDocument *text = document.textDocument();
    connect(text, &QTextDocument::contentsChanged, this, [this, doc] { textChanged(doc); });
    connect(text, &QTextDocument::modificationChanged, this,
            [this, doc](bool modified) { modificationChanged(doc, modified); });
    // A closed document may live on a moment (until the event loop deletes it); its copy
    // goes at once.
    connect(&document, &HtmlDocument::closed, this, [this, doc] { forget(doc); });
    connect(&document, &QObject::destroyed, this, &CrashRecovery::forget);
}

void CrashRecovery::textChanged(HtmlDocument *document)
{
    const auto it = m_watched.find(document);
    if (it == m_watched.end() || !document->IsModified())
        return;
    it->second.pause->start();
    // The longest wait starts with the first change not yet copied and is not pushed back.
    if (!it->second.longest->isActive())
        it->second.longest->start();
}

void CrashRecovery::modificationChanged(HtmlDocument *document, bool modified)
{
    if (modified)
        textChanged(document);
    else
        writeNow(*document); // saved: the copy goes
}

void CrashRecovery::writeNow(HtmlDocument &document)
{
    const auto it = m_watched.find(&document);
    if (it == m_watched.end())
        return;
    it->second.pause->stop();
    it->second.longest->stop();
    const QString path = m_store.copyPath(it->second.number);
    if (!document.IsModified()) {
        queueDelete(path);
        return;
    }
    RecoveryCopy copy;
    copy.fileName = document.FileName();
    copy.slot = document.SlotIndex;
    copy.encoding = document.encoding();
    copy.lineEnding = document.lineEnding();
    copy.caret = document.SelStart();
    // The raw text shares the document's buffer; turning its paragraph marks into CR LF
    // and encoding it happen on the writer thread.
    QString raw = document.textDocument()->toRawText();
    m_writer.start([copy = std::move(copy), raw = std::move(raw), path]() mutable {
        raw.replace(QChar::ParagraphSeparator, u"\r\n"_s);
        copy.text = std::move(raw);
        commitFile(path, serializeRecoveryCopy(copy));
    });
}

void CrashRecovery::queueDelete(const QString &path)
{
    m_writer.start([path] { QFile::remove(path); });
}

void CrashRecovery::forget(QObject *document)
{
    const auto it = m_watched.find(document);
    if (it == m_watched.end())
        return;
    // A closed window's text is either saved or given up: its copy goes.
    queueDelete(m_store.copyPath(it->second.number));
    delete it->second.pause;
    delete it->second.longest;
    m_watched.erase(it);
}

void CrashRecovery::waitForWrites()
{
    m_writer.waitForDone();
}

namespace {

QString describe(const RecoveryCopy &copy)
{
    if (copy.fileName == HtmlDocument::Untitled)
        return u"%1 (okno %2)"_s.arg(HtmlDocument::Untitled).arg(copy.slot);
    return copy.fileName;
}

} // namespace

int offerRecovery(Workspace &workspace, RecoveryStore &store, CrashRecovery &recovery,
                  bool *offered)
{
    const QList<RecoveryCopy> copies = store.claimLeftCopies();
    if (offered)
        *offered = !copies.isEmpty();
    if (copies.isEmpty()) {
        store.discardClaimed(); // cut copies nobody can restore
        return 0;
    }
    QString text = u"Program minule neskončil správně. Zůstaly kopie neuložených dokumentů:\r\n\r\n"_s;
    for (const RecoveryCopy &copy : copies)
        text += u"    "_s + describe(copy) + u"\r\n"_s;
    text += u"\r\nObnovit je? (Později: zeptám se při příštím spuštění.)"_s;
    const int answer = ui().choose(text, {u"Obnovit"_s, u"Zahodit"_s, u"Později"_s});
    if (answer == 1) {
        store.discardClaimed();
        return 0;
    }
    if (answer != 0) {
        store.releaseClaimed();
        return 0;
    }
    int restored = 0;
    for (const RecoveryCopy &copy : copies) {
        // The page may be open already, unchanged from its file: the start was given it, or
        // it came over from another start while this question waited. Its copy goes into
        // that window; a second window of one file would save over the first one's work.
        HtmlDocument *document = nullptr;
        if (copy.fileName != HtmlDocument::Untitled) {
            HtmlDocument *open = workspace.documentOf(copy.fileName);
            if (open && !open->IsModified())
                document = open;
        }
        if (!document)
            document = workspace.NewDocumentWindow();
        if (!document)
            break;
        // Under its own name, encoding and line breaks, so saving writes it where it belongs
        // as it was.
        TextFileResult page;
        page.ok = true;
        page.text = copy.text;
        page.encoding = copy.encoding;
        page.lineEnding = copy.lineEnding;
        document->showLoadedText(copy.fileName, page);
        if (workspace.settings().Colorize)
            ColorizeDocument(*document, workspace.settings(),
                             [&workspace](const QString &text) { workspace.setStatusText(3, text); });
        document->SetSelStart(copy.caret);
        document->SetModified(true);
        recovery.writeNow(*document);
        workspace.activateDocument(*document);
        ++restored;
    }
    // The old copies go only once the restored documents have copies of their own.
    recovery.waitForWrites();
    if (restored == copies.size())
        store.discardClaimed();
    else
        store.releaseClaimed();
    return restored;
}
