#include "tools/SiteCheckWindow.h"

#include "interaction/Interaction.h"
#include "markup/TextFile.h"
#include "tools/DownloadTime.h"
#include "tools/LinkAnalyzer.h"
#include "tools/SiteReportPage.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr int SortRole = Qt::UserRole + 1;
constexpr int FindingRole = Qt::UserRole + 2;

constexpr std::array<SiteFindingKind, 5> kKinds{
    SiteFindingKind::Broken, SiteFindingKind::CaseMismatch, SiteFindingKind::Outside,
    SiteFindingKind::External, SiteFindingKind::Orphan};

const char *const kTableNames[] = {"BrokenTable", "CaseTable", "OutsideTable", "ExternalTable",
                                   "OrphanTable"};

QStandardItem *item(const QString &text, const QVariant &sortKey = {})
{
    auto *it = new QStandardItem(text);
    it->setEditable(false);
    it->setData(sortKey.isValid() ? sortKey : QVariant(text), SortRole);
    return it;
}

QStringList headersOf(SiteFindingKind kind)
{
    switch (kind) {
    case SiteFindingKind::CaseMismatch:
        return {u"Stránka"_s, u"Řádek:sloupec"_s, u"Odkaz"_s, u"Na disku"_s, u"Opravený odkaz"_s};
    case SiteFindingKind::Orphan:
        return {u"Soubor"_s, u"Velikost"_s};
    default:
        break;
    }
    return {u"Stránka"_s, u"Řádek:sloupec"_s, u"Odkaz"_s, u"Podrobnosti"_s};
}

} // namespace

SiteCheckWindow::SiteCheckWindow(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(u"SiteCheckWindow"_s);
    setWindowTitle(u"Kontrola webu"_s);
    buildLayout();
    resize(1000, 560);
}

SiteCheckWindow::~SiteCheckWindow() = default;

void SiteCheckWindow::closeEvent(QCloseEvent *event)
{
    if (m_runner)
        m_runner->stop();
    QWidget::closeEvent(event);
}

QTableView *SiteCheckWindow::makeTable(const QString &name, QStandardItemModel *&model)
{
    auto *view = new QTableView(this);
    view->setObjectName(name);
    model = new QStandardItemModel(view);
    auto *proxy = new QSortFilterProxyModel(view);
    proxy->setSourceModel(model);
    proxy->setSortRole(SortRole);
    proxy->setSortCaseSensitivity(Qt::CaseInsensitive);
    view->setModel(proxy);
    view->setSortingEnabled(true);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->verticalHeader()->hide();
    view->horizontalHeader()->setStretchLastSection(true);
    connect(view, &QTableView::doubleClicked, this,
            [this, view](const QModelIndex &index) { activateRow(view, index); });
    return view;
}

