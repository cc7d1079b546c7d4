#pragma once

#include "tools/SiteCheck.h"

#include <QDialog>

// The waiting dialog of the check before an upload: progress and "Zastavit". It runs the
// check while it is shown and ends when the check has.
class SiteCheckProgress : public QDialog
{
    Q_OBJECT

public:
    SiteCheckProgress(const SiteCheckOptions &options, QWidget *parent);

    // Escape and the title bar's close stop the check; the dialog ends when it has.
    void reject() override { m_runner.stop(); }

    const SiteReport &report() const { return m_report; }

private:
    SiteCheckRunner m_runner;
    SiteReport m_report;
};
