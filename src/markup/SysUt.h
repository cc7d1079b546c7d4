#pragma once

#include "markup/ColorValue.h"

#include <QString>
#include <QStringList>
#include <QStringView>
#include <QUrl>


// Shared string, tag and path helpers of the editor, plus thin wrappers around the
// platform's shell, browser conversation and registry.
//
// Positions: `TagAtPosition` takes a caret offset (the number of characters before the
// caret, 0-based, CR LF counting as two as everywhere in the editor). `FindAttribute`
// answers with a 1-based position and 0 for "not found", the way the tag functions
// describe it to each other; every other function hides positions.
//
// "Blank" is any character with a code from 0 to 32; trimming removes blanks at both
// ends. Upper-casing in the tag and attribute functions touches only ASCII a-z.

// --- small string helpers -------------------------------------------------------------

bool IsBlank(QChar c);
QString TrimBlanks(QStringView text);
QString AsciiUpperCase(QStringView text);

// --- tags and attributes --------------------------------------------------------------

// The whole tag around the caret, from its "<" through its ">", or empty.
QString TagAtPosition(QStringView text, int caretOffset);
// '<IMG SRC=a.gif>' gives 'IMG', '<BR>' gives 'BR', '</B>' gives '/B'.
QString TagName(QStringView tag);
// '<IMG SRC=a.gif>' gives 'SRC=a.gif'; empty when the tag holds no space.
QString TagAttributeText(QStringView tag);
// True when word occurs in the tag once spaces are removed and both are upper-cased.
bool TagContains(QStringView tag, QStringView word);
// 1-based position of the first needle (" NAME", upper case) followed by blanks and "=",
// in the upper-cased tag text; 0 when there is none.
int FindAttribute(QStringView needle, QStringView upperTag);
// The value of the attribute (name case-insensitive), or empty. With remove set the
// attribute is also taken out of tag. It takes a name even inside another attribute's
// quoted value; the editor reads tags with AttributeReader, which does not.
QString ReadAttribute(QString &tag, QStringView name, bool remove);
// The tag without the attribute and its value; occurrences inside quoted values of other
// attributes are skipped.
QString RemoveAttribute(const QString &tag, QStringView name);

// --- attribute pieces: nothing, or a space followed by one attribute ----------------
// The name includes its "=", as 'WIDTH='.

QString AttrPiece(const QString &name, const QString &value);
QString QuotedAttrPiece(const QString &name, const QString &value);
// The value in quotes that keep it whole: double, or single when it holds double quotes.
QString QuotedValue(const QString &value);
QString ColorAttrPiece(const QString &name, ColorValue color, bool enabled);
QString NumberAttrPiece(const QString &name, int number, bool enabled);

// --- colours --------------------------------------------------------------------------

// Six upper-case hexadecimal digits, red first, without "#".
QString ColorToHex(ColorValue color);
// One of the sixteen HTML colour names or "#RRGGBB"; 0 (black) for anything else.
ColorValue HtmlColorToColor(QStringView text);
// True when HtmlColorToColor reads the text as a colour: one of the sixteen names (any
// case) or "#" with exactly six hexadecimal digits, blanks around allowed.
bool IsHtmlColor(QStringView text);

// --- file references ------------------------------------------------------------------
// Paths use Qt's "/" separator on every platform; native backslashes on Windows are
// converted first.

// The settings that shape file references written into markup.
struct PathOptions
{
    bool relPa = false;          // relative to the document rather than the bare name
    bool alt92 = false;          // "\" rather than "/" between folders
    bool upperCaseFiles = false; // file references in upper case
};

// The name a document keeps until it is first saved.
QString NeverSavedName();
// The file path as seen from the document's directory.
QString RelativePath(const QString &documentPath, const QString &filePath);
// The chosen file as written into markup: relative to the document when RelPa is on and
// the document has been saved, otherwise the bare file name; "\" or "/" by Alt92;
// upper-cased when UpperCaseFiles is on.
QString DocumentRelativePath(const QString &chosen, const QString &documentFileName,
                             const PathOptions &options);
// "\" when Alt92 is on, else "/".
QString PathSeparator(const PathOptions &options);

// --- whole-text transformations ---------------------------------------------------------

QString CzechUpperCase(QStringView text);
QString CzechLowerCase(QStringView text);
QString StripTags(QStringView text);
QString RemoveSpacesOutsideTags(QStringView text);
QString SlashesInQuotes(QStringView text);
QString RemoveSpaces(QStringView text);
QString Spaces(int count);
int CountChar(QChar ch, QStringView text);
int LeadingSpaces(QStringView text);
// Replaces every occurrence and searches produced text again, as if restarting from the
// start after each replacement. It always ends: when the replacement contains the
// searched text (which would never end) it makes one pass like ReplaceEach.
QString ReplaceAll(QStringView text, QStringView find, QStringView replacement);
// One left-to-right pass; produced text is not searched again.
QString ReplaceEach(QStringView text, QStringView find, QStringView replacement);

// --- platform services ----------------------------------------------------------------

// Opens documents and starts programs. The program installs the real shell; tests install
// a recorder.
class Shell
{
public:
    virtual ~Shell() = default;
    // Opens a file or an address with its associated program.
    virtual void openUrl(const QUrl &url) = 0;
    virtual void startDetached(const QString &program, const QStringList &arguments,
                               const QString &workingDirectory) = 0;
};

Shell &shell();
// Installs another shell (not owned); nullptr brings back the real one.
void setShell(Shell *shell);

// A request of a conversation with a browser that understands the "Netscape" service.
struct DdeRequest
{
    QString service;
    QString topic;
    QString item;
    int timeoutMs = 0;
    bool operator==(const DdeRequest &) const = default;
};

// Carries the requests of one conversation; serverProgram is started when no browser
// answers. The real transport on Linux starts serverProgram with the address.
class DdeTransport
{
public:
    virtual ~DdeTransport() = default;
    virtual void converse(const QString &serverProgram, const QList<DdeRequest> &requests) = 0;
};

DdeTransport &ddeTransport();
// Installs another transport (not owned); nullptr brings back the real one.
void setDdeTransport(DdeTransport *transport);

enum class RegistryRoot { CurrentUser, LocalMachine };

// Reads one string value of the registry the program keeps in its settings.
class RegistryReader
{
public:
    virtual ~RegistryReader() = default;
    virtual QString readString(RegistryRoot root, const QString &keyPath,
                               const QString &valueName) = 0;
};

RegistryReader &registryReader();

// Opens a file or an address with its associated program.
void ShellOpen(const QString &fileOrUrl);
// Starts a program (or opens a document) with the parameter string passed whole as one
// argument, in the given working directory. showMode is accepted for the callers' sake;
// the desktop decides how a new window appears.
void ShellRun(const QString &file, const QString &parameters, const QString &directory,
              int showMode = 1);
// Asks a running browser to show the address; ExtBrow is the program that answers.
void DdeOpenUrl(const QString &url, const QString &browserProgram);
// The two requests DdeOpenUrl sends, in order.
QList<DdeRequest> DdeOpenUrlRequests(const QString &url);
// The string value, or empty when it is missing.
QString ReadRegistryString(RegistryRoot root, const QString &keyPath, const QString &valueName);
// The version of the embedded browser engine, which takes the place of the installed
// browser component's version ("90.0.4430.228").
QString browserComponentVersion();