void SiteCheckWindow::buildLayout()
{
    Tabs = new QTabWidget(this);
    Tabs->setObjectName(u"Tabs"_s);
    for (size_t i = 0; i < kKinds.size(); ++i) {
        m_views[i] = makeTable(QString::fromLatin1(kTableNames[i]), m_models[i]);
        m_models[i]->setHorizontalHeaderLabels(headersOf(kKinds[i]));
        Tabs->addTab(m_views[i], siteFindingCaption(kKinds[i]));
    }
    auto *weightPage = new QWidget(this);
    m_weightView = makeTable(u"WeightTable"_s, m_weightModel);
    m_weightModel->setHorizontalHeaderLabels(
        {u"Stránka"_s, u"Velikost"_s, u"Souborů"_s, u"Nahrávací čas"_s});
    SpeedBox = new QComboBox(weightPage);
    SpeedBox->setObjectName(u"SpeedBox"_s);
    SpeedBox->setEditable(true);
    SpeedBox->addItems({u"14400"_s, u"28000"_s, u"33600"_s, u"64000"_s, u"128000"_s,
                        u"256000"_s, u"512000"_s, u"1024000"_s, u"2048000"_s});
    SpeedBox->setCurrentText(u"64000"_s);
    ThroughputBox = new QComboBox(weightPage);
    ThroughputBox->setObjectName(u"ThroughputBox"_s);
    ThroughputBox->setEditable(true);
    ThroughputBox->addItems({u"10"_s, u"25"_s, u"50"_s, u"75"_s, u"100"_s});
    ThroughputBox->setCurrentText(u"100"_s);
    auto *speedRow = new QHBoxLayout;
    speedRow->addWidget(new QLabel(u"Rychlost připojení"_s, weightPage));
    speedRow->addWidget(SpeedBox);
    speedRow->addWidget(new QLabel(u"b"_s, weightPage));
    speedRow->addSpacing(16);
    speedRow->addWidget(new QLabel(u"Propustnost internetu"_s, weightPage));
    speedRow->addWidget(ThroughputBox);
    speedRow->addWidget(new QLabel(u"%"_s, weightPage));
    speedRow->addStretch();
    auto *weightLayout = new QVBoxLayout(weightPage);
    weightLayout->setContentsMargins(0, 0, 0, 0);
    weightLayout->addLayout(speedRow);
    weightLayout->addWidget(m_weightView);
    Tabs->addTab(weightPage, pageWeightCaption());
    connect(SpeedBox, &QComboBox::editTextChanged, this, &SiteCheckWindow::fillWeights);
    connect(ThroughputBox, &QComboBox::editTextChanged, this, &SiteCheckWindow::fillWeights);

    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName(u"ProgressBar"_s);
    StatusLabel = new QLabel(this);
    StatusLabel->setObjectName(u"StatusLabel"_s);
    auto button = [this](const QString &caption, const QString &name) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(name);
        return b;
    };
    StopButton = button(u"Zastavit"_s, u"StopButton"_s);
    RecheckButton = button(u"Zkontrolovat znovu"_s, u"RecheckButton"_s);
    SaveButton = button(u"Uložit zprávu"_s, u"SaveButton"_s);
    FixCaseButton = button(u"Opravit velikost písmen"_s, u"FixCaseButton"_s);
    EntryPageButton = button(u"Vstupní stránka"_s, u"EntryPageButton"_s);
    EntryPageButton->setToolTip(u"Vybrané soubory jsou vstupní stránky webu: nejsou osiřelé"_s);
    CloseButton = button(u"Zavřít"_s, u"CloseButton"_s);

    auto *top = new QHBoxLayout;
    top->addWidget(ProgressBar, 1);
    top->addWidget(StopButton);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(FixCaseButton);
    buttons->addWidget(EntryPageButton);
    buttons->addStretch();
    buttons->addWidget(RecheckButton);
    buttons->addWidget(SaveButton);
    buttons->addWidget(CloseButton);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(StatusLabel);
    layout->addWidget(Tabs, 1);
    layout->addLayout(buttons);

    connect(StopButton, &QPushButton::clicked, this, [this] {
        if (m_runner)
            m_runner->stop();
    });
    connect(RecheckButton, &QPushButton::clicked, this, [this] { startCheck(m_options); });
    connect(SaveButton, &QPushButton::clicked, this, &SiteCheckWindow::SaveButtonClick);
    connect(FixCaseButton, &QPushButton::clicked, this, &SiteCheckWindow::FixCaseButtonClick);
    connect(EntryPageButton, &QPushButton::clicked, this, &SiteCheckWindow::EntryPageButtonClick);
    connect(CloseButton, &QPushButton::clicked, this, &QWidget::close);
    connect(Tabs, &QTabWidget::currentChanged, this, [this] { updateCaptions(); });
    updateCaptions();
}

QTableView *SiteCheckWindow::table(SiteFindingKind kind) const
{
    return m_views[size_t(kind)];
}

bool SiteCheckWindow::isChecking() const
{
    return m_runner && m_runner->isRunning();
}

