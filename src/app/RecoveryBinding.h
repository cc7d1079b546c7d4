#pragma once

#include "commands/CrashRecovery.h"
#include "markup/RecoveryStore.h"

class DocumentManager;

// Crash recovery for one run of the program: every document window is
// followed from its creation, the copies of runs that did not end normally are offered
// once the frame shows, and a normal end leaves no copy behind.
class RecoveryBinding
{
public:
    explicit RecoveryBinding(DocumentManager &documents,
                             const QString &folder = RecoveryStore::defaultFolder());
    ~RecoveryBinding();

    // The start-up question; how many documents were restored. offered tells whether there
    // were copies to offer.
    int offer(bool *offered = nullptr);
    CrashRecovery &recovery() { return m_recovery; }

private:
    DocumentManager &m_documents;
    RecoveryStore m_store;
    CrashRecovery m_recovery;
};
