#include "support/ScriptedInteraction.h"
#include "support/TestMain.h"

#include "dialogs/Html5Dialogs.h"
#include "dialogs/ImageDialog.h"
#include "settings/TSettings.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QToolButton>

using namespace Qt::StringLiterals;

// The video, sound and picture dialogs through their named controls: files picked for
// the rows and the poster, measured where a size is wanted.
class tst_Html5Dialogs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void pickedFilesFillTheRows_data();
    void pickedFilesFillTheRows();
    void posterIsMeasured_data();
    void posterIsMeasured();
    void withoutSavedDocumentNothingIsAsked();
    void rowsTypedByHandCompose();
    void figureIsOfferedOnlyForInsertion();
    void lazyLoadingIsTickedForHtml5Pages_data();
    void lazyLoadingIsTickedForHtml5Pages();
    void pictureFallbackIsMeasured();
    void fileColumnTakesTheRoom();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    DocumentContext context(bool saved = true)
    {
        return DocumentContext{m_settings, saved ? std::optional(path(u"page.html"_s)) : std::nullopt,
                               [] { return QString(); }};
    }
    void writePng(const QString &name, int width, int height)
    {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::darkBlue);
        QVERIFY(image.save(path(name), "PNG"));
    }

    QTemporaryDir m_dir;
    TSettings m_settings;
    std::unique_ptr<ScriptedInteraction> m_ui;
};

void tst_Html5Dialogs::init()
{
    m_settings = TSettings{};
    m_settings.RelPa = true;
    m_ui = std::make_unique<ScriptedInteraction>();
}

void tst_Html5Dialogs::cleanup()
{
    const bool answered = m_ui->allAnswered();
    m_ui.reset();
    QVERIFY2(answered, "a scripted answer was left over");
}

void tst_Html5Dialogs::pickedFilesFillTheRows_data()
{
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("file");   // "-" for a cancelled file dialog
    QTest::addColumn<QStringList>("row"); // the cells of the new row; empty for none

    QTest::newRow("video source gets its type") << u"video"_s << u"SourceTable"_s << u"film.webm"_s
                                                << QStringList{u"film.webm"_s, u"video/webm"_s};
    QTest::newRow("sound source gets its type") << u"audio"_s << u"SourceTable"_s << u"a.MP3"_s
                                                << QStringList{u"a.MP3"_s, u"audio/mpeg"_s};
    // The first subtitles are the default ones.
    QTest::newRow("subtitles") << u"video"_s << u"TrackTable"_s << u"cs.vtt"_s
                               << QStringList{u"cs.vtt"_s, u"subtitles"_s, u"cs"_s, u"Česky"_s};
    QTest::newRow("srcset file measured") << u"image"_s << u"SrcsetTable"_s << u"a-480.png"_s
                                          << QStringList{u"a-480.png"_s, u"480w"_s};
    // A file that cannot be measured leaves its width for the user to write.
    QTest::newRow("srcset file not measured") << u"image"_s << u"SrcsetTable"_s << u"a.webp"_s
                                              << QStringList{u"a.webp"_s, QString()};
    QTest::newRow("picture source gets its type") << u"picture"_s << u"SourceTable"_s << u"a.webp"_s
                                                  << QStringList{u"a.webp"_s, QString(), u"image/webp"_s};
    QTest::newRow("cancelled") << u"video"_s << u"SourceTable"_s << u"-"_s << QStringList{};
}

void tst_Html5Dialogs::pickedFilesFillTheRows()
{
    QFETCH(QString, dialog);
    QFETCH(QString, table);
    QFETCH(QString, file);
    QFETCH(QStringList, row);
    writePng(u"a-480.png"_s, 480, 270);
    std::unique_ptr<QDialog> d;
    if (dialog == u"image"_s)
        d = std::make_unique<TImageForm>(context());
    else if (dialog == u"picture"_s)
        d = std::make_unique<PictureDialog>(context());
    else if (dialog == u"video"_s)
        d = std::make_unique<VideoDialog>(context());
    else
        d = std::make_unique<AudioDialog>(context());
    m_ui->openFile(file == u"-"_s ? QString() : path(file));
    d->findChild<QPushButton *>(table + u"File"_s)->click();
    auto *t = d->findChild<QTableWidget *>(table);
    QCOMPARE(t->rowCount(), row.isEmpty() ? 0 : 1);
    for (int c = 0; c < row.size(); ++c)
        QCOMPARE(cellText(t, 0, c), row[c]);
    if (table == u"TrackTable"_s)
        QCOMPARE(t->item(0, 4)->checkState(), Qt::Checked);
}

void tst_Html5Dialogs::posterIsMeasured_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("measured");

    QTest::newRow("png") << u"poster.png"_s << true;
    // The sizes stay as they were, unticked, when the picture gives none.
    QTest::newRow("unknown kind") << u"poster.bmp"_s << false;
}

void tst_Html5Dialogs::posterIsMeasured()
{
    QFETCH(QString, file);
    QFETCH(bool, measured);
    QImage image(320, 180, QImage::Format_RGB32);
    image.fill(Qt::gray);
    QVERIFY(image.save(path(file)));
    VideoDialog d(context());
    m_ui->openFile(path(file));
    d.PosterButton->click();
    QCOMPARE(d.PosterEdit->text(), file);
    QCOMPARE(d.WidthBox->isChecked(), measured);
    QCOMPARE(d.HeightBox->isChecked(), measured);
    d.insertButton()->click();
    const QString size = measured ? u" WIDTH=320 HEIGHT=180"_s : QString();
    QCOMPARE(d.OpeningMarkup, u"<VIDEO POSTER=\"%1\"%2 CONTROLS>\r\n"_s.arg(file, size));
}

