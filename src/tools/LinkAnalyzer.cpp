#include "tools/LinkAnalyzer.h"

#include "interaction/BusyCursor.h"
#include "interaction/Interaction.h"
#include "markup/ElementContract.h"
#include "markup/SysUt.h"
#include "tools/DownloadTime.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSet>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

// --- collection ---------------------------------------------------------------------------

namespace {

struct Scan
{
    QLatin1StringView search; // "<" and the element name, upper case
    QStringView attribute;
};

Scan scanOf(LinkTab tab)
{
    switch (tab) {
    case LinkTab::Links:
        return {"<A"_L1, u"HREF"};
    case LinkTab::Images:
        return {"<IMG"_L1, u"SRC"};
    case LinkTab::Sounds:
        break;
    }
    return {"<BGSOUND"_L1, u"SRC"};
}

// The name ends in a blank of any kind: a tab or a line break after it is as common in
// pages written by hand as a space (with only a space, such links were left out of the
// list and of its checks).
bool endsElementName(QStringView text, qsizetype at)
{
    return at < text.size()
           && (text[at] == u' ' || text[at] == u'\t' || text[at] == u'\r' || text[at] == u'\n');
}

} // namespace

QStringList CollectEntries(QStringView text, LinkTab tab)
{
    const Scan scan = scanOf(tab);
    const QString upper = AsciiUpperCase(text);
    QStringList entries;
    QSet<QString> seen; // case-folded, so a page with thousands of links stays linear
    for (qsizetype at = upper.indexOf(scan.search); at >= 0;
         at = upper.indexOf(scan.search, at + 1)) {
        if (!endsElementName(text, at + scan.search.size()))
            continue;
        const qsizetype close = text.indexOf(u'>', at);
        // No ">" after this tag means none after any later one either.
        if (close < 0)
            break;
        // An attribute named inside another one's quoted value is not the address.
        QString value = AttributeReader(text.sliced(at, close - at + 1))
                            .text(scan.attribute)
                            .value_or(QString());
        if (tab == LinkTab::Links) {
            const qsizetype hash = value.indexOf(u'#');
            if (hash >= 0)
                value.truncate(hash);
            if (AsciiUpperCase(value).contains("MAILTO:"_L1))
                continue;
        }
        if (value.isEmpty())
            continue;
        const QString folded = value.toCaseFolded();
        if (seen.contains(folded))
            continue;
        seen.insert(folded);
        entries << value;
    }
    return entries;
}

bool IsExternalEntry(QStringView entry)
{
    const QString upper = AsciiUpperCase(entry);
    return upper.contains("HTTP://"_L1) || upper.contains("HTTPS://"_L1)
           || upper.contains("FTP://"_L1) || upper.startsWith("//"_L1);
}

// --- local files --------------------------------------------------------------------------

QString DocumentDirectory(const QString &documentFileName)
{
    if (documentFileName.isEmpty() || documentFileName == NeverSavedName())
        return {};
    QString directory = QFileInfo(QDir::fromNativeSeparators(documentFileName)).absolutePath();
    if (!directory.endsWith(u'/'))
        directory += u'/';
    return directory;
}

QString DocumentBaseName(const QString &documentFileName)
{
    return QFileInfo(QDir::fromNativeSeparators(documentFileName)).fileName();
}

QString LocalEntryPath(const QString &directory, const QString &entry)
{
    if (directory.isEmpty())
        return {};
    return directory + QString(entry).replace(u'\\', u'/');
}

std::optional<qint64> LocalEntrySize(const QString &directory, const QString &entry)
{
    const QString path = LocalEntryPath(directory, entry);
    if (path.isEmpty())
        return std::nullopt;
    // Only a regular file counts: a folder, a device or a pipe is missing, and a pipe is
    // never opened (opening one would wait for a writer).
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.isSequential())
        return std::nullopt;
    return file.size();
}

QString SizeWithUnit(qint64 bytes)
{
    constexpr qint64 kilo = 1024;
    constexpr qint64 mega = 1024 * 1024;
    if (bytes > mega)
        return QString::number(bytes / mega) + u" MB"_s;
    if (bytes > kilo)
        return QString::number(bytes / kilo) + u" KB"_s;
    return QString::number(bytes) + u" B"_s;
}

// --- messages -----------------------------------------------------------------------------

