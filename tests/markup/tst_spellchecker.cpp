#include "markup/SpellChecker.h"
#include "markup/SpellWords.h"
#include "markup/TextFile.h"
#include "support/TestMain.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

std::optional<SpellDictionary> czech()
{
    for (const SpellDictionary &d : installedDictionaries()) {
        if (d.name == u"cs_CZ"_s)
            return d;
    }
    return std::nullopt;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

class tst_SpellChecker : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void marksTheMisspeltWordsOfACzechPage();
    void suggestsAtMostEightCorrections();
    void personalListIsPlainUtf8AndKeptBetweenSessions();
    void ignoredWordsAreRightForTheSessionOnly();
    void latin2DictionaryGetsWordsInItsEncoding();
    void backgroundLoadLeavesWordsRightUntilItIsIn();
    void findsDictionariesWithBothFiles();

private:
    QTemporaryDir m_dir;
    std::optional<SpellDictionary> m_czech;
};

void tst_SpellChecker::init()
{
    m_czech = czech();
}

void tst_SpellChecker::marksTheMisspeltWordsOfACzechPage()
{
    if (!m_czech)
        QFAIL("the Czech dictionary (hunspell-cs), which the set-up installs, is missing");
    SpellChecker checker;
    QVERIFY(checker.load(*m_czech));
    // The page is in Windows-1250; the words are found in its decoded text.
    const TextFileResult page = readDocumentFile(testDataPath(u"spelling/stranka/input.html"_s));
    QVERIFY(page.ok);
    QStringList marked;
    for (const SpellWord &w : findSpellWords(page.text)) {
        const QString word = page.text.mid(w.start, w.length);
        if (!checker.isCorrect(word))
            marked << word;
    }
    const QString expected =
        QString::fromUtf8(readAll(testDataPath(u"spelling/stranka/expected.txt"_s)));
    QCOMPARE(marked, expected.split(u'\n', Qt::SkipEmptyParts));
}

void tst_SpellChecker::suggestsAtMostEightCorrections()
{
    if (!m_czech)
        QFAIL("the Czech dictionary (hunspell-cs), which the set-up installs, is missing");
    SpellChecker checker;
    QVERIFY(checker.load(*m_czech));
    const QStringList strynce = checker.suggestions(u"strýnce"_s);
    QVERIFY2(strynce.contains(u"stránce"_s), qPrintable(strynce.join(u',')));
    QVERIFY(checker.suggestions(u"neni"_s).contains(u"není"_s));
    QVERIFY(checker.suggestions(u"spravne"_s).size() <= 8);
    QCOMPARE(checker.suggestions(u"spravne"_s, 2).size(), 2);
}

void tst_SpellChecker::personalListIsPlainUtf8AndKeptBetweenSessions()
{
    if (!m_czech)
        QFAIL("the Czech dictionary (hunspell-cs), which the set-up installs, is missing");
    const QString path = m_dir.filePath(u"data/osobni-slovnik.txt"_s); // folder not there yet
    {
        SpellChecker checker;
        QVERIFY(checker.load(*m_czech));
        checker.setPersonalListPath(path);
        QVERIFY(!checker.isCorrect(u"Mickka"_s));
        QSignalSpy changed(&checker, &SpellChecker::wordsChanged);
        QVERIFY(checker.addToPersonalList(u"Mickka"_s));
        QVERIFY(checker.addToPersonalList(u"žluťák"_s));
        QCOMPARE(changed.size(), 2);
        QVERIFY(checker.isCorrect(u"Mickka"_s));
    }
    QCOMPARE(readAll(path), u"Mickka\nžluťák\n"_s.toUtf8());
    SpellChecker next;
    QVERIFY(next.load(*m_czech));
    next.setPersonalListPath(path);
    QVERIFY(next.isCorrect(u"Mickka"_s));
    // a word kept in lower case is right at the start of a sentence too
    QVERIFY(next.isCorrect(u"Žluťák"_s));
}

