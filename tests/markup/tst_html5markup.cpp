#include "markup/FormMarkup.h"
#include "markup/Html5Markup.h"
#include "markup/ImageMarkup.h"
#include "markup/TextMarkup.h"
#include "support/TestMain.h"

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(Markup)
Q_DECLARE_METATYPE(MediaElementFields)
Q_DECLARE_METATYPE(PictureFields)

namespace {

MediaElementFields twoSourcesPosterAndSubtitles()
{
    MediaElementFields f;
    f.poster = u"film.jpg"_s;
    f.width = {true, 640};
    f.height = {true, 360};
    f.preload = u"metadata"_s;
    f.muted = true;
    f.playsInline = true;
    f.sources = {{u"film.webm"_s, u"video/webm"_s, QString()},
                 {u"film.mp4"_s, u"video/mp4"_s, QString()}};
    f.tracks = {{u"cs.vtt"_s, u"subtitles"_s, u"cs"_s, u"Česky"_s, true, QString()}};
    return f;
}

} // namespace

// The elements of today's pages as the dialogs compose them and F7 reads them back.
class tst_Html5Markup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void composedMarkup_data();
    void composedMarkup();
    void mediaReadsBackWhatItComposes_data();
    void mediaReadsBackWhatItComposes();
    void unknownAttributesStay();
    void childrenReadWithTheirParent_data();
    void childrenReadWithTheirParent();
    void pictureReadsBackWhatItComposes_data();
    void pictureReadsBackWhatItComposes();
    void pictureKeepsWhatItDoesNotShow();
    void srcsetEntries_data();
    void srcsetEntries();
    void formControlIdsForLabels();
    void metaOpenGraph_data();
    void metaOpenGraph();
};