void SiteCheckWindow::startCheck(const SiteCheckOptions &options)
{
    m_runner.reset();
    m_options = options;
    m_report = SiteReport{};
    fillTables();
    ProgressBar->setRange(0, 0);
    ProgressBar->setValue(0);
    StatusLabel->setText(u"Kontroluje se %1 ..."_s.arg(QDir::toNativeSeparators(options.home)));
    m_runner = std::make_unique<SiteCheckRunner>(options);
    connect(m_runner.get(), &SiteCheckRunner::progressed, this, [this](int done, int total) {
        ProgressBar->setRange(0, total);
        ProgressBar->setValue(done);
        StatusLabel->setText(u"Zkontrolováno %1 z %2 stránek"_s.arg(done).arg(total));
    });
    connect(m_runner.get(), &SiteCheckRunner::finished, this, &SiteCheckWindow::runnerFinished);
    m_runner->start();
    updateCaptions();
}

void SiteCheckWindow::runnerFinished()
{
    const SiteReport report = m_runner->report();
    // The runner goes after this signal has been handled, not inside it.
    m_runner.release()->deleteLater();
    showReport(report, m_options);
    Q_EMIT checkFinished();
}

void SiteCheckWindow::showReport(const SiteReport &report, const SiteCheckOptions &options)
{
    m_options = options;
    m_report = report;
    ProgressBar->setRange(0, 1);
    ProgressBar->setValue(1);
    QString status = u"Stránek: %1, souborů: %2, chyb: %3"_s.arg(report.pages)
                         .arg(report.files)
                         .arg(report.faultCount());
    if (report.stopped)
        status = u"Kontrola byla zastavena. "_s + status;
    StatusLabel->setText(status);
    fillTables();
    updateCaptions();
}

void SiteCheckWindow::fillTables()
{
    for (size_t k = 0; k < kKinds.size(); ++k) {
        QStandardItemModel *model = m_models[k];
        model->removeRows(0, model->rowCount());
        m_views[k]->setSortingEnabled(false);
    }
    for (qsizetype i = 0; i < m_report.findings.size(); ++i) {
        const SiteFinding &f = m_report.findings[i];
        QList<QStandardItem *> row;
        auto *first = item(QDir::toNativeSeparators(f.page));
        first->setData(int(i), FindingRole);
        row << first;
        if (f.kind == SiteFindingKind::Orphan) {
            const qint64 bytes = f.detail.section(u' ', 0, 0).toLongLong();
            row << item(SizeWithUnit(bytes), bytes);
        } else {
            // A finding with no place in a page (a page or folder that cannot be read) shows
            // none, and sorts before the others.
            row << (f.line > 0 ? item(u"%1:%2"_s.arg(f.line).arg(f.column),
                                      qint64(f.line) * 1000000 + f.column)
                               : item(QString(), qint64(0)));
            row << item(f.reference) << item(f.detail);
            if (f.kind == SiteFindingKind::CaseMismatch)
                row << item(f.fixed);
        }
        m_models[size_t(f.kind)]->appendRow(row);
    }
    for (size_t k = 0; k < kKinds.size(); ++k) {
        m_views[k]->setSortingEnabled(true);
        m_views[k]->sortByColumn(-1, Qt::AscendingOrder);
        m_views[k]->resizeColumnsToContents();
    }
    fillWeights();
}

void SiteCheckWindow::fillWeights()
{
    const qint64 speed = DownloadFieldValue(SpeedBox->currentText());
    const qint64 throughput = DownloadFieldValue(ThroughputBox->currentText());
    m_weightView->setSortingEnabled(false);
    m_weightModel->removeRows(0, m_weightModel->rowCount());
    for (const PageWeight &w : m_report.weights) {
        auto *first = item(QDir::toNativeSeparators(w.page));
        first->setData(w.page, FindingRole);
        m_weightModel->appendRow({first, item(SizeWithUnit(w.bytes), w.bytes),
                                  item(QString::number(w.files), w.files),
                                  item(pageDownloadTime(w.bytes, speed, throughput), w.bytes)});
    }
    m_weightView->setSortingEnabled(true);
    // Heaviest first, as the check ordered them.
    m_weightView->sortByColumn(-1, Qt::AscendingOrder);
    m_weightView->resizeColumnsToContents();
}

