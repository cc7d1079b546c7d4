#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <vector>

// What a page or a style sheet refers to, where in its text, and what anchors it offers;
// the site check builds on it. Offsets are in the text as read (CR LF line breaks).

// One reference: an attribute value or a url(...) as written.
struct PageReference
{
    QString value;         // as written, quotes removed
    qsizetype offset = -1; // of the value's first character
    QString element;       // "A", "IMG" ... upper case; "url()" for style text
    QString attribute;     // "HREF", "SRC" ... upper case; empty for style text
    // Loads together with the page (images, frames, scripts, style sheets, sounds), so it
    // counts to the page's weight; links and anchors only lead elsewhere.
    bool embedded = false;
    bool frame = false;       // FRAME or IFRAME: a page shown inside the page
    bool styleSheet = false;  // a style sheet: its own url(...) load with the page
    QString base;             // the folder the value is read from when not the page's own
                              // (an applet's CODEBASE), as written; empty otherwise
    friend bool operator==(const PageReference &, const PageReference &) = default;
};

struct PageScan
{
    QList<PageReference> references; // in the order of the text
    QStringList anchors;             // every NAME and ID value, as written
    // The HREF of the page's first BASE element that has one (quotes removed, as written):
    // every relative reference of the page is read from there, not from the page's folder.
    // Empty when the page has none; baseOffset is of its value's first character.
    QString base;
    qsizetype baseOffset = -1;
};

// The references and anchors of an HTML page: A/AREA/LINK HREF, IMG SRC (LOWSRC, DYNSRC,
// USEMAP), INPUT/FRAME/IFRAME/SCRIPT/EMBED/BGSOUND SRC, BACKGROUND of any element, OBJECT
// DATA, APPLET CODE (a ".class" file) and ARCHIVE, VIDEO SRC and POSTER, AUDIO/SOURCE/TRACK
// SRC, each file of IMG and SOURCE SRCSET, and url(...) in STYLE blocks and style
// attributes, and the HREF of BASE. Comments and the content of SCRIPT elements are skipped.
PageScan scanPage(QStringView text);
// The url(...) and @import references of a style sheet (or of a STYLE block or a style
// attribute: offsets count from the start of text, plus shift).
QList<PageReference> scanStyleText(QStringView text, qsizetype shift = 0);

// What kind of address a reference is.
enum class ReferenceForm {
    Empty,     // nothing, or only a "?query": the page itself
    InPage,    // "#name": an anchor of the page itself
    External,  // another machine or another scheme (http:, mailto:, javascript: ...)
    FileUrl,   // "file:" - this computer's disk
    DrivePath, // "C:\..." or "C:/..."
    Local,     // a path on the site
};

struct ParsedReference
{
    ReferenceForm form = ReferenceForm::Empty;
    QString path;          // decoded (entities, %XX), "\" read as "/"; Local only
    QString fragment;      // decoded, without "#"; empty when none
    bool hasFragment = false;
    bool backslash = false;    // the path was written with "\", which only Windows reads
    bool fromRoot = false;     // begins with "/": from the site's root
    QString scheme;            // External: "http", "mailto" ... lower case
};

ParsedReference parseReference(QStringView value);

// Character and numeric entities of an attribute value (&amp; &lt; &gt; &quot; &apos;
// &nbsp; &#NN; &#xNN;) as the characters they stand for.
QString decodeEntities(QStringView text);

// The name segments of a path after the dot segments are taken out, starting from the
// folder segments of base. Each segment remembers which segment of the written path it
// came from (-1 for those of base). Fails when ".." climbs above base's root.
struct PathSegment
{
    QString name;
    int written = -1;
};
bool resolveSegments(const QStringList &base, QStringView path, std::vector<PathSegment> &out);

// Line and column (both from 1) of offsets in a text with CR LF (or LF) line breaks; the
// column counts characters, a tab as one.
class LineIndex
{
public:
    explicit LineIndex(QStringView text);
    int line(qsizetype offset) const;
    int column(qsizetype offset) const;

private:
    std::vector<qsizetype> m_starts;
};