void tst_SpellChecker::ignoredWordsAreRightForTheSessionOnly()
{
    if (!m_czech)
        QFAIL("the Czech dictionary (hunspell-cs), which the set-up installs, is missing");
    const QString path = m_dir.filePath(u"ignored.txt"_s);
    SpellChecker checker;
    QVERIFY(checker.load(*m_czech));
    checker.setPersonalListPath(path);
    QVERIFY(!checker.isCorrect(u"strýnce"_s)); // the verdict is remembered ...
    QVERIFY(!checker.isCorrect(u"Strýnce"_s));
    checker.ignoreAll(u"strýnce"_s);
    QVERIFY(checker.isCorrect(u"strýnce"_s)); // ... and replaced
    // in any case: at a sentence's start, or written in capitals
    QVERIFY(checker.isCorrect(u"Strýnce"_s));
    QVERIFY(checker.isCorrect(u"STRÝNCE"_s));
    // and the other way round
    QVERIFY(!checker.isCorrect(u"přílyš"_s));
    checker.ignoreAll(u"Přílyš"_s);
    QVERIFY(checker.isCorrect(u"přílyš"_s));
    QVERIFY(!QFile::exists(path));
    SpellChecker next;
    QVERIFY(next.load(*m_czech));
    QVERIFY(!next.isCorrect(u"strýnce"_s));
}

void tst_SpellChecker::latin2DictionaryGetsWordsInItsEncoding()
{
    // A dictionary of its own in ISO-8859-2, as older Czech packages ship it.
    const QString aff = m_dir.filePath(u"xx_LATIN2.aff"_s);
    const QString dic = m_dir.filePath(u"xx_LATIN2.dic"_s);
    writeAll(aff, "SET ISO8859-2\nTRY aeiouzkn\xf9\n");
    writeAll(dic, Iso88592::encode(u"3\nkůň\nžluťoučký\npes\n"_s));
    SpellChecker checker;
    QVERIFY(checker.load({u"xx_LATIN2"_s, aff, dic}));
    QVERIFY(checker.isCorrect(u"kůň"_s));
    QVERIFY(checker.isCorrect(u"žluťoučký"_s));
    QVERIFY(!checker.isCorrect(u"kun"_s));
    QVERIFY(!checker.isCorrect(u"kůň€"_s)); // no byte for the euro sign in Latin-2
    QVERIFY2(checker.suggestions(u"kůn"_s).contains(u"kůň"_s),
             qPrintable(checker.suggestions(u"kůn"_s).join(u',')));
}

void tst_SpellChecker::backgroundLoadLeavesWordsRightUntilItIsIn()
{
    if (!m_czech)
        QFAIL("the Czech dictionary (hunspell-cs), which the set-up installs, is missing");
    SpellChecker checker;
    QSignalSpy changed(&checker, &SpellChecker::wordsChanged);
    checker.loadInBackground(*m_czech);
    QVERIFY(checker.isLoading());
    QVERIFY(checker.isCorrect(u"neni"_s));
    QTRY_VERIFY_WITH_TIMEOUT(!checker.isLoading(), 20000);
    QCOMPARE(checker.language(), u"cs_CZ"_s);
    QVERIFY(changed.size() >= 1);
    QVERIFY(!checker.isCorrect(u"neni"_s));
    // destroying a checker while it loads waits for the loader
    SpellChecker gone;
    gone.loadInBackground(*m_czech);
}

void tst_SpellChecker::findsDictionariesWithBothFiles()
{
    const QString folder = m_dir.filePath(u"dicts"_s);
    QVERIFY(QDir().mkpath(folder));
    writeAll(folder + u"/cs_CZ.aff"_s, "SET UTF-8\n");
    writeAll(folder + u"/cs_CZ.dic"_s, "1\nslovo\n");
    writeAll(folder + u"/de_DE.aff"_s, "SET UTF-8\n"); // no .dic: not usable
    const QList<SpellDictionary> found = installedDictionaries({folder});
    QCOMPARE(found.size(), 1);
    QCOMPARE(found.first().name, u"cs_CZ"_s);
    QCOMPARE(dictionaryCaption(u"cs_CZ"_s), u"Čeština (cs_CZ)"_s);
    QCOMPARE(dictionaryCaption(u"en_US"_s), u"Angličtina (en_US)"_s);
    QVERIFY(installedDictionaries({m_dir.filePath(u"none"_s)}).isEmpty());
}

BRISKO_TEST_MAIN(tst_SpellChecker)
#include "tst_spellchecker.moc"
