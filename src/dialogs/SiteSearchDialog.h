#pragma once

#include "dialogs/CheckedDialog.h"
#include "dialogs/FieldBinding.h"
#include "markup/SiteSearch.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTreeWidget;

// What "Hledat v souborech..." asks for: the text and its options, where to look and in
// which files.
struct SiteSearchFields
{
    QString text;
    bool caseSensitive = false;
    bool wholeWords = false;
    bool regularExpression = false;
    QString folder;
    // The file panel's page types; its "*.htm" also takes ".html", which a mask says aloud.
    QString masks = QStringLiteral("*.html;*.htm;*.htx;*.htt");
    bool subfolders = true;

    SiteSearchOptions options() const { return {text, caseSensitive, wholeWords, regularExpression}; }
};

// The dialog of "Hledat v souborech...". It keeps itself open while the text is no valid
// regular expression or the folder does not exist, saying why.
class TSiteSearchDialog : public CheckedDialog
{
    Q_OBJECT

public:
    explicit TSiteSearchDialog(QWidget *parent = nullptr);

    SiteSearchFields fields() const { return m_bindings.read(*this); }
    void setFields(const SiteSearchFields &fields) { m_bindings.write(*this, fields); }
    // The folders offered in the folder's list, the first one chosen unless the fields
    // name another.
    void offerFolders(const QStringList &folders);

    QLineEdit *Edit1 = nullptr;       // the text
    QCheckBox *CheckBox1 = nullptr;   // "Rozlišovat velikost"
    QCheckBox *CheckBox2 = nullptr;   // "Celá slova"
    QCheckBox *CheckBox3 = nullptr;   // "Regulární výraz"
    QComboBox *ComboBox1 = nullptr;   // the folder
    QPushButton *BrowseButton = nullptr;
    QLineEdit *Edit2 = nullptr;       // the masks
    QCheckBox *CheckBox4 = nullptr;   // sub-folders
    QPushButton *OkButton = nullptr;
    QPushButton *CancelButton = nullptr;

private:
    bool acceptable() const;

    FieldBindings<SiteSearchFields> m_bindings;
};

// The dialog of "Nahradit vše...": the replacement, and every file with what will change
// in it, ticked; the user unticks the files to leave alone.
class TReplaceInFilesDialog : public CheckedDialog
{
    Q_OBJECT

public:
    TReplaceInFilesDialog(const QList<FileSearchResult> &results, const SearchPattern &pattern,
                          QWidget *parent = nullptr);

    QString replacement() const;
    void setReplacement(const QString &text);
    // The files still ticked, in the order of the list.
    QStringList chosenFiles() const;

    QLineEdit *Edit1 = nullptr;     // the replacement
    QTreeWidget *Files = nullptr;   // a file per row, its changes below it
    QPushButton *OkButton = nullptr;
    QPushButton *CancelButton = nullptr;

private:
    void showChanges();

    QList<FileSearchResult> m_results;
    SearchPattern m_pattern;
};
