#pragma once

#include "tools/SiteCheck.h"

#include <QWidget>

#include <array>
#include <memory>

class QCloseEvent;
class QComboBox;
class QLabel;
class QModelIndex;
class QProgressBar;
class QPushButton;
class QSortFilterProxyModel;
class QStandardItemModel;
class QTabWidget;
class QTableView;

// "Kontrola webu": the report of a site check in a window of its own, a sortable table per
// kind of finding and one of page weights. The check runs on a worker thread while the
// window shows its progress; the editor stays usable. What the window cannot do itself
// (open a page in the editor, mend references, remember entry pages) it asks for by signal.
class SiteCheckWindow : public QWidget
{
    Q_OBJECT

public:
    explicit SiteCheckWindow(QWidget *parent = nullptr);
    ~SiteCheckWindow() override;

    // Starts a check of the site (a running one is stopped first).
    void startCheck(const SiteCheckOptions &options);
    // Shows a report made elsewhere (the check before an upload).
    void showReport(const SiteReport &report, const SiteCheckOptions &options);
    const SiteReport &report() const { return m_report; }
    const SiteCheckOptions &options() const { return m_options; }
    bool isChecking() const;

    QTabWidget *Tabs = nullptr;
    QProgressBar *ProgressBar = nullptr;
    QLabel *StatusLabel = nullptr;
    QPushButton *StopButton = nullptr;      // "Zastavit"
    QPushButton *RecheckButton = nullptr;   // "Zkontrolovat znovu"
    QPushButton *SaveButton = nullptr;      // "Uložit zprávu"
    QPushButton *FixCaseButton = nullptr;   // "Opravit velikost písmen"
    QPushButton *EntryPageButton = nullptr; // "Vstupní stránka"
    QPushButton *CloseButton = nullptr;     // "Zavřít"
    QComboBox *SpeedBox = nullptr;          // bits per second
    QComboBox *ThroughputBox = nullptr;     // per cent

    // The table of a kind of finding, and the table of page weights.
    QTableView *table(SiteFindingKind kind) const;
    QTableView *weightTable() const { return m_weightView; }

    // "Uložit zprávu": asks for a file name and writes the report there as an HTML page.
    void SaveButtonClick();
    // "Opravit velikost písmen": the selected case mismatches, or all when none is selected.
    void FixCaseButtonClick();
    // "Vstupní stránka": the selected orphans are entry pages from now on.
    void EntryPageButtonClick();
    // What a double click on the row does.
    void activateRow(QTableView *view, const QModelIndex &index);

Q_SIGNALS:
    // Open the page (absolute path) in the editor with the caret at line and column.
    void openRequested(const QString &path, int line, int column);
    // Rewrite these references to the names on disk; the report is checked again after.
    void fixCaseRequested(const QList<SiteFinding> &findings, const QString &home);
    // Remember these files (absolute paths) as entry pages.
    void entryPagesMarked(const QStringList &paths);
    void checkFinished();

protected:
    // Closing the window stops a running check: nobody waits for its report.
    void closeEvent(QCloseEvent *event) override;

private:
    void buildLayout();
    QTableView *makeTable(const QString &name, QStandardItemModel *&model);
    void fillTables();
    void fillWeights();
    void runnerFinished();
    void updateCaptions();
    QList<SiteFinding> selectedFindings(SiteFindingKind kind, bool allWhenNone) const;

    SiteCheckOptions m_options;
    SiteReport m_report;
    std::unique_ptr<SiteCheckRunner> m_runner;
    std::array<QTableView *, 5> m_views{};
    std::array<QStandardItemModel *, 5> m_models{};
    QTableView *m_weightView = nullptr;
    QStandardItemModel *m_weightModel = nullptr;
};
