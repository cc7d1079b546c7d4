#include "support/ScriptedInteraction.h"
#include "support/TestMain.h"

#include "dialogs/ImageDialog.h"
#include "settings/TSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

// A GIF header is all the reader needs; Qt cannot write GIF files.
void writeGif(const QString &path, int width, int height)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QByteArray bytes("GIF89a");
    bytes.append(char(width & 0xFF)).append(char(width >> 8));
    bytes.append(char(height & 0xFF)).append(char(height >> 8));
    bytes.append(QByteArray(16, '\0'));
    file.write(bytes);
}

void writePicture(const QString &path, int width, int height, const char *format)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    QVERIFY(image.save(path, format));
}

} // namespace

// The image dialog through its named controls: measuring a chosen picture, the preview,
// the map list and the relative source.
class TestImageDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void measuresChosenPicture_data();
    void measuresChosenPicture();
    void failedMeasurementKeepsSizes();
    void cancelledFileDialogChangesNothing();
    void withoutDocumentFileButtonDoesNothing();
    void enterInSourcePreviewsAndStays();
    void mapListFromDocument();
    void insertComposesFields();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    std::unique_ptr<TImageForm> form(std::optional<QString> document,
                                     const QString &text = QString());

    QTemporaryDir m_dir;
    TSettings m_settings;
    std::unique_ptr<ScriptedInteraction> m_ui;
};

void TestImageDialog::init()
{
    m_settings = TSettings{};
    m_ui = std::make_unique<ScriptedInteraction>();
}

void TestImageDialog::cleanup()
{
    const bool answered = m_ui->allAnswered();
    m_ui.reset();
    QVERIFY2(answered, "a scripted answer was left over");
}

std::unique_ptr<TImageForm> TestImageDialog::form(std::optional<QString> document,
                                                  const QString &text)
{
    return std::make_unique<TImageForm>(
        DocumentContext{m_settings, std::move(document), [text] { return text; }});
}

void TestImageDialog::measuresChosenPicture_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");

    QTest::newRow("jpeg") << u"photo.Jpg"_s << 64 << 48;
    QTest::newRow("gif") << u"anim.gif"_s << 640 << 480;
    QTest::newRow("png") << u"logo.PNG"_s << 80 << 33;
    QTest::newRow("svg") << u"kresba.svg"_s << 120 << 45;
}

void TestImageDialog::measuresChosenPicture()
{
    QFETCH(QString, name);
    QFETCH(int, width);
    QFETCH(int, height);
    if (name.endsWith(u"gif"_s)) {
        writeGif(path(name), width, height);
    } else if (name.endsWith(u"svg"_s)) {
        QFile svg(path(name));
        QVERIFY(svg.open(QIODevice::WriteOnly));
        svg.write(u"<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%2\"/>"_s.arg(width).arg(height).toUtf8());
    } else
        writePicture(path(name), width, height, name.endsWith(u"Jpg"_s) ? "JPG" : "PNG");
    m_settings.RelPa = true;
    const auto f = form(path(u"page.html"_s));
    m_ui->openFile(path(name));
    f->SpeedButton1->click();

    QCOMPARE(m_ui->log.first(), u"open: Obrázky (*.gif;*.jpg;*.jpeg;*.png)|*.gif;*.jpg;*.jpeg;*.png"_s);
    QCOMPARE(f->Edit1->text(), name);
    QCOMPARE(f->SpinEdit2->value(), height);
    QCOMPARE(f->SpinEdit3->value(), width);
    QVERIFY(f->CheckBox2->isChecked());
    QVERIFY(f->CheckBox5->isChecked());
    QCOMPARE(f->previewedAddress(), QUrl::fromLocalFile(path(name)));
    f->insertButton()->click();
    QCOMPARE(f->OpeningMarkup, u"<IMG  SRC=\"%1\" WIDTH=%2 HEIGHT=%3>"_s.arg(name).arg(width).arg(height));
}

void TestImageDialog::failedMeasurementKeepsSizes()
{
    writeGif(path(u"a.gif"_s), 20, 10);
    writePicture(path(u"b.bmp"_s), 5, 5, "BMP");
    const auto f = form(path(u"page.html"_s));
    m_ui->openFile(path(u"a.gif"_s)).openFile(path(u"b.bmp"_s));
    f->SpeedButton1->click();
    f->CheckBox5->setChecked(false);
    f->SpeedButton1->click();
    // The source follows the choice; width and height and their boxes stay.
    QCOMPARE(f->Edit1->text(), u"b.bmp"_s);
    QCOMPARE(f->SpinEdit3->value(), 20);
    QCOMPARE(f->SpinEdit2->value(), 10);
    QVERIFY(!f->CheckBox5->isChecked());
}

void TestImageDialog::cancelledFileDialogChangesNothing()
{
    writeGif(path(u"a.gif"_s), 20, 10);
    const auto f = form(path(u"page.html"_s));
    m_ui->openFile(path(u"a.gif"_s)).openFile(QString());
    f->SpeedButton1->click();
    f->Edit1->setText(u"typed.gif"_s);
    f->SpinEdit3->setValue(7);
    const QUrl previewed = f->previewedAddress();
    f->SpeedButton1->click();
    QCOMPARE(f->Edit1->text(), u"typed.gif"_s);
    QCOMPARE(f->SpinEdit3->value(), 7);
    QCOMPARE(f->previewedAddress(), previewed);
}

void TestImageDialog::withoutDocumentFileButtonDoesNothing()
{
    const auto f = form(std::nullopt);
    f->SpeedButton1->click(); // no file dialog is scripted: asking would fail the test
    QCOMPARE(f->ComboBox2->count(), 0);
    QVERIFY(m_ui->log.isEmpty());
}

void TestImageDialog::enterInSourcePreviewsAndStays()
{
    const auto f = form(u"/w/site/page.html"_s);
    f->Edit1->setText(u"obr/a.gif"_s);
    QTest::keyClick(f->Edit1, Qt::Key_Return);
    QCOMPARE(f->previewedAddress(), QUrl::fromLocalFile(u"/w/site/obr/a.gif"_s));
    QCOMPARE(f->result(), 0);
    QVERIFY(f->OpeningMarkup.isEmpty());
}

void TestImageDialog::mapListFromDocument()
{
    const auto f = form(u"/w/a.html"_s, u"<MAP NAME=\"nav\">\r\n<map name=Nav>"_s);
    QStringList items;
    for (int i = 0; i < f->ComboBox2->count(); ++i)
        items << f->ComboBox2->itemText(i);
    QCOMPARE(items, (QStringList{u"#nav"_s, u"#Nav"_s}));
    QCOMPARE(f->ComboBox2->currentText(), QString());
}

void TestImageDialog::insertComposesFields()
{
    const auto f = form(u"/w/a.html"_s);
    f->Edit1->setText(u"a.gif"_s);
    f->ComboBox1->setEditText(u"left"_s);
    f->SpinEdit5->setValue(2);
    f->SpinEdit5->setValue(0); // set back to 0 by hand: the box stays ticked
    f->CheckBox1->setChecked(true);
    f->insertButton()->click();
    QCOMPARE(f->result(), int(QDialog::Accepted));
    QCOMPARE(f->OpeningMarkup, u"<IMG  SRC=\"a.gif\" ALIGN=left BORDER=0 ISMAP >"_s);
    QVERIFY(f->ClosingMarkup.isEmpty());
}

BRISKO_TEST_MAIN(TestImageDialog)
#include "tst_imagedialog.moc"
