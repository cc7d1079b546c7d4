#include "DocumentLifecycle.h"

#include "app/Interaction.h"
#include "app/TForm1.h"
#include "markup/TextFile.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

const QString kOpenFilter =
    u"Html dokumenty (*.html;*.htm;*.htx;*.htt)|*.html;*.htm;*.htx;*.htt|Šablony (*.sab)|*.sab"_s;
const QString kSaveAsFilter = u"Html dokumenty (*.html)|*.html|Šablona (*.htt)|*.htt"_s;

// The backup keeps everything up to and including the last "."; a name without a dot
// gets one, so "README" backs up as "README.bak" rather than as "bak".
QString backupName(const QString &fileName, const QString &extension)
{
    const qsizetype slash = fileName.lastIndexOf(u'/');
    const qsizetype dot = fileName.lastIndexOf(u'.');
    if (dot <= slash)
        return fileName + u'.' + extension;
    return fileName.left(dot + 1) + extension;
}

void makeBackup(const QString &fileName, const QString &extension)
{
    if (!QFile::exists(fileName))
        return;
    const QString backup = backupName(fileName, extension);
    // An existing backup stays; rename on Linux would replace it.
    if (QFileInfo::exists(backup) || QFileInfo(backup).isSymLink())
        return;
    QFile::rename(fileName, backup);
}

} // namespace

bool SaveDocument(TForm1 &window, TForm2 &document)
{
    if (document.isUntitled())
        return SaveDocumentAs(window, document);
    const TSettings &s = window.settings;
    const QString fileName = document.FileName();
    const QString text = document.RichEdit1->GetText();
    if (s.Backup)
        makeBackup(fileName, s.BackupPrip);
    const LineEnding ending = s.FITIP == 1 ? LineEnding::Lf
                              : s.FITIP == 2 ? LineEnding::Cr
                                             : LineEnding::CrLf;
    const QString error = writeTextFile(fileName, text, ending);
    if (!error.isEmpty()) {
        ui().showError(u"Soubor %1 nelze uložit.\r\n%2"_s.arg(fileName, error));
        return false;
    }
    document.RichEdit1->SetModified(false);
    if (s.FindDir)
        Q_EMIT window.fileLocationChanged(fileName);
    window.AddRecentFile(fileName);
    window.RefreshRecentMenu();
    return true;
}

bool SaveDocumentAs(TForm1 &window, TForm2 &document)
{
    QString name = ui().saveFileName(kSaveAsFilter, document.FileName());
    if (name.isEmpty())
        return false;
    if (QFileInfo(name).suffix().isEmpty())
        name += u".html"_s;
    document.setFileName(name);
    return SaveDocument(window, document);
}

void installDocumentCommands(TForm1 &w)
{
    w.saveHandler = [](TForm1 &window, TForm2 &doc) { return SaveDocument(window, doc); };
    auto on = [&w](const char *id, auto slot) {
        QObject::connect(w.action(QLatin1StringView(id)), &QAction::triggered, &w, slot);
    };
    on("FileNew", [&w] { w.NewDocumentWindow(); });
    on("FileOpen", [&w] {
        const QString path = ui().openFileName(kOpenFilter);
        if (!path.isEmpty())
            w.openInNewWindow(path);
    });
    on("FileSave", [&w] {
        if (TForm2 *doc = w.activeDocument())
            SaveDocument(w, *doc);
    });
    on("FileSaveAs", [&w] {
        if (TForm2 *doc = w.activeDocument())
            SaveDocumentAs(w, *doc);
    });
    on("FileClose", [&w] {
        if (TForm2 *doc = w.activeDocument()) {
            if (doc->CloseQuery())
                doc->closeConfirmed();
        }
    });
    on("FileCloseAll", [&w] {
        // Each modified document asks; Cancel keeps that one and the loop goes on.
        for (TForm2 *doc : w.documents()) {
            if (doc->CloseQuery())
                doc->closeConfirmed();
        }
    });
}
