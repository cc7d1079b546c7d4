#include "app/Session.h"

#include "app/DocumentManager.h"
#include "app/RecoveryBinding.h"
#include "editor/EditorBuffer.h"
#include "markup/TextFile.h"
#include "settings/TSettings.h"

#include <QFileInfo>
#include <QScrollBar>
#include <QSettings>
#include <QTimer>

#include <algorithm>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

std::unique_ptr<QSettings> openSessionStore(const QString &settingsFile)
{
#ifdef Q_OS_WIN
    if (settingsFile.isEmpty())
        return std::make_unique<QSettings>(u"HKEY_CURRENT_USER\\Software\\BriskoHTMLEditor3.5"_s,
                                           QSettings::NativeFormat);
#endif
    return std::make_unique<QSettings>(settingsFile, QSettings::IniFormat);
}

// Where a reopened page's view stands once its window is laid out.
void restoreView(DocumentManager &documents, HtmlDocument &document, const SessionPage &page)
{
    document.SetSelStart(std::clamp(page.caret, 0, document.textLength()));
    TForm2 *window = documents.window(&document);
    if (!window)
        return;
    // Again once the window is shown: showing it the first time brings the caret into view.
    QScrollBar *bar = window->RichEdit1->verticalScrollBar();
    bar->setValue(page.firstLine);
    QTimer::singleShot(0, bar, [bar, line = page.firstLine] { bar->setValue(line); });
}

// Says which pages did not open once the colours of those that did are in: the colouring's
// own "Hotovo!" would otherwise hide the line at once.
void reportMissingPages(DocumentManager &documents, const QList<HtmlDocument *> &opened,
                        const QStringList &missing)
{
    if (missing.isEmpty())
        return;
    const QString line = u"Stránky z minula se nepodařilo otevřít: "_s + missing.join(u", "_s);
    auto pending = std::make_shared<int>(0);
    auto report = [&documents, line, pending] {
        if (--*pending <= 0)
            documents.setStatusText(3, line);
    };
    for (HtmlDocument *document : opened) {
        if (document->backgroundColouringPending()) {
            ++*pending;
            QObject::connect(document, &HtmlDocument::backgroundColouringFinished, &documents,
                             report, Qt::SingleShotConnection);
        }
    }
    if (*pending == 0)
        documents.setStatusText(3, line);
}

} // namespace

QList<SessionPage> sessionPages(const DocumentManager &documents)
{
    QList<SessionPage> pages;
    for (HtmlDocument *document : documents.documents()) {
        if (document->isUntitled())
            continue;
        SessionPage page;
        page.path = document->FileName();
        page.caret = document->SelStart();
        page.encoding = document->encoding().encoding;
        page.active = document == documents.activeDocument();
        if (TForm2 *window = documents.window(document))
            page.firstLine = window->RichEdit1->verticalScrollBar()->value();
        pages << page;
    }
    return pages;
}

void storeSession(const QString &settingsFile, const QList<SessionPage> &pages)
{
    auto store = openSessionStore(settingsFile);
    store->remove(u"Session"_s);
    store->beginGroup(u"Session"_s);
    store->setValue(u"Count"_s, QString::number(pages.size()));
    for (int i = 0; i < pages.size(); ++i) {
        const SessionPage &page = pages[i];
        const QString n = QString::number(i + 1);
        store->setValue(u"File-"_s + n, page.path);
        store->setValue(u"Caret-"_s + n, QString::number(page.caret));
        store->setValue(u"Line-"_s + n, QString::number(page.firstLine));
        store->setValue(u"Encoding-"_s + n, encodingName(page.encoding));
        if (page.active)
            store->setValue(u"Active"_s, n);
    }
    store->endGroup();
    store->sync();
}

QList<SessionPage> storedSession(const QString &settingsFile)
{
    auto store = openSessionStore(settingsFile);
    store->beginGroup(u"Session"_s);
    QList<SessionPage> pages;
    const int count = store->value(u"Count"_s).toString().toInt();
    const int active = store->value(u"Active"_s).toString().toInt();
    for (int i = 1; i <= count; ++i) {
        const QString n = QString::number(i);
        SessionPage page;
        page.path = store->value(u"File-"_s + n).toString();
        if (page.path.isEmpty())
            continue;
        page.caret = std::max(0, store->value(u"Caret-"_s + n).toString().toInt());
        page.firstLine = std::max(0, store->value(u"Line-"_s + n).toString().toInt());
        const QString encoding = store->value(u"Encoding-"_s + n).toString();
        for (TextEncoding known : knownEncodings()) {
            if (encodingName(known) == encoding)
                page.encoding = known;
        }
        page.active = i == active;
        pages << page;
    }
    return pages;
}

int reopenSession(DocumentManager &documents, const QList<SessionPage> &pages)
{
    QStringList missing;
    QList<HtmlDocument *> opened;
    HtmlDocument *active = nullptr;
    for (const SessionPage &page : pages) {
        // A file open already (twice in the list, or brought back from a crash's copy) stays
        // in its one window: two windows of one file would each save over the other.
        if (HtmlDocument *open = documents.documentOf(page.path)) {
            if (page.active)
                active = open;
            continue;
        }
        // In the encoding the page was shown in, which the user may have chosen; a file that
        // is no longer valid in it is read as any page is.
        TextFileResult file = readDocumentFile(page.path, page.encoding);
        if (!file.ok && !file.refused && QFileInfo::exists(page.path))
            file = readDocumentFile(page.path);
        if (!file.ok) {
            missing << QFileInfo(page.path).fileName();
            continue;
        }
        HtmlDocument *document = documents.openReadFile(page.path, file);
        if (!document)
            break; // every slot is taken
        restoreView(documents, *document, page);
        opened << document;
        if (page.active)
            active = document;
    }
    if (active && active != documents.activeDocument())
        documents.activateDocument(*active);
    reportMissingPages(documents, opened, missing);
    return int(opened.size());
}

void startWithoutFiles(DocumentManager &documents, RecoveryBinding &recovery,
                       const QString &settingsFile)
{
    bool offered = false;
    (void)recovery.offer(&offered);
    if (offered || !documents.settings().ReopenSession)
        return;
    reopenSession(documents, storedSession(settingsFile));
}
