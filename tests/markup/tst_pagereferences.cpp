#include "markup/ElementContract.h"
#include "markup/PageReferences.h"
#include "support/TestMain.h"

using namespace Qt::StringLiterals;

namespace {

// "ELEMENT ATTRIBUTE value @offset" plus "+" for what loads with the page, "F" for a frame
// and "S" for a style sheet: one line per reference, easy to read in a table.
QStringList describe(const QList<PageReference> &references)
{
    QStringList lines;
    for (const PageReference &r : references) {
        QString flags;
        if (r.embedded)
            flags += u'+';
        if (r.frame)
            flags += u'F';
        if (r.styleSheet)
            flags += u'S';
        QString line = u"%1 %2 %3 @%4"_s.arg(r.element, r.attribute, r.value).arg(r.offset);
        if (!flags.isEmpty())
            line += u' ' + flags;
        if (!r.base.isEmpty())
            line += u" base="_s + r.base;
        lines << line;
    }
    return lines;
}

} // namespace

class tst_PageReferences : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void valuedAttributesKnowWhereValuesStart();
    void scanFindsReferences_data();
    void scanFindsReferences();
    void offsetsPointAtTheValue();
    void anchorsAreNamesAndIds();
    void firstBaseWithAnAddressIsKept();
    void styleSheetReferences_data();
    void styleSheetReferences();
    void parseClassifies_data();
    void parseClassifies();
    void entitiesDecode_data();
    void entitiesDecode();
    void segmentsResolve_data();
    void segmentsResolve();
    void lineIndexCountsFromOne();
};

void tst_PageReferences::valuedAttributesKnowWhereValuesStart()
{
    const QString tag = u"<IMG SRC=\"a b.gif\" ALT=x ISMAP\tWIDTH = 5 TITLE=\"WIDTH=9\">"_s;
    const QList<AttributeReader::Located> found = AttributeReader(tag).valuedAttributes();
    QCOMPARE(found.size(), 4);
    for (const AttributeReader::Located &a : found)
        QCOMPARE(tag.mid(a.valueStart, a.value.size()), a.value);
    QCOMPARE(found[0].name, u"SRC"_s);
    QCOMPARE(found[0].value, u"a b.gif"_s);
    // A flag has no value; the word inside a quoted value is no attribute.
    QCOMPARE(found[2].name, u"WIDTH"_s);
    QCOMPARE(found[2].value, u"5"_s);
    QCOMPARE(found[3].value, u"WIDTH=9"_s);
}

