#include "commands/Preview.h"

#include "commands/DocumentLifecycle.h"
#include "commands/Workspace.h"
#include "editor/HtmlDocument.h"
#include "interaction/Interaction.h"
#include "markup/SysUt.h"
#include "preview/TPreview.h"
#include "preview/WebBrowser.h"
#include "settings/TSettings.h"

#include <QApplication>
#include <QFileInfo>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace {

bool hasText(const HtmlDocument *document)
{
    return document && document->textLength() > 0;
}

// Shows the document's file in the external browser. An untitled document has no file
// to show, so nothing is started for it.
void launchExternal(Workspace &ws, bool shiftHeld, bool allowDde)
{
    HtmlDocument *doc = ws.activeDocument();
    if (!doc)
        return;
    PreviewSaveStep(ws, *doc);
    if (doc->isUntitled())
        return;
    const QString file = doc->FileName();
    const TSettings &s = ws.settings();
    if (shiftHeld || s.ExtBrow.isEmpty()) {
        ShellOpen(file);
        return;
    }
    const QString program = externalBrowserProgram(s.ExtBrow);
    if (program.isEmpty()) {
        ui().showError(u"Soubor definovaný jako extrní prohlížeč neexistuje!"_s);
        return;
    }
    if (allowDde && s.UseDDE)
        DdeOpenUrl(file, program);
    else
        ShellRun(program, file, QFileInfo(program).absolutePath());
}

TPreview *ensurePreviewWindow(Workspace &ws)
{
    if (TPreview *existing = previewWindow(ws)) {
        ws.showChildWindow(existing);
        return existing;
    }
    auto *window = new TPreview;
    QObject::connect(window, &TPreview::closing, ws.dialogParent(),
                     [&ws] { ws.previewWindowChanged(false); });
    ws.showChildWindow(window);
    ws.previewWindowChanged(true);
    return window;
}

} // namespace

void PreviewSaveStep(Workspace &ws, HtmlDocument &document)
{
    if (ws.settings().Ulpre) {
        SaveDocument(ws, document);
        return;
    }
    if (document.IsModified()
        && ui().ask(u"Soubor nebyl uložen, přejete si jej uložit? "_s,
                    Interaction::Buttons::YesNoCancel)
               == Interaction::Answer::Yes)
        SaveDocument(ws, document);
}

bool ChangePreviewTab(Workspace &ws, int index)
{
    HtmlDocument *doc = ws.activeDocument();
    if (index == DocumentTab) {
        // Never refused: whatever happened to the documents, the way back stays open.
        if (!ws.documentAreaCovered())
            return true;
        if (hasText(doc))
            PreviewSaveStep(ws, *doc);
        ws.setDocumentAreaCovered(false);
        if (ws.settings().HidePrew)
            ws.showSidePanel(true);
        return true;
    }
    if (!hasText(doc))
        return false;
    PreviewSaveStep(ws, *doc);
    if (doc->isUntitled())
        return false;
    if (WebBrowser *browser = ws.documentAreaBrowser())
        browser->navigate(doc->FileName());
    if (!ws.documentAreaCovered()) {
        if (ws.settings().HidePrew)
            ws.showSidePanel(false);
        ws.setDocumentAreaCovered(true);
    }
    return true;
}

void ExternalPreview(Workspace &ws)
{
    launchExternal(ws, false, false);
}

void ExternalPreviewButton(Workspace &ws, bool shiftHeld)
{
    launchExternal(ws, shiftHeld, true);
}

QString externalBrowserProgram(const QString &extBrow)
{
    const QFileInfo info(extBrow);
    if (info.isFile() && info.isExecutable())
        return info.absoluteFilePath();
    if (!extBrow.isEmpty() && !extBrow.contains(u'/'))
        return QStandardPaths::findExecutable(extBrow);
    return {};
}

TPreview *previewWindow(Workspace &ws)
{
    // Without a frame to belong to, a preview window is a window of its own.
    QList<TPreview *> windows;
    if (QWidget *parent = ws.dialogParent()) {
        windows = parent->findChildren<TPreview *>();
    } else {
        const QWidgetList shown = QApplication::topLevelWidgets();
        for (QWidget *w : shown) {
            if (auto *preview = qobject_cast<TPreview *>(w))
                windows << preview;
        }
    }
    for (TPreview *w : windows) {
        if (!w->isClosing())
            return w;
    }
    return nullptr;
}

TPreview *ShowPreviewWindow(Workspace &ws)
{
    HtmlDocument *doc = ws.activeDocument();
    TPreview *window = ensurePreviewWindow(ws);
    if (!hasText(doc))
        return window;
    PreviewSaveStep(ws, *doc);
    // An untitled document has no file on disk to show.
    if (!doc->isUntitled()) {
        window->openAddress(doc->FileName());
        window->setWindowTitle(u"Preview "_s + doc->FileName());
    }
    window->WebBrowser1->setFocus();
    ws.showChildWindow(window);
    return window;
}

TPreview *ShowHelpInPreviewWindow(Workspace &ws, const QString &path)
{
    TPreview *window = ensurePreviewWindow(ws);
    window->openAddress(path);
    window->setWindowTitle(u"Nápověda Brisko HTML Editoru"_s);
    return window;
}

QString previewWindowMenuCaption(bool open)
{
    return open ? u"Obnovit v okně prohlížeče"_s : u"Samostatné okno s prohlížečem"_s;
}
