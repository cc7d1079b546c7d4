#pragma once

#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

class QLabel;
class QListWidget;
class QPushButton;
class QTabWidget;

// --- what a page refers to, widget-free -----------------------------------------------------

// The three lists of the link analyser, in the order of its tabs.
enum class LinkTab { Links, Images, Sounds };

// The link targets (HREF of "<A "), images (SRC of "<IMG ") or background sounds (SRC of
// "<BGSOUND ") of a page, as written, in the order of first appearance; an entry that
// differs from an earlier one only in letter case is left out. Links lose their "#part";
// in-page anchors and mailto: links give nothing.
QStringList CollectEntries(QStringView text, LinkTab tab);

// Whether the entry is an address on another machine, which the analyser never checks:
// it holds "http://", "https://" or "ftp://" (any letter case), or it starts with "//".
bool IsExternalEntry(QStringView entry);

// The folder of a saved document with its trailing "/"; empty for a never-saved one, whose
// local entries therefore count as missing.
QString DocumentDirectory(const QString &documentFileName);
// The document's file name without its folder ("Bez jména" for a never-saved one).
QString DocumentBaseName(const QString &documentFileName);

// The file a local entry names: the document's folder joined with the entry, "\" read as
// the folder separator. Empty when the document has no folder.
QString LocalEntryPath(const QString &directory, const QString &entry);

// The size of the file a local entry names, or nothing when it is missing: not there, a
// folder, not a regular file, or a file that cannot be opened for reading.
std::optional<qint64> LocalEntrySize(const QString &directory, const QString &entry);

// "12 B", "1024 B", "1 KB", "3 MB": whole units, rounded down.
QString SizeWithUnit(qint64 bytes);

// One message box the analyser shows.
struct LinkMessage
{
    enum class Kind { Info, Error };
    Kind kind = Kind::Info;
    QString text;
    bool operator==(const LinkMessage &) const = default;
};

// "Zkontrolovat": one message per entry, in order.
QList<LinkMessage> CheckEntries(const QString &directory, const QStringList &entries, LinkTab tab);
// "Velikost": a message per external or missing entry, then the total.
QList<LinkMessage> SizeEntries(const QString &directory, const QStringList &entries, LinkTab tab);
// Bytes of every local image and sound that exists, for the download-time calculator.
qint64 PageDownloadBytes(const QString &directory, const QStringList &images,
                         const QStringList &sounds);

// "Otevřít": an external entry goes to the shell as written; a local one as a file path,
// and only when it exists. Returns the message to show instead, if any.
std::optional<LinkMessage> OpenEntry(const QString &directory, const QString &entry);

// --- the window -----------------------------------------------------------------------------

// The document the analyser looks at. The command that opens the analyser implements it
// over the active document window.
class LinkAnalyzerDocument
{
public:
    virtual ~LinkAnalyzerDocument() = default;
    virtual QString fileName() const = 0;
    virtual QString text() const = 0;
    // Replaces the address find (letter case significant) wherever it is an attribute's
    // value in a tag, in whole or before a '#'; the text between tags stays. False, after
    // telling the user why, when the document was left unchanged.
    virtual bool replaceAddress(const QString &find, const QString &replacement) = 0;
};

// "Link Analyzer": the links, images and sounds of the document on three tabs, with buttons
// that check them, add up sizes, open one, replace one throughout the document and pass the
// page's size to the download-time calculator.
class TForm36 : public QDialog
{
    Q_OBJECT

public:
    explicit TForm36(LinkAnalyzerDocument &document, QWidget *parent = nullptr);

    QLabel *Label2;            // "Jméno souboru:"
    QLabel *Label3;            // "Aktuální adresář:"
    QTabWidget *PageControl1;
    QListWidget *ListBox1;     // "Odkazy"
    QListWidget *ListBox2;     // "Obrázky"
    QListWidget *ListBox3;     // "Hudba"
    QPushButton *Button1;      // "Zkontrolovat"
    QPushButton *Button2;      // "Velikost"
    QPushButton *Button3;      // "Otevřít"
    QPushButton *Button4;      // "Zaměnit"
    QPushButton *Button5;      // "Nahrávací čas"
    QPushButton *Button6;      // "Zavřít"

    // Reads the lists from the document again.
    void FindEntries();

    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Button5Click();

private:
    LinkTab visibleTab() const;
    QListWidget *list(LinkTab tab) const;
    QStringList selectedEntries() const;
    QStringList allEntries(LinkTab tab) const;
    QString currentEntry() const;
    void buildLayout();

    LinkAnalyzerDocument &m_document;
    QString m_directory;
};
