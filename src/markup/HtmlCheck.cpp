#include "markup/HtmlCheck.h"

#include "markup/LazyLibrary.h"
#include "markup/MarkupStyle.h"

#include <QHash>
#include <QStringList>

#include <tidy/tidy.h>
#include <tidy/tidybuffio.h>

#include <algorithm>
#include <vector>

using namespace Qt::StringLiterals;

QString htmlMessageKindName(HtmlMessageKind kind)
{
    switch (kind) {
    case HtmlMessageKind::Error:
        return u"Chyba"_s;
    case HtmlMessageKind::Warning:
        return u"Varování"_s;
    case HtmlMessageKind::Proprietary:
        return u"Nestandardní"_s;
    case HtmlMessageKind::Accessibility:
        return u"Přístupnost"_s;
    }
    return {};
}

QString describeHtmlMessage(const HtmlMessage &m)
{
    return u"%1 %2:%3 %4"_s.arg(htmlMessageKindName(m.kind)).arg(m.line).arg(m.column).arg(m.text);
}

namespace {

// HTML Tidy, loaded with the first check: linked, it was mapped at every start of the editor.
#define BRISKO_TIDY_FUNCTIONS(X) \
    X(tidyBufAttach) \
    X(tidyBufDetach) \
    X(tidyBufFree) \
    X(tidyBufInit) \
    X(tidyCleanAndRepair) \
    X(tidyCreate) \
    X(tidyGetAppData) \
    X(tidyGetArgType) \
    X(tidyGetArgValueDouble) \
    X(tidyGetArgValueInt) \
    X(tidyGetArgValueString) \
    X(tidyGetArgValueUInt) \
    X(tidyGetMessage) \
    X(tidyGetMessageArguments) \
    X(tidyGetMessageColumn) \
    X(tidyGetMessageDoc) \
    X(tidyGetMessageKey) \
    X(tidyGetMessageLevel) \
    X(tidyGetMessageLine) \
    X(tidyGetNextMessageArgument) \
    X(tidyOptSetBool) \
    X(tidyOptSetInt) \
    X(tidyOptSetValue) \
    X(tidyParseBuffer) \
    X(tidyRelease) \
    X(tidyRunDiagnostics) \
    X(tidySetAppData) \
    X(tidySetErrorBuffer) \
    X(tidySetMessageCallback)

struct LibTidy
{
    BRISKO_LIBRARY_FUNCTIONS(BRISKO_TIDY_FUNCTIONS)
};

const LibTidy *loadLibTidy()
{
    return loadLibraryApi<LibTidy>(u"libtidy.so.5deb1"_s);
}

// The library once checkHtml() found it loaded.
const LibTidy &tidy()
{
    return *loadLibTidy();
}

// Czech texts of the messages people meet most, by Tidy's key; %1, %2 ... are Tidy's own
// arguments in its order. The number of arguments must match, or Tidy's text is kept.
struct CzechText
{
    const char *key;
    int arguments;
    const char16_t *text;
};

const CzechText kCzech[] = {
    {"MISSING_ENDTAG_FOR", 1, u"chybí koncová značka </%1>"},
    {"MISSING_ENDTAG_BEFORE", 2, u"chybí koncová značka </%1> před %2"},
    {"MISSING_STARTTAG", 1, u"chybí počáteční značka <%1>"},
    {"INSERTING_TAG", 1, u"chybí <%1>, doplní se"},
    {"DISCARDING_UNEXPECTED", 1, u"nečekaná značka %1 (špatně vnořená nebo navíc), vynechává se"},
    {"NON_MATCHING_ENDTAG", 2, u"koncová značka </%1> je špatně vnořená"},
    {"TAG_NOT_ALLOWED_IN", 2, u"%1 nesmí být uvnitř <%2>"},
    {"COERCE_TO_ENDTAG", 2, u"<%1> má být nejspíš </%2>"},
    {"NESTED_EMPHASIS", 1, u"vnořené zvýraznění %1"},
    {"CANT_BE_NESTED", 1, u"%1 nesmí být vnořen"},
    {"PROPRIETARY_ELEMENT", 1, u"%1 je nestandardní prvek (W3C jej neschválilo)"},
    {"PROPRIETARY_ATTRIBUTE", 2, u"%1 má neznámý nebo nestandardní atribut \"%2\""},
    {"PROPRIETARY_ATTR_VALUE", 2, u"%1 má nestandardní hodnotu atributu \"%2\""},
    {"MISMATCHED_ATTRIBUTE_WARN", 3, u"%1: atribut \"%2\" není v %3 povolen"},
    {"MISMATCHED_ATTRIBUTE_ERROR", 3, u"%1: atribut \"%2\" není v %3 povolen"},
    {"MISSING_ATTRIBUTE", 2, u"%1 nemá atribut \"%2\""},
    {"MISSING_IMAGE_ALT", 1, u"%1 nemá atribut \"alt\""},
    {"UNKNOWN_ELEMENT", 1, u"%1 je neznámý prvek"},
    {"MISSING_DOCTYPE", 0, u"chybí deklarace <!DOCTYPE>"},
    {"MISSING_TITLE_ELEMENT", 0, u"chybí prvek <title>"},
    {"TRIM_EMPTY_ELEMENT", 1, u"prázdný prvek %1"},
    {"UNESCAPED_AMPERSAND", 0, u"znak & má být zapsán jako &amp;"},
    {"MISSING_ATTR_VALUE", 2, u"%1: atribut \"%2\" nemá hodnotu"},
    {"BAD_ATTRIBUTE_VALUE", 3, u"%1: atribut \"%2\" má neplatnou hodnotu \"%3\""},
    {"ELEMENT_NOT_EMPTY", 1, u"prvek %1 není prázdný nebo není uzavřen"},
    {"REMOVED_HTML5", 1, u"prvek %1 v HTML5 už není"},
    {"ELEMENT_VERS_MISMATCH_WARN", 2, u"prvek %1 v %2 není"},
    {"ELEMENT_VERS_MISMATCH_ERROR", 2, u"prvek %1 v %2 není"},
};

// "<marquee>" or "</marquee>", as Tidy names an element, without its brackets.
QStringView bareElementName(QStringView name)
{
    QStringView bare = name;
    while (bare.startsWith(u'<') || bare.startsWith(u'/'))
        bare = bare.mid(1);
    if (bare.endsWith(u'>'))
        bare.chop(1);
    return bare;
}

// Elements no standard ever had; a page may use them on purpose, so they are never errors.
bool isProprietaryElement(QStringView name)
{
    static const QStringView names[] = {u"marquee", u"bgsound", u"blink", u"nobr", u"wbr",
                                        u"embed", u"layer", u"ilayer", u"multicol",
                                        u"spacer", u"nolayer", u"server", u"comment"};
    const QStringView bare = bareElementName(name);
    return std::any_of(std::begin(names), std::end(names), [&](QStringView n) {
        return bare.compare(n, Qt::CaseInsensitive) == 0;
    });
}

struct Collector
{
    QList<HtmlMessage> messages;
};

QStringList argumentsOf(TidyMessage message)
{
    QStringList args;
    TidyIterator it = tidy().tidyGetMessageArguments(message);
    while (it) {
        TidyMessageArgument arg = tidy().tidyGetNextMessageArgument(message, &it);
        switch (tidy().tidyGetArgType(message, &arg)) {
        case tidyFormatType_STRING:
            args << QString::fromUtf8(tidy().tidyGetArgValueString(message, &arg));
            break;
        case tidyFormatType_INT:
            args << QString::number(tidy().tidyGetArgValueInt(message, &arg));
            break;
        case tidyFormatType_UINT:
            args << QString::number(tidy().tidyGetArgValueUInt(message, &arg));
            break;
        case tidyFormatType_DOUBLE:
            args << QString::number(tidy().tidyGetArgValueDouble(message, &arg));
            break;
        default:
            args << QString();
        }
    }
    return args;
}

QString czechText(const QString &key, const QStringList &args)
{
    for (const CzechText &t : kCzech) {
        if (key == QLatin1StringView(t.key) && args.size() == t.arguments) {
            QString text = QString::fromUtf16(t.text);
            for (int i = 0; i < args.size(); ++i)
                text.replace(u'%' + QString::number(i + 1), args[i]);
            return text;
        }
    }
    return {};
}

Bool TIDY_CALL collectMessage(TidyMessage message)
{
    auto *collector = static_cast<Collector *>(tidy().tidyGetAppData(tidy().tidyGetMessageDoc(message)));
    HtmlMessage m;
    switch (tidy().tidyGetMessageLevel(message)) {
    case TidyWarning:
        m.kind = HtmlMessageKind::Warning;
        break;
    case TidyAccess:
        m.kind = HtmlMessageKind::Accessibility;
        break;
    case TidyError:
    case TidyBadDocument:
    case TidyFatal:
        m.kind = HtmlMessageKind::Error;
        break;
    default:
        return no; // information, configuration and the summary are no findings
    }
    m.key = QString::fromLatin1(tidy().tidyGetMessageKey(message));
    // The text was converted to UTF-8 here, whatever its file says; Tidy's notes about
    // the declared encoding do not apply.
    if (m.key == u"ENCODING_MISMATCH"_s)
        return no;
    // Attributes HTML5 gained after this Tidy was written are standard, not unknown.
    static const QStringView laterHtml5Attributes[] = {u"loading", u"decoding", u"fetchpriority",
                                                       u"playsinline", u"enterkeyhint"};
    if (m.key == u"PROPRIETARY_ATTRIBUTE"_s) {
        const QStringList named = argumentsOf(message);
        if (named.size() == 2
            && std::find(std::begin(laterHtml5Attributes), std::end(laterHtml5Attributes),
                         named[1].toLower())
                   != std::end(laterHtml5Attributes))
            return no;
    }
    m.line = std::max(tidy().tidyGetMessageLine(message), 1);
    m.column = std::max(tidy().tidyGetMessageColumn(message), 1);
    const QStringList args = argumentsOf(message);
    m.text = czechText(m.key, args);
    if (m.text.isEmpty())
        m.text = QString::fromUtf8(tidy().tidyGetMessage(message)).trimmed();
    // The element itself is what the message is about, and HTML5 has nothing in its place:
    // said in the words of the palette and the menu.
    static const QStringView elementKeys[] = {u"REMOVED_HTML5", u"PROPRIETARY_ELEMENT",
                                              u"ELEMENT_VERS_MISMATCH_WARN",
                                              u"ELEMENT_VERS_MISMATCH_ERROR", u"UNKNOWN_ELEMENT"};
    if (!args.isEmpty() && std::find(std::begin(elementKeys), std::end(elementKeys), m.key) != std::end(elementKeys)
        && isObsoleteWithoutReplacement(bareElementName(args.first()).toString().toUpper()))
        m.text += u" (zastaralé: HTML5 za něj nemá náhradu)"_s;
    // What a page does with MARQUEE, BGSOUND or BLINK is its author's choice: said, but
    // never an error.
    if (m.key.startsWith(u"PROPRIETARY_"_s)
        || (m.kind == HtmlMessageKind::Error && !args.isEmpty()
            && isProprietaryElement(args.first())))
        m.kind = HtmlMessageKind::Proprietary;
    collector->messages.append(m);
    return no;
}

// Tidy counts the columns of a line in characters (code points); the editor counts UTF-16
// units, two for a character beyond the Basic Multilingual Plane (most emoji). Each
// message's column becomes the editor's, so the caret lands before the character Tidy
// meant and never between the two halves of one.
void toEditorColumns(QStringView page, QList<HtmlMessage> &messages)
{
    if (std::none_of(page.begin(), page.end(), [](QChar c) { return c.isSurrogate(); }))
        return;
    // Where each line starts, its breaks counted as Tidy counts them: CR LF, LF or CR.
    std::vector<qsizetype> starts{0};
    for (qsizetype i = 0; i < page.size(); ++i) {
        if (page[i] == u'\r' && i + 1 < page.size() && page[i + 1] == u'\n')
            ++i;
        if (page[i] == u'\r' || page[i] == u'\n')
            starts.push_back(i + 1);
    }
    for (HtmlMessage &m : messages) {
        if (m.line < 1 || size_t(m.line) > starts.size())
            continue;
        const qsizetype from = starts[size_t(m.line - 1)];
        qsizetype to = size_t(m.line) < starts.size() ? starts[size_t(m.line)] : page.size();
        while (to > from && (page[to - 1] == u'\r' || page[to - 1] == u'\n'))
            --to;
        const QStringView line = page.sliced(from, to - from);
        qsizetype unit = 0;
        int character = 1;
        for (; character < m.column && unit < line.size(); ++character) {
            const bool pair = line[unit].isHighSurrogate() && unit + 1 < line.size()
                              && line[unit + 1].isLowSurrogate();
            unit += pair ? 2 : 1;
        }
        // Past the line's end the columns go on one unit each.
        m.column = int(unit) + 1 + (m.column - character);
    }
}

} // namespace

