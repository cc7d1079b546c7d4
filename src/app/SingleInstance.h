#pragma once

#include <QObject>
#include <QStringList>

#include <functional>
#include <optional>

class DocumentManager;
class QLocalServer;
class QLocalSocket;
class QTimer;
class QWidget;

// What the program was started with: "brisko-editor [--new-instance] [files...]".
// Options the program does not know are ignored; after "--" every argument is a file.
struct CommandLine
{
    QStringList files; // absolute, in the order given
    bool newInstance = false;
    bool checkInstall = false;
    // Prints the files open in the running instance, one a line, and ends (exit code 1
    // when no instance runs). Scripts and the tests use it to see what an instance holds.
    bool listDocuments = false;
};
// The arguments as QCoreApplication::arguments() gives them (the program name first);
// relative names are taken from workingDirectory, "file:" URLs become their paths.
CommandLine parseCommandLine(const QStringList &arguments, const QString &workingDirectory);

// Where the running instance listens: one socket per user and display (":0" and ":0.0" are
// one display), in the user's runtime folder, or without one in a folder of the user's own
// in the temporary folder, which only the user can enter. Empty when that folder is taken
// by someone else: then nothing is handed over.
QString instanceSocketName();

// Gives the files to the instance listening at socketName and waits up to waitMs for it
// to take them. False when no instance answers there (none runs, or it died and left its
// socket behind).
bool handFilesOver(const QString &socketName, const QStringList &files, int waitMs = 15000);
// The files open in the instance listening at socketName; nothing when none answers.
std::optional<QStringList> askOpenDocuments(const QString &socketName, int waitMs = 15000);

// The running instance's end of the socket: takes files from later starts and opens them
// through the opener, which also brings the program to the front. Files wait while there
// is no opener or it is not ready.
class InstanceServer : public QObject
{
    Q_OBJECT

public:
    // Opens the files; false when it cannot yet (they are offered again a little later).
    using Opener = std::function<bool(const QStringList &files)>;
    using Lister = std::function<QStringList()>;

    explicit InstanceServer(QObject *parent = nullptr);
    ~InstanceServer() override;

    // Listens at socketName, as the one instance there: a lock file beside the socket
    // decides between starts. A socket left behind by an instance that ended without
    // removing it (a crash) is replaced; false when a live instance holds the place (or
    // is about to listen there), or the socket cannot be made. Connections from another
    // user's processes are refused.
    bool listen(const QString &socketName);
    bool isListening() const;

    void setOpener(Opener opener);
    void setLister(Lister lister);
    // Files to open as soon as there is an opener (those of the program's own command line).
    void enqueue(const QStringList &files);

private:
    void acceptConnection();
    void readRequest(QLocalSocket *socket);
    void flush();
    bool takeLock(const QString &socketName);
    void releaseLock();

    QLocalServer *m_server = nullptr;
    int m_lock = -1; // the lock file's descriptor while this is the instance
    Opener m_opener;
    Lister m_lister;
    QStringList m_pending;
    QTimer *m_retry = nullptr;
};

// Shows a window restored from the task bar, raised over the others and active.
void bringToFront(QWidget &window);

// Serves the program's own main window: files from later starts open there in new windows
// (as "Otevřít" opens them) until the 30 slots are full, and the window comes to the front.
// The main window is looked up when files arrive, so this can be set up before it exists.
void serveMainWindow(InstanceServer &server);
// The same on the documents the function finds when files arrive (none: no answer yet), and
// shown is called after they opened.
void serveDocuments(InstanceServer &server, std::function<DocumentManager *()> documents,
                    std::function<void()> shown = {});

// Runs a start's command line against the instance already running: the files are handed
// over or the documents listed. Returns the exit code when this start is done with that,
// nothing when it goes on as the running instance (the server then listens, holding this
// start's own files for the main window).
std::optional<int> startOrHandOver(const CommandLine &command, InstanceServer &server);

// Whether a start that goes on as a program (after startOrHandOver) opens the pages of the
// last session again: only one without files, and only as the one instance on its display.
// A window of the program beside a running one (a second click on the launcher,
// --new-instance) would open the same pages the first one has open, and each would save
// over the other's changes.
bool startReopensSession(const CommandLine &command, const InstanceServer &server);
