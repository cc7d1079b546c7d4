#pragma once

#include <QObject>
#include <QPointer>
#include <QThreadPool>

#include <map>

class QTimer;
class RecoveryStore;
class HtmlDocument;
class Workspace;

// Keeps a recovery copy of every modified document, so a killed or crashed program loses
// at most the last couple of seconds of typing. The copy is written when typing pauses for
// PauseMs, and at least every LongestMs while it goes on; the text is taken on the UI thread
// (a cheap copy of the document's buffer), everything else happens on a writer thread that
// runs one job at a time, so a copy and its deletion never overtake each other. Saving the
// document or closing it deletes its copy.
class CrashRecovery : public QObject
{
    Q_OBJECT

public:
    static constexpr int PauseMs = 2000;
    static constexpr int LongestMs = 30000;

    explicit CrashRecovery(RecoveryStore &store, QObject *parent = nullptr);
    ~CrashRecovery() override;

    // Follows a document window from now on until it is destroyed.
    void watch(HtmlDocument &document);
    // Queues the document's copy now, as if typing had paused (or deletes it when the
    // document is not modified).
    void writeNow(HtmlDocument &document);
    // Waits until every queued copy is on disk or deleted.
    void waitForWrites();

private:
    struct Watched
    {
        int number = 0;
        QTimer *pause = nullptr;
        QTimer *longest = nullptr;
    };
    void textChanged(HtmlDocument *document);
    void modificationChanged(HtmlDocument *document, bool modified);
    void forget(QObject *document);
    void queueDelete(const QString &path);

    RecoveryStore &m_store;
    QThreadPool m_writer;
    std::map<QObject *, Watched> m_watched;
    int m_nextNumber = 1;
};

// At start: offers the copies left by runs that did not end normally, in one list.
// "Obnovit" opens each in a new window, modified, under its own file name and encoding (a
// page open already and unchanged takes its copy in its own window); "Zahodit" deletes
// them; "Později" keeps them for the next start. Returns how many documents were restored;
// offered tells whether there were copies to offer.
int offerRecovery(Workspace &workspace, RecoveryStore &store, CrashRecovery &recovery,
                  bool *offered = nullptr);
