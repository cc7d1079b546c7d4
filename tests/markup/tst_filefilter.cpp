#include "markup/FileFilter.h"
#include "support/TestMain.h"

using namespace Qt::StringLiterals;

class tst_FileFilter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void matchesLikeWindows_data();
    void matchesLikeWindows();
    void panelFiltersShowEachCaptionOnce();
};

void tst_FileFilter::matchesLikeWindows_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("matches");

    // "*.*" and "*" take every file, also one without an extension
    QTest::newRow("starDotStar_plain") << u"index.html"_s << u"*.*"_s << true;
    QTest::newRow("starDotStar_noExtension") << u"Makefile"_s << u"*.*"_s << true;
    QTest::newRow("starDotStar_dotFile") << u".hidden"_s << u"*.*"_s << true;
    QTest::newRow("star_noExtension") << u"README"_s << u"*"_s << true;
    // case is ignored on both sides
    QTest::newRow("case_upperName") << u"LOGO.GIF"_s << u"*.gif"_s << true;
    QTest::newRow("case_upperPattern") << u"logo.gif"_s << u"*.GIF"_s << true;
    QTest::newRow("case_czech") << u"ŽLUŤOUČKÝ.HTM"_s << u"žluťoučký.*"_s << true;
    // a three-letter extension also takes longer ones that begin with it (short names)
    QTest::newRow("threeLetters_html") << u"index.html"_s << u"*.htm"_s << true;
    QTest::newRow("threeLetters_jpeg") << u"photo.jpeg"_s << u"*.jpe"_s << true;
    QTest::newRow("threeLetters_notOtherStart") << u"index.xhtml"_s << u"*.htm"_s << false;
    QTest::newRow("threeLetters_shorterNot") << u"page.ht"_s << u"*.htm"_s << false;
    QTest::newRow("fourLetters_noShortRule") << u"a.jpegx"_s << u"*.jpeg"_s << false;
    QTest::newRow("twoLetters_noShortRule") << u"a.auz"_s << u"*.au"_s << false;
    QTest::newRow("threeLetters_stemStillCounts") << u"b.html"_s << u"a*.htm"_s << false;
    // ordinary wildcards
    QTest::newRow("question_oneChar") << u"a1.gif"_s << u"a?.gif"_s << true;
    QTest::newRow("question_notTwo") << u"a12.gif"_s << u"a?.gif"_s << false;
    QTest::newRow("otherExtension") << u"style.css"_s << u"*.htm"_s << false;
    QTest::newRow("extensionOnlyInStem") << u"htm.txt"_s << u"*.htm"_s << false;
    QTest::newRow("exactName") << u"index.htm"_s << u"index.htm"_s << true;
    // "name." stands for a name without an extension
    QTest::newRow("trailingDot_noExtension") << u"README"_s << u"*."_s << true;
    QTest::newRow("trailingDot_withExtension") << u"a.txt"_s << u"*."_s << false;
}

void tst_FileFilter::matchesLikeWindows()
{
    QFETCH(QString, name);
    QFETCH(QString, pattern);
    QFETCH(bool, matches);
    QCOMPARE(matchesWildcard(name, pattern), matches);
}

void tst_FileFilter::panelFiltersShowEachCaptionOnce()
{
    const QList<FileFilter> filters = parseFileFilters(FilePanelFilterList);
    QCOMPARE(filters.size(), 12);
    QCOMPARE(filters.first(), (FileFilter{u"Všechny soubory (*.*)"_s, {u"*.*"_s}}));
    QCOMPARE(filters[1].caption, u"Html dokumenty (*.html;*.htm;*.htx;*.htt)"_s);
    QCOMPARE(filters[1].patterns, (QStringList{u"*.htm"_s, u"*.htx"_s, u"*.htt"_s}));
    QCOMPARE(filters.last(), (FileFilter{u"Java aplety (*.class)"_s, {u"*.class"_s}}));
}

BRISKO_TEST_MAIN(tst_FileFilter)
#include "tst_filefilter.moc"