void tst_PageReferences::scanFindsReferences_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");

    // Elements and attributes that name files
    QTest::newRow("link_image_background")
        << u"<A HREF=\"a.html\"><IMG SRC=b.gif><BODY BACKGROUND='c.gif'>"_s
        << QStringList{u"A HREF a.html @9"_s, u"IMG SRC b.gif @26 +"_s, u"BODY BACKGROUND c.gif @50 +"_s};
    QTest::newRow("frames_and_scripts")
        << u"<FRAME SRC=\"f.html\"><IFRAME SRC=\"g.html\"><SCRIPT SRC=\"s.js\"></SCRIPT>"_s
        << QStringList{u"FRAME SRC f.html @12 +F"_s, u"IFRAME SRC g.html @33 +F"_s,
                       u"SCRIPT SRC s.js @54 +"_s};
    QTest::newRow("sounds_objects_maps")
        << u"<EMBED SRC=e.mid><BGSOUND SRC=b.wav><OBJECT DATA=o.swf><AREA HREF=x.html><IMG SRC=m.gif USEMAP=#m>"_s
        << QStringList{u"EMBED SRC e.mid @11 +"_s, u"BGSOUND SRC b.wav @30 +"_s,
                       u"OBJECT DATA o.swf @49 +"_s, u"AREA HREF x.html @66"_s,
                       u"IMG SRC m.gif @82 +"_s, u"IMG USEMAP #m @95"_s};
    // Media of today's pages: the poster, every source and the subtitles load with the page.
    QTest::newRow("video_poster_sources_track")
        << u"<VIDEO POSTER=p.jpg><SOURCE SRC=a.webm><TRACK SRC=t.vtt></VIDEO><AUDIO SRC=z.mp3>"_s
        << QStringList{u"VIDEO POSTER p.jpg @14 +"_s, u"SOURCE SRC a.webm @32 +"_s,
                       u"TRACK SRC t.vtt @50 +"_s, u"AUDIO SRC z.mp3 @75 +"_s};
    // Each file of a set is found where it is written; a comma inside a data address and
    // a file without a descriptor do not split or lose a file.
    QTest::newRow("srcset_files_each_a_reference")
        << u"<IMG SRCSET=\"a.jpg 480w,  b.jpg 2x,c.jpg\"><SOURCE SRCSET=\"data:x,y 1x\">"_s
        << QStringList{u"IMG SRCSET a.jpg @13 +"_s, u"IMG SRCSET b.jpg @26 +"_s,
                       u"IMG SRCSET c.jpg @35 +"_s, u"SOURCE SRCSET data:x,y @58 +"_s};
    // Only a style sheet link loads with the page.
    QTest::newRow("link_rel")
        << u"<LINK REL=stylesheet HREF=s.css><LINK REL=\"icon\" HREF=i.ico>"_s
        << QStringList{u"LINK HREF s.css @26 +S"_s, u"LINK HREF i.ico @54"_s};
    QTest::newRow("applet_class_file_under_codebase")
        << u"<APPLET CODE=\"A.class\" CODEBASE=\"app/\" ARCHIVE=a.jar><APPLET CODE=pkg.Main>"_s
        << QStringList{u"APPLET CODE A.class @14 + base=app/"_s, u"APPLET ARCHIVE a.jar @47 + base=app/"_s};
    // A tag name followed by a line break is found (the link analyser's search misses it).
    QTest::newRow("line_break_after_name")
        << u"<IMG\r\n  SRC=\"x.gif\">"_s << QStringList{u"IMG SRC x.gif @13 +"_s};
    QTest::newRow("blanks_inside_quotes_trimmed")
        << u"<A HREF=\"  a.html \">"_s << QStringList{u"A HREF a.html @11"_s};
    QTest::newRow("quoted_greater_than_stays_in_tag")
        << u"<A TITLE=\"a>b\" HREF=c.html>"_s << QStringList{u"A HREF c.html @20"_s};
    // What a browser never loads
    QTest::newRow("comment_skipped")
        << u"<!-- <IMG SRC=x.gif> --><IMG SRC=y.gif>"_s << QStringList{u"IMG SRC y.gif @33 +"_s};
    QTest::newRow("script_text_skipped")
        << u"<SCRIPT>document.write('<IMG SRC=x.gif>')</script><IMG SRC=y.gif>"_s
        << QStringList{u"IMG SRC y.gif @59 +"_s};
    QTest::newRow("end_tags_and_doctype_skipped")
        << u"<!DOCTYPE html></A HREF=x.html><P CLASS=a>"_s << QStringList{};
    QTest::newRow("unclosed_tag_gives_nothing") << u"<A HREF=x.html"_s << QStringList{};
    // Style text
    QTest::newRow("style_block_and_attribute")
        << u"<STYLE>p { background: url(a.gif) }</STYLE><P STYLE=\"background:url('b.gif')\">"_s
        << QStringList{u"url()  a.gif @27 +"_s, u"url()  b.gif @69 +"_s};
}

void tst_PageReferences::scanFindsReferences()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    QCOMPARE(describe(scanPage(text).references), expected);
}

void tst_PageReferences::offsetsPointAtTheValue()
{
    const QString text = u"<HTML>\r\n<a href = 'x.html' >\r\n<img src=\"Obrázek.GIF\">"
                         u"<img srcset=\" a.png 1x, Obrázek.GIF 2x\">"_s;
    for (const PageReference &r : scanPage(text).references)
        QCOMPARE(text.mid(r.offset, r.value.size()), r.value);
}