void tst_Html5Markup::composedMarkup_data()
{
    QTest::addColumn<Markup>("composed");
    QTest::addColumn<Markup>("expected");

    // Media
    QTest::newRow("video with two sources, poster and subtitles")
        << composeVideo(twoSourcesPosterAndSubtitles())
        << Markup{u"<VIDEO POSTER=\"film.jpg\" WIDTH=640 HEIGHT=360 PRELOAD=\"metadata\" CONTROLS"
                  u" MUTED PLAYSINLINE>\r\n"
                  u"<SOURCE SRC=\"film.webm\" TYPE=\"video/webm\">\r\n"
                  u"<SOURCE SRC=\"film.mp4\" TYPE=\"video/mp4\">\r\n"
                  u"<TRACK SRC=\"cs.vtt\" KIND=\"subtitles\" SRCLANG=\"cs\" LABEL=\"Česky\" DEFAULT>\r\n"_s,
                  u"\r\n</VIDEO>"_s};
    MediaElementFields sound;
    sound.src = u"a.mp3"_s;
    sound.loop = true;
    sound.poster = u"ignored.jpg"_s; // a sound shows no picture
    sound.fallback = u"Stáhnout"_s;
    QTest::newRow("sound with fallback")
        << composeAudio(sound)
        << Markup{u"<AUDIO SRC=\"a.mp3\" CONTROLS LOOP>\r\nStáhnout"_s, u"\r\n</AUDIO>"_s};
    // Form controls
    QTest::newRow("datalist")
        << composeDataList({u"mesta"_s, u"Praha\r\nBrno\r\n"_s})
        << Markup{u"<DATALIST ID=\"mesta\">\r\n<OPTION VALUE=\"Praha\">\r\n<OPTION VALUE=\"Brno\">\r\n"_s,
                  u"</DATALIST>"_s};
    QTest::newRow("datalist option with quotes")
        << composeDataList({QString(), u"17\" monitor\r\n"_s})
        << Markup{u"<DATALIST>\r\n<OPTION VALUE='17\" monitor'>\r\n"_s, u"</DATALIST>"_s};
    QTest::newRow("output") << composeOutput({u"soucet"_s, u"a b"_s, QString()})
                            << Markup{u"<OUTPUT NAME=\"soucet\" FOR=\"a b\">"_s, u"</OUTPUT>"_s};
    QTest::newRow("progress of unknown length") << composeProgress({QString(), u"100"_s})
                                                << Markup{u"<PROGRESS MAX=\"100\">"_s, u"</PROGRESS>"_s};
    QTest::newRow("meter") << composeMeter({u"0.6"_s, u"0"_s, u"1"_s, u"0.2"_s, u"0.8"_s, u"0.5"_s})
                           << Markup{u"<METER VALUE=\"0.6\" MIN=\"0\" MAX=\"1\" LOW=\"0.2\" HIGH=\"0.8\""
                                     u" OPTIMUM=\"0.5\">"_s,
                                     u"</METER>"_s};
    QTest::newRow("label tied to its control") << composeLabelFor({u"email"_s, u"E-mail:"_s})
                                               << Markup{u"<LABEL FOR=\"email\">E-mail:"_s, u"</LABEL>"_s};
    InputFields email;
    email.type = u"EMAIL"_s;
    email.name = u"email"_s;
    email.id = u"email"_s;
    email.placeholder = u"jan@example.cz"_s;
    email.autocomplete = u"email"_s;
    email.required = true;
    QTest::newRow("email input, required")
        << composeInput(email)
        << Markup{u"<INPUT  TYPE=\"EMAIL\" NAME=\"email\" ID=\"email\" PLACEHOLDER=\"jan@example.cz\""
                  u" AUTOCOMPLETE=\"email\" REQUIRED>"_s,
                  QString()};
    InputFields range;
    range.type = u"RANGE"_s;
    range.min = u"0"_s;
    range.max = u"10"_s;
    range.step = u"0.5"_s;
    range.list = u"znacky"_s;
    QTest::newRow("range input with bounds")
        << composeInput(range)
        << Markup{u"<INPUT  TYPE=\"RANGE\" LIST=\"znacky\" MIN=\"0\" MAX=\"10\" STEP=\"0.5\">"_s, QString()};
    // Pictures
    ImageFields image;
    image.src = u"a.jpg"_s;
    image.alt = u"Hrad"_s;
    image.srcset = {{u"a-480.jpg"_s, u"480w"_s}, {u"a-800.jpg"_s, u"800w"_s}};
    image.sizes = u"(max-width: 600px) 480px, 800px"_s;
    image.lazy = true;
    image.decoding = u"async"_s;
    QTest::newRow("image with srcset")
        << composeImage(image)
        << Markup{u"<IMG  SRC=\"a.jpg\" ALT=\"Hrad\" SRCSET=\"a-480.jpg 480w, a-800.jpg 800w\""
                  u" SIZES=\"(max-width: 600px) 480px, 800px\" LOADING=\"lazy\" DECODING=\"async\">"_s,
                  QString()};
    ImageFields figure;
    figure.src = u"a.jpg"_s;
    figure.figure = true;
    figure.caption = u"Hrad v zimě"_s;
    QTest::newRow("image with caption")
        << composeImage(figure)
        << Markup{u"<FIGURE>\r\n<IMG  SRC=\"a.jpg\">\r\n<FIGCAPTION>Hrad v zimě"_s,
                  u"</FIGCAPTION>\r\n</FIGURE>"_s};
    PictureFields picture;
    picture.sources = {{u"a.avif"_s, u"(min-width: 800px)"_s, u"image/avif"_s, QString()},
                       {u"a-800.webp 1x, a-1600.webp 2x"_s, QString(), u"image/webp"_s, QString()}};
    picture.src = u"a.jpg"_s;
    picture.alt = u"Hrad"_s;
    picture.width = {true, 800};
    picture.lazy = true;
    QTest::newRow("picture with sources per screen")
        << composePicture(picture)
        << Markup{u"<PICTURE>\r\n<SOURCE SRCSET=\"a.avif\" MEDIA=\"(min-width: 800px)\" TYPE=\"image/avif\">\r\n"
                  u"<SOURCE SRCSET=\"a-800.webp 1x, a-1600.webp 2x\" TYPE=\"image/webp\">\r\n"
                  u"<IMG SRC=\"a.jpg\" ALT=\"Hrad\" WIDTH=800 LOADING=\"lazy\">"_s,
                  u"\r\n</PICTURE>"_s};
    // Nothing new is written while its field is empty, so the old outputs stay as they were.
    QTest::newRow("image of old") << composeImage({}) << Markup{u"<IMG >"_s, QString()};
    QTest::newRow("input of old") << composeInput({}) << Markup{u"<INPUT >"_s, QString()};
}

