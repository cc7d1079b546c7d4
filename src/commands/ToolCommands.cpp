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

bool isAddressQuote(QChar c)
{
    return c == u'"' || c == u'\'';
}

// Starts of the occurrences of address that are an attribute's value in a tag, in whole
// or up to a '#', left to right. The same letters elsewhere are the page's text, or inside
// another address ("data.html" holds "a.html"): renaming a file must leave them be.
QList<int> addressOccurrences(const QString &text, const QString &address)
{
    QList<int> starts;
    if (address.isEmpty())
        return starts;
    for (qsizetype at = text.indexOf(address); at >= 0;
         at = text.indexOf(address, at + address.size())) {
        // Back from the value: its quote if any, blanks, and the '=' of its attribute.
        qsizetype before = at - 1;
        const QChar quote = before >= 0 && isAddressQuote(text[before]) ? text[before] : QChar();
        if (!quote.isNull())
            --before;
        while (before >= 0 && text[before].isSpace())
            --before;
        if (before < 0 || text[before] != u'=')
            continue;
        // After it: its closing quote, or the end of an unquoted value; or a fragment.
        const qsizetype end = at + address.size();
        const QChar after = end < text.size() ? text[end] : QChar();
        const bool valueEnds = after == u'#'
                               || (quote.isNull() ? after.isSpace() || after == u'>'
                                                  : after == quote);
        if (!valueEnds)
            continue;
        // "x=a.gif" in the text between tags is no attribute.
        if (text.lastIndexOf(u'<', before) <= text.lastIndexOf(u'>', before))
            continue;
        starts << int(at);
    }
    return starts;
}

// The active document as the link analyser sees it.
class DocumentLinks final : public LinkAnalyzerDocument
{
public:
    explicit DocumentLinks(HtmlDocument &document) : m_document(document) {}

    QString fileName() const override { return m_document.FileName(); }
    QString text() const override { return m_document.GetText(); }

    bool replaceAddress(const QString &find, const QString &replacement) override
    {
        // Only the addresses change: one pass over the text, which keeps the colours of
        // the rest and undoes in one step.
        const QList<int> starts = addressOccurrences(m_document.GetText(), find);
        if (starts.isEmpty() || find == replacement)
            return true;
        if (!m_document.replaceOccurrences(starts, int(find.size()), replacement)) {
            ui().showError(doesNotFitMessage());
            return false;
        }
        return true;
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
