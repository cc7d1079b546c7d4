#include "commands/ToolCommands.h"

#include "commands/Workspace.h"
#include "editor/HtmlDocument.h"
#include "interaction/Interaction.h"
#include "markup/GuardedFile.h"
#include "markup/SysUt.h"
#include "tools/DownloadTime.h"
#include "tools/LinkAnalyzer.h"

using namespace Qt::StringLiterals;

namespace {

// Starts of the occurrences of find, left to right, not overlapping.
QList<int> occurrences(const QString &text, const QString &find)
{
    QList<int> starts;
    for (qsizetype at = text.indexOf(find); at >= 0; at = text.indexOf(find, at + find.size()))
        starts << int(at);
    return starts;
}

// The active document as the link analyser sees it.
class DocumentLinks final : public LinkAnalyzerDocument
{
public:
    explicit DocumentLinks(HtmlDocument &document) : m_document(document) {}

    QString fileName() const override { return m_document.FileName(); }
    QString text() const override { return m_document.GetText(); }

    bool replaceEverywhere(const QString &find, const QString &replacement) override
    {
        HtmlDocument &buffer = m_document;
        const QString text = buffer.GetText();
        const QString result = ReplaceAll(text, find, replacement);
        if (result == text)
            return true;
        // Usually the result is one pass over the text: replacing just the occurrences
        // keeps the colours of the rest. A replacement that forms new occurrences with its
        // neighbours is searched again, and the whole text is set.
        bool done = false;
        if (ReplaceEach(text, find, replacement) == result)
            done = buffer.replaceOccurrences(occurrences(text, find), int(find.size()), replacement);
        else if (fitsInDocument(result.size())) {
            buffer.SetText(result);
            done = true;
        }
        if (!done) {
            ui().showError(doesNotFitMessage());
        }
        return done;
    }

private:
    HtmlDocument &m_document;
};

} // namespace

void RunLinkAnalyzer(Workspace &workspace)
{
    HtmlDocument *document = workspace.activeDocument();
    if (!document)
        return;
    DocumentLinks links(*document);
    TForm36 analyzer(links, workspace.dialogParent());
    ui().exec(analyzer);
}

void RunDownloadTimes(Workspace &workspace)
{
    TBandwichBuster calculator(workspace.dialogParent());
    ui().exec(calculator);
}