void tst_Html5Markup::composedMarkup()
{
    QFETCH(Markup, composed);
    QFETCH(Markup, expected);
    QCOMPARE(composed.opening, expected.opening);
    QCOMPARE(composed.closing, expected.closing);
}

void tst_Html5Markup::mediaReadsBackWhatItComposes_data()
{
    QTest::addColumn<bool>("video");
    QTest::addColumn<MediaElementFields>("fields");

    QTest::newRow("video, everything") << true << twoSourcesPosterAndSubtitles();
    MediaElementFields bare;
    bare.controls = false;
    QTest::newRow("video without controls") << true << bare;
    MediaElementFields sound;
    sound.src = u"a.ogg"_s;
    sound.autoplay = true;
    sound.tracks = {{u"popis.vtt"_s, u"descriptions"_s, QString(), QString(), false, QString()}};
    QTest::newRow("sound with a track") << false << sound;
}

void tst_Html5Markup::mediaReadsBackWhatItComposes()
{
    QFETCH(bool, video);
    QFETCH(MediaElementFields, fields);
    const QString text = (video ? composeVideo(fields) : composeAudio(fields)).opening.trimmed();
    // What F7 edits is the start tag with its children, up to the last of them.
    QCOMPARE(leadingChildTags(text, {u"SOURCE"_s, u"TRACK"_s}), text.size());
    const TagRead<MediaElementFields> read = video ? readVideoElement(text) : readAudioElement(text);
    QVERIFY(read.ok());
    QCOMPARE(read.fields, fields);
    QCOMPARE(read.leftovers, QString());
}

// data-* and aria-* (and anything else) survive on the element and on each child.
void tst_Html5Markup::unknownAttributesStay()
{
    const QString text = u"<video data-id=\"7\" controls aria-label=\"Ukázka\">\r\n"
                         u"<source src=a.mp4 type=video/mp4 data-q=hd>\r\n<track src=t.vtt default>"_s;
    const TagRead<MediaElementFields> read = readVideoElement(text);
    QCOMPARE(read.leftovers, u"data-id=\"7\" aria-label=\"Ukázka\""_s);
    QCOMPARE(read.fields.sources.size(), 1);
    QCOMPARE(read.fields.sources[0].extra, u"data-q=hd"_s);
    QVERIFY(read.fields.tracks[0].isDefault);
    QCOMPARE(withStartTagLeftovers(composeVideo(read.fields).opening, read.leftovers),
             u"<VIDEO CONTROLS data-id=\"7\" aria-label=\"Ukázka\">\r\n"
             u"<SOURCE SRC=\"a.mp4\" TYPE=\"video/mp4\" data-q=hd>\r\n<TRACK SRC=\"t.vtt\" DEFAULT>"_s);
}