namespace {

using Kind = LinkMessage::Kind;

// The messages join the folder and the entry as written, also for external entries.
LinkMessage externalMessage(const QString &directory, const QString &entry, bool bangInside)
{
    return {Kind::Info, bangInside
                            ? u"Nelze kontrolovat externí odkazy!("_s + directory + entry + u')'
                            : u"Nelze kontrolovat externí odkazy ("_s + directory + entry + u")!"_s};
}

LinkMessage missingMessage(const QString &directory, const QString &entry, Kind kind)
{
    return {kind, u"Soubor "_s + directory + entry + u" neexistuje!"_s};
}

} // namespace

QList<LinkMessage> CheckEntries(const QString &directory, const QStringList &entries, LinkTab tab)
{
    QList<LinkMessage> messages;
    for (const QString &entry : entries) {
        if (IsExternalEntry(entry))
            messages << externalMessage(directory, entry, tab == LinkTab::Links);
        else if (LocalEntrySize(directory, entry))
            messages << LinkMessage{Kind::Info, u"Soubor "_s + directory + entry + u" existuje!"_s};
        else
            messages << missingMessage(directory, entry, Kind::Error);
    }
    return messages;
}

QList<LinkMessage> SizeEntries(const QString &directory, const QStringList &entries, LinkTab tab)
{
    QList<LinkMessage> messages;
    qint64 total = 0;
    for (const QString &entry : entries) {
        if (IsExternalEntry(entry)) {
            messages << externalMessage(directory, entry, true);
        } else if (const std::optional<qint64> size = LocalEntrySize(directory, entry)) {
            total += *size;
        } else {
            messages << missingMessage(directory, entry,
                                       tab == LinkTab::Sounds ? Kind::Info : Kind::Error);
        }
    }
    messages << LinkMessage{Kind::Error, u"Velikost vybraných souborů je "_s + SizeWithUnit(total)};
    return messages;
}

qint64 PageDownloadBytes(const QString &directory, const QStringList &images,
                         const QStringList &sounds)
{
    qint64 total = 0;
    for (const QStringList *list : {&images, &sounds}) {
        for (const QString &entry : *list) {
            if (IsExternalEntry(entry))
                continue;
            total += LocalEntrySize(directory, entry).value_or(0);
        }
    }
    return total;
}

std::optional<LinkMessage> OpenEntry(const QString &directory, const QString &entry)
{
    if (IsExternalEntry(entry)) {
        ShellOpen(entry);
        return std::nullopt;
    }
    // A local entry is a file, never an address: "data:x" or "c:x" in a page must not
    // reach a handler of that scheme. A missing one (or any, in a never-saved document)
    // is reported rather than handed to the desktop to fail quietly.
    if (!LocalEntrySize(directory, entry))
        return missingMessage(directory, entry, Kind::Error);
    shell().openUrl(QUrl::fromLocalFile(LocalEntryPath(directory, entry)));
    return std::nullopt;
}

// --- the window -----------------------------------------------------------------------------

namespace {

void showMessage(const LinkMessage &message)
{
    if (message.kind == Kind::Error)
        ui().showError(message.text);
    else
        ui().showInfo(message.text);
}

QListWidget *entryList(const QString &name, QWidget *parent)
{
    auto *list = new QListWidget(parent);
    list->setObjectName(name);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    return list;
}

QPushButton *button(const QString &name, const QString &caption, const QString &hint,
                    QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setToolTip(hint);
    b->setAutoDefault(false);
    return b;
}

} // namespace

TForm36::TForm36(LinkAnalyzerDocument &document, QWidget *parent)
    : QDialog(parent)
    , m_document(document)
    , m_directory(DocumentDirectory(document.fileName()))
{
    setObjectName(u"TForm36"_s);
    setWindowTitle(u"Link Analyzer"_s);
    buildLayout();
    connect(Button1, &QPushButton::clicked, this, &TForm36::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm36::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TForm36::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TForm36::Button4Click);
    connect(Button5, &QPushButton::clicked, this, &TForm36::Button5Click);
    connect(Button6, &QPushButton::clicked, this, &QDialog::reject);
    FindEntries();
}

