#include "dialogs/SiteSearchDialog.h"

#include "dialogs/FieldWidgets.h"
#include "interaction/Interaction.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// At most this many changes are listed under a file: enough to see what happens.
constexpr int ChangesListedPerFile = 20;

void addSearchButtons(QDialog &dialog, QBoxLayout &layout, const QString &okText, QPushButton *&ok,
                 QPushButton *&cancel)
{
    ok = namedWidget(new QPushButton(okText), u"OkButton"_s);
    cancel = namedWidget(new QPushButton(u"Zpět"_s), u"CancelButton"_s);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    layout.addLayout(row);
}

// The line of a match with the match put in brackets, as the list of changes shows it.
QString lineWithChange(const TextMatch &match, const MatchReplacement &change)
{
    const qsizetype at = match.column - 1;
    return match.lineText.left(at) + u'[' + change.text + u']'
           + match.lineText.mid(at + match.length);
}

} // namespace

TSiteSearchDialog::TSiteSearchDialog(QWidget *parent)
    : CheckedDialog(parent)
{
    setObjectName(u"TSiteSearchDialog"_s);
    setWindowTitle(u"Hledat v souborech"_s);
    Edit1 = namedWidget(new QLineEdit, u"Edit1"_s);
    CheckBox1 = namedWidget(new QCheckBox(u"Rozlišovat velikost"_s), u"CheckBox1"_s);
    CheckBox2 = namedWidget(new QCheckBox(u"Celá slova"_s), u"CheckBox2"_s);
    CheckBox3 = namedWidget(new QCheckBox(u"Regulární výraz"_s), u"CheckBox3"_s);
    ComboBox1 = namedWidget(new QComboBox, u"ComboBox1"_s);
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->setMinimumContentsLength(40);
    BrowseButton = namedWidget(new QPushButton(u"Procházet..."_s), u"BrowseButton"_s);
    BrowseButton->setAutoDefault(false);
    Edit2 = namedWidget(new QLineEdit, u"Edit2"_s);
    Edit2->setToolTip(u"Masky souborů oddělené středníkem, např. *.html;*.htm"_s);
    CheckBox4 = namedWidget(new QCheckBox(u"Včetně podadresářů"_s), u"CheckBox4"_s);

    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    form->addRow(u"Hledaný text:"_s, Edit1);
    auto *options = new QHBoxLayout;
    options->addWidget(CheckBox1);
    options->addWidget(CheckBox2);
    options->addWidget(CheckBox3);
    options->addStretch();
    form->addRow(QString(), options);
    auto *folderRow = new QHBoxLayout;
    folderRow->addWidget(ComboBox1, 1);
    folderRow->addWidget(BrowseButton);
    form->addRow(u"Adresář:"_s, folderRow);
    form->addRow(u"Soubory:"_s, Edit2);
    form->addRow(QString(), CheckBox4);
    layout->addLayout(form);
    addSearchButtons(*this, *layout, u"Hledat"_s, OkButton, CancelButton);

    connect(BrowseButton, &QPushButton::clicked, this, [this] {
        const QString chosen = ui().existingDirectory(u"Hledat v adresáři"_s, ComboBox1->currentText());
        if (!chosen.isEmpty())
            ComboBox1->setEditText(QDir::toNativeSeparators(chosen));
    });
    acceptCheck = [this] { return acceptable(); };
    m_bindings = {{&SiteSearchFields::text, "Edit1"},
                  {&SiteSearchFields::caseSensitive, "CheckBox1"},
                  {&SiteSearchFields::wholeWords, "CheckBox2"},
                  {&SiteSearchFields::regularExpression, "CheckBox3"},
                  {&SiteSearchFields::folder, "ComboBox1"},
                  {&SiteSearchFields::masks, "Edit2"},
                  {&SiteSearchFields::subfolders, "CheckBox4"}};
    setFields({});
    Edit1->setFocus();
}

void TSiteSearchDialog::offerFolders(const QStringList &folders)
{
    const QString current = ComboBox1->currentText();
    ComboBox1->clear();
    for (const QString &f : folders) {
        const QString shown = QDir::toNativeSeparators(f);
        if (!f.isEmpty() && ComboBox1->findText(shown) < 0)
            ComboBox1->addItem(shown);
    }
    ComboBox1->setEditText(current.isEmpty() && ComboBox1->count() > 0 ? ComboBox1->itemText(0)
                                                                       : current);
}

