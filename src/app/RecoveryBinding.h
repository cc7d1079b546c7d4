#pragma once

#include "commands/CrashRecovery.h"
#include "markup/RecoveryStore.h"

class TForm1;

// Crash recovery for one run of the program: every document window of the frame is
// followed from its creation, the copies of runs that did not end normally are offered
// once the frame shows, and a normal end leaves no copy behind.
class RecoveryBinding
{
public:
    explicit RecoveryBinding(TForm1 &window, const QString &folder = RecoveryStore::defaultFolder());
    ~RecoveryBinding();

    // The start-up question; how many documents were restored.
    int offer();
    CrashRecovery &recovery() { return m_recovery; }

private:
    TForm1 &m_window;
    RecoveryStore m_store;
    CrashRecovery m_recovery;
};
