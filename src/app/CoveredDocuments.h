#pragma once

#include <QList>
#include <QPointer>

class MainMenu;
class QAction;
class HtmlDocument;

// Keeps edits away from the documents while the preview covers them: their editors refuse
// every change, and the menu's commands that would change them are greyed until the
// documents show again.
class CoveredDocuments
{
public:
    void setCovered(bool covered, MainMenu &menu, const QList<HtmlDocument *> &documents);

private:
    // The commands greyed while the preview covers the documents.
    QList<QPointer<QAction>> m_greyed;
};