void tst_Html5Markup::childrenReadWithTheirParent_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("covered"); // what F7 reads with the start tag

    QTest::newRow("sources and tracks, blanks between")
        << u"<VIDEO>\r\n  <SOURCE SRC=a>\t<TRACK SRC=b>\r\nText</VIDEO>"_s
        << u"<VIDEO>\r\n  <SOURCE SRC=a>\t<TRACK SRC=b>"_s;
    QTest::newRow("text ends the children") << u"<AUDIO>x<SOURCE SRC=a>"_s << u"<AUDIO>"_s;
    // A name that only begins like a child's is no child.
    QTest::newRow("longer name is another element") << u"<VIDEO><SOURCES>"_s << u"<VIDEO>"_s;
    QTest::newRow("unclosed child stays out") << u"<VIDEO><SOURCE SRC=\"a>"_s << u"<VIDEO>"_s;
    QTest::newRow("datalist: plain options") << u"<DATALIST ID=a>\r\n<OPTION VALUE=1><OPTION VALUE=2></DATALIST>"_s
                                             << u"<DATALIST ID=a>\r\n<OPTION VALUE=1><OPTION VALUE=2>"_s;
    // An option with more than its value is not a line of the memo: it stays untouched.
    QTest::newRow("datalist: option with a label ends the lines")
        << u"<DATALIST><OPTION VALUE=1><OPTION VALUE=2 LABEL=Dva><OPTION VALUE=3>"_s
        << u"<DATALIST><OPTION VALUE=1>"_s;
}

void tst_Html5Markup::childrenReadWithTheirParent()
{
    QFETCH(QString, text);
    QFETCH(QString, covered);
    const qsizetype length = text.startsWith(u"<DATALIST"_s)
                                 ? dataListExtent(text)
                                 : leadingChildTags(text, {u"SOURCE"_s, u"TRACK"_s});
    QCOMPARE(text.left(length), covered);
}

void tst_Html5Markup::pictureReadsBackWhatItComposes_data()
{
    QTest::addColumn<PictureFields>("fields");

    PictureFields full;
    full.sources = {{u"a.webp"_s, u"(max-width: 600px)"_s, u"image/webp"_s, QString()},
                    {u"b.jpg 1x, c.jpg 2x"_s, QString(), QString(), QString()}};
    full.src = u"a.jpg"_s;
    full.alt = u"Hrad v zimě"_s;
    full.width = {true, 0};
    full.height = {true, 300};
    full.lazy = true;
    QTest::newRow("sources and every field of the image") << full;
    PictureFields bare;
    bare.src = u"a.jpg"_s;
    QTest::newRow("no source: the image alone") << bare;
}

void tst_Html5Markup::pictureReadsBackWhatItComposes()
{
    QFETCH(PictureFields, fields);
    const QString text = composePicture(fields).opening;
    QCOMPARE(pictureExtent(text + composePicture(fields).closing), text.size());
    const TagRead<PictureFields> read = readPictureElement(text);
    QVERIFY(read.ok());
    QCOMPARE(read.fields, fields);
    QCOMPARE(read.leftovers, QString());
}

// What the dialog has no field for stays on the element it was on; a second IMG or text
// after the first ends what F7 edits.
void tst_Html5Markup::pictureKeepsWhatItDoesNotShow()
{
    const QString text = u"<picture class=\"hero\">\r\n  <source srcset=\"a.webp\" sizes=\"50vw\">\r\n"
                         u"  <img src=\"a.jpg\" alt=\"\" loading=\"eager\" data-x=1><img src=b.jpg>"
                         u"</picture>"_s;
    QCOMPARE(text.left(pictureExtent(text)), text.left(text.indexOf(u"<img src=b"_s)));
    const TagRead<PictureFields> read = readPictureElement(text);
    QVERIFY(read.ok());
    QCOMPARE(read.leftovers, u"class=\"hero\""_s);
    QCOMPARE(read.fields.sources.value(0).extra, u"sizes=\"50vw\""_s);
    QVERIFY(!read.fields.lazy);
    QCOMPARE(read.fields.imageExtra, u"loading=\"eager\" data-x=1"_s);
    QCOMPARE(withStartTagLeftovers(composePicture(read.fields).opening, read.leftovers),
             u"<PICTURE class=\"hero\">\r\n<SOURCE SRCSET=\"a.webp\" sizes=\"50vw\">\r\n"
             u"<IMG SRC=\"a.jpg\" loading=\"eager\" data-x=1>"_s);
    // A width that is no number stops the edit with the reason.
    QVERIFY(!readPictureElement(u"<picture><img width=\"wide\">"_s).ok());
}

