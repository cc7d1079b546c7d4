#pragma once

#include <QString>
#include <QStringList>

class QPushButton;
class QTableWidget;
class QTableWidgetItem;
class QWidget;
struct DocumentContext;

// A table of rows the user adds, fills in and removes: the sources of a video, its
// subtitles, the files of a picture's set. "Přidat" adds an empty row to type in,
// "Ze souboru…" a row for a chosen file, "Odebrat" removes the current row.
struct RowTable
{
    QTableWidget *table = nullptr;
    QPushButton *addButton = nullptr;
    QPushButton *fileButton = nullptr;
    QPushButton *removeButton = nullptr;
    QWidget *widget = nullptr; // the table with its buttons, for the dialog's layout
};

// The buttons are named after the table: "<name>Add", "<name>File", "<name>Remove".
RowTable rowTable(const QString &name, const QString &accessibleName, const QStringList &headers,
                  QWidget *parent);
// The text of a cell; empty for a cell never filled.
QString cellText(const QTableWidget *table, int row, int column);
// The item of a cell, made when the cell has none yet.
QTableWidgetItem *rowTableCell(QTableWidget *table, int row, int column);
// Appends a row of these texts and makes it current.
int appendTableRow(QTableWidget *table, const QStringList &texts);

// The reference a chosen file gets in the document's markup; empty when the dialog has
// no saved document to refer from or the file dialog was cancelled.
QString chooseReferencedFile(const DocumentContext &context, const QString &filter,
                             QString *chosenPath = nullptr);