bool TSiteSearchDialog::acceptable() const
{
    const SiteSearchFields f = fields();
    const SearchPattern pattern = searchPattern(f.options());
    if (!pattern.ok()) {
        ui().showError(pattern.error);
        return false;
    }
    if (f.folder.trimmed().isEmpty() || !QFileInfo(f.folder.trimmed()).isDir()) {
        ui().showError(u"Adresář %1 neexistuje."_s.arg(f.folder));
        return false;
    }
    return true;
}

TReplaceInFilesDialog::TReplaceInFilesDialog(const QList<FileSearchResult> &results,
                                             const SearchPattern &pattern, QWidget *parent)
    : CheckedDialog(parent)
    , m_pattern(pattern)
{
    setObjectName(u"TReplaceInFilesDialog"_s);
    setWindowTitle(u"Nahradit vše"_s);
    for (const FileSearchResult &r : results) {
        if (!r.matches.isEmpty())
            m_results << r;
    }
    Edit1 = namedWidget(new QLineEdit, u"Edit1"_s);
    if (pattern.regularExpression)
        Edit1->setToolTip(u"\\1 až \\99 vloží skupiny regulárního výrazu, \\\\ zpětné lomítko."_s);
    Files = namedWidget(new QTreeWidget, u"Files"_s);
    Files->setHeaderLabels({u"Soubor a změny"_s, u"Počet"_s});
    Files->header()->setStretchLastSection(false);
    Files->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    Files->setUniformRowHeights(true);

    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    form->addRow(u"Nahradit čím:"_s, Edit1);
    layout->addLayout(form);
    layout->addWidget(new QLabel(u"Změní se tyto soubory (odškrtnuté zůstanou, jak jsou):"_s));
    layout->addWidget(Files, 1);
    addSearchButtons(*this, *layout, u"Nahradit"_s, OkButton, CancelButton);
    resize(720, 480);

    for (const FileSearchResult &r : m_results) {
        auto *item = new QTreeWidgetItem(Files, {QDir::toNativeSeparators(r.path),
                                                 QString::number(r.matches.size())});
        item->setData(0, Qt::UserRole, r.path);
        item->setCheckState(0, Qt::Checked);
    }
    showChanges();
    connect(Edit1, &QLineEdit::textChanged, this, &TReplaceInFilesDialog::showChanges);
    Edit1->setFocus();
}

void TReplaceInFilesDialog::showChanges()
{
    const QString with = replacement();
    for (int i = 0; i < Files->topLevelItemCount(); ++i) {
        QTreeWidgetItem *file = Files->topLevelItem(i);
        qDeleteAll(file->takeChildren());
        const QList<TextMatch> &matches = m_results[i].matches;
        for (int m = 0; m < matches.size() && m < ChangesListedPerFile; ++m) {
            const TextMatch &match = matches[m];
            // The change a match makes is worked out from its own line; a pattern that
            // looks beyond the line may change it otherwise, which the count still tells.
            const QList<MatchReplacement> changes =
                matchReplacements(match.lineText, m_pattern, with);
            MatchReplacement change{match.column - 1, match.length, with};
            for (const MatchReplacement &c : changes) {
                if (c.offset == match.column - 1)
                    change = c;
            }
            auto *line = new QTreeWidgetItem(file, {u"%1:%2  %3"_s.arg(match.line).arg(match.column)
                                                        .arg(lineWithChange(match, change).trimmed())});
            line->setToolTip(0, match.lineText.trimmed());
        }
    }
}

QString TReplaceInFilesDialog::replacement() const
{
    return Edit1->text();
}

void TReplaceInFilesDialog::setReplacement(const QString &text)
{
    Edit1->setText(text);
}

QStringList TReplaceInFilesDialog::chosenFiles() const
{
    QStringList chosen;
    for (int i = 0; i < Files->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = Files->topLevelItem(i);
        if (item->checkState(0) == Qt::Checked)
            chosen << item->data(0, Qt::UserRole).toString();
    }
    return chosen;
}
