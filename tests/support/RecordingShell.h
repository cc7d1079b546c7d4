#pragma once

#include "markup/SysUt.h"

#include <QList>
#include <QStringList>
#include <QUrl>

// Writes down what would have been opened or started, and runs nothing. Installs itself
// for its lifetime.
class RecordingShell final : public Shell
{
public:
    RecordingShell() { setShell(this); }
    ~RecordingShell() override { setShell(nullptr); }
    void openUrl(const QUrl &url) override
    {
        opened.append(url);
        log << QStringLiteral("open ") + url.toString();
    }
    void startDetached(const QString &program, const QStringList &arguments,
                       const QString &workingDirectory) override
    {
        log << QStringLiteral("start ") + program + QStringLiteral(" [") + arguments.join(u'|')
                   + QStringLiteral("] in ") + workingDirectory;
    }
    // "open <address>" and "start <program> [<arguments>] in <folder>", in order.
    QStringList log;
    QList<QUrl> opened;
};
