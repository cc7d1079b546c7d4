#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class HtmlDocument;
class Workspace;

// What the main window remembers between searches while it runs; never saved.
struct SearchState
{
    QString findText;
    int findPosition = 0;
    // The page findPosition belongs to; in another window the search goes on from its caret.
    QPointer<const HtmlDocument> findDocument;
    bool findIgnoresCase = false;
    QString replaceText;
    QString replacement;
    int replacePosition = 0;
    bool replaceIgnoresCase = false;
    bool replaceAsks = false;
};

// Starts of the occurrences of needle at or after offset, left to right, not overlapping,
// compared after CzechUpperCase when ignoreCase. Reads the text once.
QList<int> OccurrencesFrom(const HtmlDocument &buffer, int offset, const QString &needle,
                           bool ignoreCase);

// The replace loop over the state's replace text, replacement, options and position:
// asks before each replacement when the state says so, moves past each inserted
// replacement, and leaves the whole run as one undo step.
void RunReplace(HtmlDocument &buffer, SearchState &state);

// The Search menu's find, find next and replace commands with the search state they
// share. Owned by the frame.
class FindReplaceCommands : public QObject
{
    Q_OBJECT

public:
    FindReplaceCommands(Workspace &workspace, QObject *parent);

    void Find();
    void FindNext();
    void Replace();

    SearchState state;

Q_SIGNALS:
    // "Najít další" is usable again after "Najít", and not after a search that found nothing.
    void findNextAvailable(bool available);

private:
    Workspace &m_workspace;
};
