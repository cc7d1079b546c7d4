#include "tools/SiteCheckProgress.h"

#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

SiteCheckProgress::SiteCheckProgress(const SiteCheckOptions &options, QWidget *parent)
    : QDialog(parent)
    , m_runner(options)
{
    setObjectName(u"SiteCheckProgress"_s);
    setWindowTitle(u"Kontrola webu"_s);
    auto *label = new QLabel(u"Kontroluje se web v adresáři %1"_s.arg(
                                 QDir::toNativeSeparators(options.home)),
                             this);
    auto *bar = new QProgressBar(this);
    bar->setRange(0, 0);
    auto *stop = new QPushButton(u"Zastavit"_s, this);
    stop->setObjectName(u"StopButton"_s);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(bar);
    layout->addWidget(stop, 0, Qt::AlignRight);
    connect(stop, &QPushButton::clicked, this, [this] { m_runner.stop(); });
    connect(&m_runner, &SiteCheckRunner::progressed, this, [bar](int done, int total) {
        bar->setRange(0, total);
        bar->setValue(done);
    });
    connect(&m_runner, &SiteCheckRunner::finished, this, [this] {
        m_report = m_runner.report();
        if (m_report.stopped)
            QDialog::reject();
        else
            accept();
    });
    m_runner.start();
}
