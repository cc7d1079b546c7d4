#pragma once

#include "dialogs/SiteSearchDialog.h"
#include "markup/SiteSearch.h"

#include <QHash>
#include <QWidget>

#include <atomic>
#include <memory>
#include <thread>

class QLabel;
class QProgressBar;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// The results of "Hledat v souborech..." under the documents: each file with its count,
// each match with its line:column and its line, the match marked; files that were not
// searched (no text, too long, unreadable) with the reason. The search runs on threads of
// its own while the user edits; "Zastavit" ends it. A double-click asks for the page at the
// match, "Nahradit vše..." for the replacement: the panel itself touches no document.
class SiteSearchPanel : public QWidget
{
    Q_OBJECT

public:
    explicit SiteSearchPanel(QWidget *parent = nullptr);
    ~SiteSearchPanel() override;

    // Starts a search as the fields ask, ending one that runs. Pages open in the editor
    // are searched as the editor holds them: openTexts maps their canonical paths to
    // their text (CR LF line breaks).
    void start(const SiteSearchFields &fields, const QHash<QString, QString> &openTexts = {});
    void stop();
    bool isRunning() const { return m_worker != nullptr; }

    // The last search's results (files with matches and skipped files, by path).
    const QList<FileSearchResult> &results() const { return m_results; }
    const SearchPattern &pattern() const { return m_pattern; }
    const SiteSearchFields &fields() const { return m_fields; }
    // After a replacement: the files it changed, and why the others were not written.
    void showReplaced(const QStringList &changed, const QHash<QString, QString> &problems, int count);

    QLabel *Caption = nullptr;
    QProgressBar *Progress = nullptr;
    QPushButton *StopButton = nullptr;    // "Zastavit"
    QPushButton *ReplaceButton = nullptr; // "Nahradit vše..."
    QTreeWidget *List = nullptr;

Q_SIGNALS:
    // The user picked the match at this 1-based line and column of the file.
    void matchChosen(const QString &path, int line, int column);
    void replaceRequested();
    // The search ended, found all or stopped.
    void finished();

private:
    void finish(QList<FileSearchResult> results, int total, bool stopped);
    void showResults();
    void choose(QTreeWidgetItem *item);
    QTreeWidgetItem *fileItem(const QString &path) const;
    void joinWorker();

    SiteSearchFields m_fields;
    SearchPattern m_pattern;
    QList<FileSearchResult> m_results;
    bool m_stopped = false;
    int m_total = 0;
    int m_generation = 0; // of the search running or shown
    std::atomic_bool m_stop = false;
    std::unique_ptr<std::thread> m_worker;
};

// "1 nález", "3 nálezy", "7 nálezů".
QString matchCountText(qsizetype count);
// "v 1 souboru", "v 5 souborech".
QString inFilesText(qsizetype count);
