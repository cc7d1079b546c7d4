#pragma once

// What one upload of the window covers, how far it got, and what it left behind; shared
// by the single-session walk and the parallel one.
#include "publish/UploadJournal.h"
#include "publish/ftpklient.h"

#include <QElapsedTimer>
#include <QStringList>

struct TFTPForm::UploadRun
{
    QString startLocal;  // the home directory the walk began in, with separator
    QString remoteStart; // the remote directory current at the start, empty if unknown
    bool safe = true;
    bool changedOnly = false;
    bool dryRun = false;
    bool stop = false;
    qint64 totalFiles = 0;
    qint64 totalBytes = 0;
    qint64 doneFiles = 0;
    qint64 doneBytes = 0;
    int lastShown = -1;
    QElapsedTimer shown;
    int stored = 0;
    int skipped = 0;
    int failed = 0;
    QStringList leftTemporaries; // full remote paths a lost session could not delete
    UploadJournal journal;
};