void tst_Html5Markup::srcsetEntries_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("entries"); // "file|descriptor" joined by ";"
    QTest::addColumn<QString>("composed");

    QTest::newRow("widths") << u"a.jpg 480w, b.jpg 800w"_s << u"a.jpg|480w;b.jpg|800w"_s
                            << u"a.jpg 480w, b.jpg 800w"_s;
    QTest::newRow("blanks and no comma blank") << u"  a.jpg   1x,b.jpg 2x "_s
                                               << u"a.jpg|1x;b.jpg|2x"_s << u"a.jpg 1x, b.jpg 2x"_s;
    QTest::newRow("no descriptor") << u"a.jpg, b.jpg 2x"_s << u"a.jpg|;b.jpg|2x"_s
                                   << u"a.jpg, b.jpg 2x"_s;
    // The comma of a data address belongs to it.
    QTest::newRow("data address") << u"data:image/png;base64,AAA 1x"_s
                                  << u"data:image/png;base64,AAA|1x"_s
                                  << u"data:image/png;base64,AAA 1x"_s;
    QTest::newRow("empty") << QString() << QString() << QString();
}

void tst_Html5Markup::srcsetEntries()
{
    QFETCH(QString, value);
    QFETCH(QString, entries);
    QFETCH(QString, composed);
    const QList<SrcsetEntry> parsed = parseSrcset(value);
    QStringList described;
    for (const SrcsetEntry &e : parsed)
        described << e.file + u'|' + e.descriptor;
    QCOMPARE(described.join(u';'), entries);
    QCOMPARE(composeSrcset(parsed), composed);
}

void tst_Html5Markup::formControlIdsForLabels()
{
    const QString page = u"<FORM><INPUT ID=\"jmeno\"><P ID=\"odstavec\"><select\r\nid=mesto>"
                         u"<INPUT TITLE=\"ID=x\"><TEXTAREA ID=jmeno><DATALIST ID=seznam>"_s;
    QCOMPARE(formControlIds(page), (QStringList{u"jmeno"_s, u"mesto"_s}));
    QCOMPARE(dataListIds(page), QStringList{u"seznam"_s});
}

void tst_Html5Markup::metaOpenGraph_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("leftovers");

    QTest::newRow("og property read as name") << u"<META PROPERTY=\"og:title\" CONTENT=\"Hrad\">"_s
                                              << u"og:title"_s << QString();
    QTest::newRow("name wins over property") << u"<META NAME=a PROPERTY=\"og:x\">"_s << u"a"_s
                                             << u"PROPERTY=\"og:x\""_s;
    // A property of another vocabulary is not a name the dialog knows.
    QTest::newRow("other property stays") << u"<META PROPERTY=\"fb:app_id\">"_s << QString()
                                          << u"PROPERTY=\"fb:app_id\""_s;
}

void tst_Html5Markup::metaOpenGraph()
{
    QFETCH(QString, tag);
    QFETCH(QString, name);
    QFETCH(QString, leftovers);
    const TagRead<MetaFields> read = readMetaTag(tag);
    QCOMPARE(read.fields.name, name);
    QCOMPARE(read.leftovers, leftovers);
    if (name.startsWith(u"og:"_s))
        QCOMPARE(composeMeta(read.fields).opening,
                 u"<META  PROPERTY=\"og:title\" CONTENT=\"Hrad\">\r\n"_s);
}

BRISKO_TEST_MAIN(tst_Html5Markup)
#include "tst_html5markup.moc"