void tst_Html5Dialogs::withoutSavedDocumentNothingIsAsked()
{
    VideoDialog d(context(false));
    d.PosterButton->click();
    d.Sources.fileButton->click();
    d.Tracks.fileButton->click();
    QVERIFY(m_ui->log.isEmpty());
    QCOMPARE(d.Sources.table->rowCount(), 0);
}

// Rows added with "Přidat" are typed into; empty rows are left out, and a removed row goes.
void tst_Html5Dialogs::rowsTypedByHandCompose()
{
    AudioDialog d(context());
    d.show();
    QVERIFY(QTest::qWaitForWindowActive(&d));
    auto typeNewRow = [](const RowTable &rows, const QString &text) {
        rows.addButton->click();
        QTRY_VERIFY(qobject_cast<QLineEdit *>(QApplication::focusWidget())
                    && rows.table->isAncestorOf(QApplication::focusWidget()));
        QTest::keyClicks(QApplication::focusWidget(), text);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    };
    typeNewRow(d.Sources, u"a.ogg"_s);
    d.Sources.table->item(0, 1)->setText(u"audio/ogg"_s);
    typeNewRow(d.Sources, QString()); // left empty
    typeNewRow(d.Tracks, u"popis.vtt"_s);
    typeNewRow(d.Tracks, u"jine.vtt"_s);
    d.Tracks.removeButton->click(); // the current row: the last added
    d.ControlsBox->setChecked(false);
    d.insertButton()->click();
    QCOMPARE(d.OpeningMarkup, u"<AUDIO>\r\n<SOURCE SRC=\"a.ogg\" TYPE=\"audio/ogg\">\r\n"
                              u"<TRACK SRC=\"popis.vtt\" KIND=\"subtitles\">\r\n"_s);
    QCOMPARE(d.ClosingMarkup, u"\r\n</AUDIO>"_s);
}

void tst_Html5Dialogs::figureIsOfferedOnlyForInsertion()
{
    TImageForm d(context());
    QVERIFY(d.FigureBox->isEnabled());
    QVERIFY(!d.CaptionEdit->isEnabled());
    d.FigureBox->setChecked(true);
    QVERIFY(d.CaptionEdit->isEnabled());
    d.setEditingInPlace();
    QVERIFY(!d.FigureBox->isEnabled());
    QVERIFY(!d.CaptionEdit->isEnabled());
}

void tst_Html5Dialogs::lazyLoadingIsTickedForHtml5Pages_data()
{
    QTest::addColumn<QString>("style");
    QTest::addColumn<bool>("ticked");

    // HTML 4 pages keep the markup they always had.
    QTest::newRow("HTML 4") << u"HTML4"_s << false;
    QTest::newRow("HTML5") << u"HTML5"_s << true;
}

void tst_Html5Dialogs::lazyLoadingIsTickedForHtml5Pages()
{
    QFETCH(QString, style);
    QFETCH(bool, ticked);
    m_settings.MarkupStyle = style;
    TImageForm image(context());
    QCOMPARE(image.LazyBox->isChecked(), ticked);
    PictureDialog picture(context());
    QCOMPARE(picture.LazyBox->isChecked(), ticked);
    // A tag read back says itself whether it loads lazily.
    ImageFields read;
    read.src = u"a.gif"_s;
    image.setFields(read);
    QVERIFY(!image.LazyBox->isChecked());
}

void tst_Html5Dialogs::pictureFallbackIsMeasured()
{
    writePng(u"hrad.png"_s, 640, 480);
    PictureDialog d(context());
    m_ui->openFile(path(u"hrad.png"_s));
    d.SpeedButton1->click();
    d.Edit2->setText(u"Hrad"_s);
    d.insertButton()->click();
    QCOMPARE(d.OpeningMarkup, u"<PICTURE>\r\n<IMG SRC=\"hrad.png\" ALT=\"Hrad\" WIDTH=640 HEIGHT=480>"_s);
    QCOMPARE(d.ClosingMarkup, u"\r\n</PICTURE>"_s);
}

// A file's address is readable beside the short columns of a type, a language and a box.
void tst_Html5Dialogs::fileColumnTakesTheRoom()
{
    VideoDialog d(context());
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    const int tracksWide = d.Tracks.table->viewport()->width();
    QTRY_VERIFY(d.Tracks.table->columnWidth(0) * 3 >= tracksWide);
    QVERIFY(d.Tracks.table->columnWidth(0)
            >= d.Tracks.table->fontMetrics().horizontalAdvance(u"titulky/cs.vtt"_s));
    for (int c = 1; c < d.Tracks.table->columnCount(); ++c)
        QVERIFY(d.Tracks.table->columnWidth(c) < d.Tracks.table->columnWidth(0));
    // A short column widens to show what a new row says in it.
    appendTableRow(d.Sources.table, {u"film.webm"_s, u"video/webm"_s});
    QVERIFY(d.Sources.table->columnWidth(1)
            >= d.Sources.table->fontMetrics().horizontalAdvance(u"video/webm"_s));
}

BRISKO_TEST_MAIN(tst_Html5Dialogs)
#include "tst_html5dialogs.moc"