void tst_PageReferences::anchorsAreNamesAndIds()
{
    const PageScan scan = scanPage(
        u"<A NAME=\"top\"></A><MAP NAME=m><DIV ID=Part2><INPUT NAME=field><IMG NAME=pic>"_s);
    QCOMPARE(scan.anchors, (QStringList{u"top"_s, u"m"_s, u"Part2"_s}));
}

void tst_PageReferences::firstBaseWithAnAddressIsKept()
{
    const QString text =
        u"<HEAD><BASE TARGET=_top><BASE HREF = 'http://example.com/web/'><base href=\"/jinde/\">"
        u"</HEAD><IMG SRC=\"a.gif\">"_s;
    const PageScan scan = scanPage(text);
    QCOMPARE(scan.base, u"http://example.com/web/"_s);
    QCOMPARE(text.mid(scan.baseOffset, scan.base.size()), scan.base);
    // The base is where references are read from, no reference itself.
    QCOMPARE(scan.references.size(), 1);
    QCOMPARE(scan.references[0].value, u"a.gif"_s);
    const PageScan none = scanPage(u"<BASE HREF=\"\"><IMG SRC=a.gif>"_s);
    QCOMPARE(none.base, QString());
    QCOMPARE(none.baseOffset, -1);
}

void tst_PageReferences::styleSheetReferences_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("quoted_and_bare")
        << u"a{background:url(\"x.gif\")} b{background:URL( y.gif )}"_s
        << QStringList{u"url()  x.gif @18 +"_s, u"url()  y.gif @45 +"_s};
    QTest::newRow("imports_are_style_sheets")
        << u"@import \"a.css\";\n@import url(b.css);"_s
        << QStringList{u"@import  a.css @9 +S"_s, u"url()  b.css @29 +S"_s};
    QTest::newRow("comments_skipped")
        << u"/* url(x.gif) */ p{}"_s << QStringList{};
    // "url(" inside a longer word is no reference.
    QTest::newRow("word_ending_in_url") << u"p{x-myurl(a.gif)}"_s << QStringList{};
}

void tst_PageReferences::styleSheetReferences()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    QCOMPARE(describe(scanStyleText(text)), expected);
}

void tst_PageReferences::parseClassifies_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("form");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("fragment");
    QTest::addColumn<bool>("backslash");

    const int Empty = int(ReferenceForm::Empty), InPage = int(ReferenceForm::InPage),
              External = int(ReferenceForm::External), FileUrl = int(ReferenceForm::FileUrl),
              Drive = int(ReferenceForm::DrivePath), Local = int(ReferenceForm::Local);
    QTest::newRow("empty") << u"  "_s << Empty << QString() << QString() << false;
    QTest::newRow("query_only_is_the_page") << u"?a=1"_s << Empty << QString() << QString() << false;
    QTest::newRow("in_page") << u"#konec"_s << InPage << QString() << u"konec"_s << false;
    QTest::newRow("http") << u"HTTP://example.com/a.gif"_s << External << QString() << QString() << false;
    QTest::newRow("https") << u"https://example.com/"_s << External << QString() << QString() << false;
    QTest::newRow("protocol_relative") << u"//cdn.example.com/x.js"_s << External << QString() << QString() << false;
    QTest::newRow("mailto") << u"mailto:a@b.cz"_s << External << QString() << QString() << false;
    QTest::newRow("javascript") << u"javascript:void(0)"_s << External << QString() << QString() << false;
    QTest::newRow("file_url") << u"file:///C:/web/a.html"_s << FileUrl << QString() << QString() << false;
    QTest::newRow("drive_backslash") << u"C:\\web\\a.gif"_s << Drive << QString() << QString() << false;
    QTest::newRow("drive_slash") << u"d:/web/a.gif"_s << Drive << QString() << QString() << false;
    QTest::newRow("windows_share") << u"\\\\server\\web\\a.gif"_s << Drive << QString() << QString() << false;
    QTest::newRow("relative") << u"img/a.gif"_s << Local << u"img/a.gif"_s << QString() << false;
    QTest::newRow("fragment_and_query") << u"a.html?x=1#part"_s << Local << u"a.html"_s << u"part"_s << false;
    QTest::newRow("backslashes") << u"img\\a.gif"_s << Local << u"img/a.gif"_s << QString() << true;
    // A colon after the first "/" belongs to the path, not to a scheme.
    QTest::newRow("colon_in_path") << u"dir/a:b.html"_s << Local << u"dir/a:b.html"_s << QString() << false;
    QTest::newRow("percent_encoded_czech") << u"ob%C3%A1zek%201.gif"_s << Local << u"obázek 1.gif"_s << QString() << false;
    QTest::newRow("entity") << u"a&amp;b.html"_s << Local << u"a&b.html"_s << QString() << false;
}