void TForm36::buildLayout()
{
    auto *heading = new QLabel(u"Odkazy nalezené v dokumentu"_s, this);
    heading->setObjectName(u"Label1"_s);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    Label2 = new QLabel(u"Jméno souboru:"_s + DocumentBaseName(m_document.fileName()), this);
    Label2->setObjectName(u"Label2"_s);
    Label3 = new QLabel(u"Aktuální adresář:"_s + m_directory, this);
    Label3->setObjectName(u"Label3"_s);
    Label3->setTextInteractionFlags(Qt::TextSelectableByMouse);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(u"PageControl1"_s);
    PageControl1->setToolTip(
        u"Vypíše veškeré odkazy uvedené v dokumentu a soubory, které k němu patří"_s);
    ListBox1 = entryList(u"ListBox1"_s, PageControl1);
    ListBox2 = entryList(u"ListBox2"_s, PageControl1);
    ListBox3 = entryList(u"ListBox3"_s, PageControl1);
    PageControl1->addTab(ListBox1, u"Odkazy"_s);
    PageControl1->addTab(ListBox2, u"Obrázky"_s);
    PageControl1->addTab(ListBox3, u"Hudba"_s);

    Button1 = button(u"Button1"_s, u"Zkontrolovat"_s,
                     u"Zkontroluje, zda uvedené odkazy, oberázky a soubory s hudbou skutečně existují tam, kam směřuje odkaz"_s,
                     this);
    Button2 = button(u"Button2"_s, u"Velikost"_s,
                     u"Velikos souboru na který se vztahuje odkaz v dokumentu"_s, this);
    Button3 = button(u"Button3"_s, u"Otevřít"_s, u"Otevře vybraný soubor"_s, this);
    Button4 = button(u"Button4"_s, u"Zaměnit"_s, u"Zamění název odkazu nalezené v dokumentu"_s, this);
    Button5 = button(u"Button5"_s, u"Nahrávací čas"_s,
                     u"Zapne dialogové okno, kde si můžete zjistit nahrávací časy při připojení k internetu."_s,
                     this);
    Button6 = button(u"Button6"_s, u"Zavřít"_s, QString(), this);

    auto *buttons = new QVBoxLayout;
    for (QPushButton *b : {Button1, Button2, Button3, Button4, Button5})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(Button6);

    auto *body = new QHBoxLayout;
    body->addWidget(PageControl1, 1);
    body->addLayout(buttons);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(Label2);
    layout->addWidget(Label3);
    layout->addLayout(body, 1);
    resize(560, 380);
}

void TForm36::FindEntries()
{
    const QString text = m_document.text();
    for (LinkTab tab : {LinkTab::Links, LinkTab::Images, LinkTab::Sounds}) {
        BusyCursor busy;
        QListWidget *entries = list(tab);
        entries->clear();
        entries->addItems(CollectEntries(text, tab));
    }
}

LinkTab TForm36::visibleTab() const
{
    switch (PageControl1->currentIndex()) {
    case 1:
        return LinkTab::Images;
    case 2:
        return LinkTab::Sounds;
    default:
        return LinkTab::Links;
    }
}

QListWidget *TForm36::list(LinkTab tab) const
{
    switch (tab) {
    case LinkTab::Images:
        return ListBox2;
    case LinkTab::Sounds:
        return ListBox3;
    case LinkTab::Links:
        break;
    }
    return ListBox1;
}

QStringList TForm36::selectedEntries() const
{
    const QListWidget *entries = list(visibleTab());
    QStringList selected;
    for (int row = 0; row < entries->count(); ++row) {
        if (entries->item(row)->isSelected())
            selected << entries->item(row)->text();
    }
    return selected;
}

QStringList TForm36::allEntries(LinkTab tab) const
{
    const QListWidget *entries = list(tab);
    QStringList all;
    for (int row = 0; row < entries->count(); ++row)
        all << entries->item(row)->text();
    return all;
}

QString TForm36::currentEntry() const
{
    const QListWidgetItem *item = list(visibleTab())->currentItem();
    return item ? item->text() : QString();
}

void TForm36::Button1Click()
{
    for (const LinkMessage &message : CheckEntries(m_directory, selectedEntries(), visibleTab()))
        showMessage(message);
}

void TForm36::Button2Click()
{
    for (const LinkMessage &message : SizeEntries(m_directory, selectedEntries(), visibleTab()))
        showMessage(message);
}

void TForm36::Button3Click()
{
    const QString entry = currentEntry();
    if (entry.isEmpty())
        return;
    if (const std::optional<LinkMessage> message = OpenEntry(m_directory, entry))
        showMessage(*message);
}

void TForm36::Button4Click()
{
    const QString entry = currentEntry();
    if (entry.isEmpty())
        return;
    const std::optional<QString> replacement =
        ui().text(u"Zaměnit "_s + entry + u" za "_s, u"Nový text"_s, entry);
    if (replacement)
        m_document.replaceAddress(entry, *replacement);
    FindEntries();
}

void TForm36::Button5Click()
{
    const qint64 bytes =
        PageDownloadBytes(m_directory, allEntries(LinkTab::Images), allEntries(LinkTab::Sounds));
    TBandwichBuster calculator(this);
    calculator.setSizeText(QString::number(bytes / 1024));
    ui().exec(calculator);
}
