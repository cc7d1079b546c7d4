#include "markup/SpellWords.h"
#include "support/TestMain.h"

using namespace Qt::StringLiterals;

namespace {

QString wordsOf(QStringView text, const std::vector<SpellWord> &words)
{
    QStringList out;
    for (const SpellWord &w : words)
        out << text.mid(w.start, w.length).toString();
    return out.join(u'|');
}

} // namespace

class tst_SpellWords : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void findsOnlyTheTextAReaderSees_data();
    void findsOnlyTheTextAReaderSees();
    void lineByLineFindsWhatTheWholePageFinds_data();
    void lineByLineFindsWhatTheWholePageFinds();
    void stateSurvivesPacking();
};

void tst_SpellWords::findsOnlyTheTextAReaderSees_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("words");

    // text between tags
    QTest::newRow("czechLetters") << u"Příliš žluťoučký kůň"_s << u"Příliš|žluťoučký|kůň"_s;
    QTest::newRow("tagNamesAndAttributes_skipped")
        << u"<P ALIGN=center CLASS=\"nadpis\">Dobrý <B>den</B></P>"_s << u"Dobrý|den"_s;
    QTest::newRow("hyphenatedWord_isOneWord") << u"česko-slovenský - pomlčka"_s
                                               << u"česko-slovenský|pomlčka"_s;
    QTest::newRow("apostropheInsideWord") << u"don't 'quoted'"_s << u"don't|quoted"_s;
    QTest::newRow("numbersAndWordsWithDigits_skipped") << u"do 10h ráno 2024 H2O"_s
                                                        << u"do|ráno"_s;
    QTest::newRow("capitalsOnly_skipped") << u"Zkratky HTML a CSS, slovo A"_s
                                           << u"Zkratky|a|slovo|A"_s;
    QTest::newRow("lessThanInText_isNoTag") << u"a < b a <5"_s << u"a|b|a"_s;

    // readable attribute values
    QTest::newRow("altAndTitleValues_checked")
        << u"<IMG SRC=\"kocka.gif\" ALT=\"Naše kočka\" TITLE='Fotka psa'>"_s
        << u"Naše|kočka|Fotka|psa"_s;
    QTest::newRow("unquotedAlt_checked") << u"<IMG ALT=Obrázek SRC=a.gif>"_s << u"Obrázek"_s;
    QTest::newRow("otherValues_skipped")
        << u"<A HREF=\"stranka.html\" NAME=\"kotva\" alt>text</A>"_s << u"text"_s;
    // an apostrophe ends a single-quoted value, so it cannot be part of a word there
    QTest::newRow("singleQuotedTitle_endsAtQuote") << u"<A TITLE='jedna'dva>x</A>"_s
                                                    << u"jedna|x"_s;
    QTest::newRow("titleElement_checked") << u"<TITLE>Moje stránka</TITLE>"_s
                                           << u"Moje|stránka"_s;

    // what is never text
    QTest::newRow("comment_skipped") << u"před<!-- chybicka <B>x</B> -->po"_s << u"před|po"_s;
    QTest::newRow("scriptBlock_skipped")
        << u"a<SCRIPT>var x = \"neslovo\"; if (a<b) {}</SCRIPT>b"_s << u"a|b"_s;
    QTest::newRow("styleBlock_skipped") << u"a<STYLE>P { colr: red }</STYLE>b"_s << u"a|b"_s;
    QTest::newRow("doctypeAndProcessing_skipped")
        << u"<!DOCTYPE HTML PUBLIC \"-//W3C//DTD\"><?php echo ?>slovo"_s << u"slovo"_s;

    // references and addresses
    QTest::newRow("spaceReferences_separateWords") << u"Text&nbsp;s&nbsp;mezerou&#160;ok"_s
                                                    << u"Text|s|mezerou|ok"_s;
    QTest::newRow("letterReference_skipsItsWord") << u"ko&#269;ka a p&aacute;n"_s << u"a"_s;
    QTest::newRow("addresses_skipped")
        << u"www.seznam.cz jan.novak@firma.cz http://a.cz/b soubor_x.html konec."_s
        << u"konec"_s;
}

void tst_SpellWords::findsOnlyTheTextAReaderSees()
{
    QFETCH(QString, page);
    QFETCH(QString, words);
    QCOMPARE(wordsOf(page, findSpellWords(page)), words);
}

void tst_SpellWords::lineByLineFindsWhatTheWholePageFinds_data()
{
    QTest::addColumn<QString>("page");
    QTest::newRow("commentOverLines") << u"a<!-- jedna\r\ndva -->tři\r\nčtyři"_s;
    QTest::newRow("scriptOverLines") << u"<SCRIPT>\r\nneslovo\r\n</SCRIPT>\r\nslovo"_s;
    QTest::newRow("tagOverLines") << u"<IMG\r\nSRC=\"a.gif\"\r\nALT=\"Pes\r\nRek\">text"_s;
    QTest::newRow("valueOverLines") << u"<A HREF=\"dlouhá\r\nadresa\">odkaz</A>"_s;
}

void tst_SpellWords::lineByLineFindsWhatTheWholePageFinds()
{
    QFETCH(QString, page);
    const QString whole = wordsOf(page, findSpellWords(page));
    QStringList pieces;
    SpellScanState state;
    for (const QString &line : page.split(u"\r\n"_s)) {
        const QString words = wordsOf(line, findSpellWords(line, state));
        if (!words.isEmpty())
            pieces << words;
        state = SpellScanState::unpack(state.pack()); // as an editor keeps it per line
    }
    QCOMPARE(pieces.join(u'|'), whole);
}

void tst_SpellWords::stateSurvivesPacking()
{
    SpellScanState s;
    s.mode = SpellScanState::DoubleQuoted;
    s.readableValue = true;
    s.afterTag = SpellScanState::Script;
    QCOMPARE(SpellScanState::unpack(s.pack()), s);
    QCOMPARE(SpellScanState::unpack(-1), SpellScanState()); // a line not scanned yet
}

BRISKO_TEST_MAIN(tst_SpellWords)
#include "tst_spellwords.moc"