void SiteCheckWindow::updateCaptions()
{
    for (size_t k = 0; k < kKinds.size(); ++k) {
        Tabs->setTabText(int(k), u"%1 (%2)"_s.arg(siteFindingCaption(kKinds[k]))
                                     .arg(m_models[k]->rowCount()));
    }
    const bool checking = isChecking();
    StopButton->setEnabled(checking);
    RecheckButton->setEnabled(!checking && !m_options.home.isEmpty());
    SaveButton->setEnabled(!checking);
    FixCaseButton->setEnabled(!checking && m_models[size_t(SiteFindingKind::CaseMismatch)]->rowCount() > 0);
    EntryPageButton->setEnabled(!checking && Tabs->currentIndex() == int(SiteFindingKind::Orphan)
                                && m_models[size_t(SiteFindingKind::Orphan)]->rowCount() > 0);
}

QList<SiteFinding> SiteCheckWindow::selectedFindings(SiteFindingKind kind, bool allWhenNone) const
{
    QTableView *view = table(kind);
    QList<SiteFinding> found;
    const QModelIndexList rows = view->selectionModel()->selectedRows(0);
    if (rows.isEmpty() && allWhenNone)
        return m_report.findingsOf(kind);
    for (const QModelIndex &index : rows) {
        const int at = index.data(FindingRole).toInt();
        if (at >= 0 && at < m_report.findings.size())
            found << m_report.findings[at];
    }
    return found;
}

void SiteCheckWindow::activateRow(QTableView *view, const QModelIndex &index)
{
    const QModelIndex first = index.siblingAtColumn(0);
    if (view == m_weightView) {
        Q_EMIT openRequested(m_report.home + first.data(FindingRole).toString(), 1, 1);
        return;
    }
    const int at = first.data(FindingRole).toInt();
    if (at < 0 || at >= m_report.findings.size())
        return;
    const SiteFinding &f = m_report.findings[at];
    if (f.kind == SiteFindingKind::Orphan) {
        // Only a page opens in the editor; pictures and the like are not text.
        if (isSitePage(f.page) || isStyleSheet(f.page))
            Q_EMIT openRequested(m_report.home + f.page, 1, 1);
        return;
    }
    if (f.line > 0)
        Q_EMIT openRequested(m_report.home + f.page, f.line, f.column);
}

void SiteCheckWindow::SaveButtonClick()
{
    // Proposed beside the site, not in it: a report inside would go up with the site.
    const QString proposed = QDir::cleanPath(m_report.home + u"../kontrola-webu.html"_s);
    const QString path = ui().saveFileName(u"HTML stránka (*.html)|*.html"_s, proposed);
    if (path.isEmpty())
        return;
    const QString html = siteReportHtml(m_report, DownloadFieldValue(SpeedBox->currentText()),
                                        DownloadFieldValue(ThroughputBox->currentText()));
    const QString error =
        writeTextFile(path, html, LineEnding::CrLf, FileEncoding{TextEncoding::Utf8, false});
    if (!error.isEmpty())
        ui().showError(u"Zprávu nelze uložit do souboru %1.\r\n%2"_s.arg(path, error));
}

void SiteCheckWindow::FixCaseButtonClick()
{
    const QList<SiteFinding> findings = selectedFindings(SiteFindingKind::CaseMismatch, true);
    if (!findings.isEmpty())
        Q_EMIT fixCaseRequested(findings, m_report.home);
}

void SiteCheckWindow::EntryPageButtonClick()
{
    QStringList paths;
    for (const SiteFinding &f : selectedFindings(SiteFindingKind::Orphan, false))
        paths << m_report.home + f.page;
    if (paths.isEmpty())
        return;
    m_options.entryPages << paths;
    // The marked files are no orphans any more.
    m_report.findings.erase(std::remove_if(m_report.findings.begin(), m_report.findings.end(),
                                           [&](const SiteFinding &f) {
                                               return f.kind == SiteFindingKind::Orphan
                                                      && paths.contains(m_report.home + f.page);
                                           }),
                            m_report.findings.end());
    fillTables();
    updateCaptions();
    Q_EMIT entryPagesMarked(paths);
}