QList<HtmlMessage> checkHtml(QStringView page)
{
    if (!loadLibTidy()) {
        return {{HtmlMessageKind::Error, 1, 1,
                 u"Knihovnu HTML Tidy se nepodařilo načíst (balíček libtidy5deb1): stránka se nezkontrolovala."_s,
                 {}}};
    }
    Collector collector;
    TidyDoc doc = tidy().tidyCreate();
    tidy().tidySetAppData(doc, &collector);
    tidy().tidySetMessageCallback(doc, collectMessage);
    TidyBuffer errors;
    tidy().tidyBufInit(&errors);
    tidy().tidySetErrorBuffer(doc, &errors); // nothing reaches the terminal
    tidy().tidyOptSetValue(doc, TidyInCharEncoding, "utf8");
    tidy().tidyOptSetBool(doc, TidyShowWarnings, yes);
    tidy().tidyOptSetBool(doc, TidyShowInfo, no);
    tidy().tidyOptSetBool(doc, TidyQuiet, yes);
    tidy().tidyOptSetInt(doc, TidyShowErrors, 100000);
    tidy().tidyOptSetInt(doc, TidyTabSize, 1); // a tab is one column, as in the editor

    QByteArray utf8 = page.toUtf8();
    TidyBuffer input;
    tidy().tidyBufInit(&input);
    tidy().tidyBufAttach(&input, reinterpret_cast<byte *>(utf8.data()), uint(utf8.size()));
    tidy().tidyParseBuffer(doc, &input);
    // Proprietary elements and attributes and the markup version are reported only by
    // the diagnostics, which need the repaired tree.
    tidy().tidyCleanAndRepair(doc);
    tidy().tidyRunDiagnostics(doc);
    tidy().tidyBufDetach(&input);
    tidy().tidyRelease(doc);
    tidy().tidyBufFree(&errors);

    toEditorColumns(page, collector.messages);
    std::stable_sort(collector.messages.begin(), collector.messages.end(),
                     [](const HtmlMessage &a, const HtmlMessage &b) {
                         return std::pair(a.line, a.column) < std::pair(b.line, b.column);
                     });
    return collector.messages;
}
