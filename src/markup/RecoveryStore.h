#pragma once

#include "markup/TextEncoding.h"
#include "markup/TextFile.h"

#include <QList>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

class QLockFile;

// What a recovery copy keeps of a document that was modified and not yet saved.
struct RecoveryCopy
{
    QString fileName;     // the page's file, or "Bez jména" for one never saved
    int slot = 0;         // the window's slot, which names a never-saved page
    FileEncoding encoding;
    LineEnding lineEnding = LineEnding::CrLf; // of the page's file
    int caret = 0;        // offset with CR LF counted as two characters
    QString text;         // CR LF line breaks
    QString path;         // where the copy lies (set when read)

    friend bool operator==(const RecoveryCopy &, const RecoveryCopy &) = default;
};

QByteArray serializeRecoveryCopy(const RecoveryCopy &copy);
// Nothing when the bytes are not a whole recovery copy (a cut or foreign file).
std::optional<RecoveryCopy> parseRecoveryCopy(QByteArrayView bytes);

// The folder of recovery copies, shared by every running instance of the program. Each
// instance writes its copies under a name of its own and holds a lock for that name while
// it runs, so the copies of an instance that ended without cleaning up (killed, crashed,
// the power cut) are found by their free lock, and no running instance's copies are ever
// taken by another.
class RecoveryStore
{
public:
    explicit RecoveryStore(const QString &folder = defaultFolder());
    ~RecoveryStore();
    RecoveryStore(const RecoveryStore &) = delete;
    RecoveryStore &operator=(const RecoveryStore &) = delete;

    // The user's data folder + "/recovery".
    static QString defaultFolder();
    QString folder() const { return m_folder; }

    // Takes this instance's lock; false when the folder cannot be made or locked.
    bool start();
    // Where this instance keeps the copy of the document with this number.
    QString copyPath(int document) const;

    // Copies left by instances that no longer run, sorted by file. Their locks are held
    // from now on, so another instance starting at the same time does not offer them too,
    // until release() or discard().
    QList<RecoveryCopy> claimLeftCopies();
    // Deletes the claimed copies and their instances' locks.
    void discardClaimed();
    // Leaves the claimed copies for a later start.
    void releaseClaimed();

    // A normal end: this instance's copies and its lock go.
    void finish();

private:
    struct Claim;
    QString m_folder;
    QString m_session;
    std::unique_ptr<QLockFile> m_lock;
    std::vector<std::unique_ptr<Claim>> m_claims;
};