void tst_PageReferences::parseClassifies()
{
    QFETCH(QString, value);
    QFETCH(int, form);
    QFETCH(QString, path);
    QFETCH(QString, fragment);
    QFETCH(bool, backslash);
    const ParsedReference parsed = parseReference(value);
    QCOMPARE(int(parsed.form), form);
    QCOMPARE(parsed.path, path);
    QCOMPARE(parsed.fragment, fragment);
    QCOMPARE(parsed.backslash, backslash);
}

void tst_PageReferences::entitiesDecode_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("named") << u"&lt;a&gt; &quot;&amp;"_s << u"<a> \"&"_s;
    QTest::newRow("numeric") << u"&#269;&#x10D;"_s << u"čč"_s;
    QTest::newRow("unknown_kept") << u"&foo; & x"_s << u"&foo; & x"_s;
}

void tst_PageReferences::entitiesDecode()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(decodeEntities(text), expected);
}

void tst_PageReferences::segmentsResolve_data()
{
    QTest::addColumn<QStringList>("base");
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("expected"); // name:written index

    QTest::newRow("plain") << QStringList{u"a"_s} << u"b/c.gif"_s << true << u"a:-1 b:0 c.gif:1"_s;
    QTest::newRow("dots") << QStringList{u"a"_s, u"b"_s} << u"./../c/./d.gif"_s << true
                          << u"a:-1 c:2 d.gif:4"_s;
    QTest::newRow("up_to_root") << QStringList{u"a"_s} << u"../x.gif"_s << true << u"x.gif:1"_s;
    QTest::newRow("above_root") << QStringList{u"a"_s} << u"../../x.gif"_s << false << QString();
    // A folder that does not exist still cancels against "..", as a browser resolves it.
    QTest::newRow("through_missing_folder") << QStringList{} << u"none/../x.gif"_s << true << u"x.gif:2"_s;
}

void tst_PageReferences::segmentsResolve()
{
    QFETCH(QStringList, base);
    QFETCH(QString, path);
    QFETCH(bool, ok);
    QFETCH(QString, expected);
    std::vector<PathSegment> out;
    QCOMPARE(resolveSegments(base, path, out), ok);
    if (!ok)
        return;
    QStringList got;
    for (const PathSegment &s : out)
        got << s.name + u':' + QString::number(s.written);
    QCOMPARE(got.join(u' '), expected);
}

void tst_PageReferences::lineIndexCountsFromOne()
{
    const QString text = u"ab\r\n\tcd\r\n\r\nx"_s;
    const LineIndex index(text);
    QCOMPARE(index.line(0), 1);
    QCOMPARE(index.column(0), 1);
    QCOMPARE(index.line(5), 2); // "c" after a tab
    QCOMPARE(index.column(5), 2);
    QCOMPARE(index.line(11), 4);
    QCOMPARE(index.column(11), 1);
}

BRISKO_TEST_MAIN(tst_PageReferences)
#include "tst_pagereferences.moc"
