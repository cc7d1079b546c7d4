#include "ImageDialog.h"

#include "dialogs/FieldWidgets.h"
#include "dialogs/LinkDialogs.h"
#include "interaction/Interaction.h"
#include "markup/GuardedFile.h"
#include "markup/MarkupStyle.h"
#include "markup/SysUt.h"
#include "settings/TSettings.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QSpinBox>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

const QString ImageFilter = u"Obrázky (*.gif;*.jpg;*.jpeg;*.png)|*.gif;*.jpg;*.jpeg;*.png"_s;

namespace {

// A picture larger than this is not previewed in the dialog's own pane.
constexpr qint64 MaxPreviewedPictureBytes = 64LL * 1024 * 1024;

QList<SrcsetEntry> srcsetOf(const QWidget *control)
{
    auto *table = static_cast<const QTableWidget *>(control);
    QList<SrcsetEntry> entries;
    for (int r = 0; r < table->rowCount(); ++r) {
        const SrcsetEntry e{cellText(table, r, 0).trimmed(), cellText(table, r, 1).trimmed()};
        if (!e.file.isEmpty())
            entries.append(e);
    }
    return entries;
}

void setSrcset(QWidget *control, const QList<SrcsetEntry> &entries)
{
    auto *table = static_cast<QTableWidget *>(control);
    table->setRowCount(0);
    for (const SrcsetEntry &e : entries)
        appendTableRow(table, {e.file, e.descriptor});
}

const ControlAccess<QList<SrcsetEntry>> srcsetRows{&srcsetOf, &setSrcset};

} // namespace

TImageForm::TImageForm(DocumentContext context, QWidget *parent)
    : FieldsDialog(u"Vložit obrázek"_s, &composeImage, parent), m_context(std::move(context))
{
    auto *body = new QWidget(this);
    auto *grid = new QGridLayout;
    Edit1 = namedWidget(new QLineEdit(body), u"Edit1"_s);
    SpeedButton1 = iconButton(u"SpeedButton1"_s, QStyle::SP_DialogOpenButton, body);
    SpeedButton1->setAccessibleName(u"Otevře soubor z disku"_s);
    SpeedButton2 = iconButton(u"SpeedButton2"_s, QStyle::SP_DriveNetIcon, body);
    SpeedButton2->setAccessibleName(u"Otevře soubor z kteréhokoliv místa na INTERNETU"_s);
    ComboBox1 = editableCombo(u"ComboBox1"_s,
                              {u"baseline"_s, u"center"_s, u"left"_s, u"middle"_s, u"right"_s,
                               u"textbottom"_s, u"textmiddle"_s, u"texttop"_s},
                              body);
    ComboBox1->setToolTip(u"Určuje, jak se má obrázek zarovnat vzhledem ke stránce"_s);
    SpinEdit2 = unboundedSpin(u"SpinEdit2"_s, body);
    SpinEdit2->setToolTip(u"Výška obrázku"_s);
    CheckBox2 = switchBox(SpinEdit2, u"CheckBox2"_s, body);
    SpinEdit3 = unboundedSpin(u"SpinEdit3"_s, body);
    SpinEdit3->setToolTip(u"Šířka obrázku"_s);
    CheckBox5 = switchBox(SpinEdit3, u"CheckBox5"_s, body);
    SpinEdit1 = unboundedSpin(u"SpinEdit1"_s, body);
    CheckBox3 = switchBox(SpinEdit1, u"CheckBox3"_s, body);
    SpinEdit4 = unboundedSpin(u"SpinEdit4"_s, body);
    CheckBox6 = switchBox(SpinEdit4, u"CheckBox6"_s, body);
    SpinEdit5 = unboundedSpin(u"SpinEdit5"_s, body);
    SpinEdit5->setToolTip(u"Použít rámeček? Hodnota \"0\" jej nepoužije"_s);
    CheckBox4 = switchBox(SpinEdit5, u"CheckBox4"_s, body);
    ComboBox2 = editableCombo(u"ComboBox2"_s, {}, body);
    CheckBox1 = namedWidget(new QCheckBox(u"Použít \"server-side\" mapu"_s, body), u"CheckBox1"_s);
    Edit2 = namedWidget(new QLineEdit(body), u"Edit2"_s);
    Edit2->setToolTip(u"Popisek, který se zobrazí podobně jako bublinková nápověda po najetí "
                      u"na obrázek v prohlížeči"_s);
    CheckBox7 = namedWidget(new QCheckBox(u"Preview"_s, body), u"CheckBox7"_s);
    CheckBox7->setToolTip(u"Náhled na obrázek"_s);
    CheckBox7->setChecked(true);

    int row = 0;
    auto label = [&](const QString &text, QWidget *buddy) {
        auto *caption = new QLabel(text, body);
        caption->setBuddy(buddy);
        grid->addWidget(caption, row, 0);
    };
    auto source = new QHBoxLayout;
    source->addWidget(Edit1, 1);
    source->addWidget(SpeedButton1);
    source->addWidget(SpeedButton2);
    label(u"Zdroj"_s, Edit1);
    grid->addLayout(source, row++, 1, 1, 2);
    label(u"Zarovnání"_s, ComboBox1);
    grid->addWidget(ComboBox1, row++, 1, 1, 2);
    const struct { const char16_t *text; QSpinBox *spin; QCheckBox *box; } numbers[] = {
        {u"Výška", SpinEdit2, CheckBox2},    {u"Šířka", SpinEdit3, CheckBox5},
        {u"V. Okraj", SpinEdit1, CheckBox3}, {u"H. Okraj", SpinEdit4, CheckBox6},
        {u"Rámeček", SpinEdit5, CheckBox4}};
    for (const auto &n : numbers) {
        label(QString::fromUtf16(n.text), n.spin);
        n.box->setAccessibleName(QString::fromUtf16(n.text)); // the box has no caption
        grid->addWidget(n.spin, row, 1);
        grid->addWidget(n.box, row++, 2);
    }
    label(u"Použít mapu"_s, ComboBox2);
    grid->addWidget(ComboBox2, row++, 1, 1, 2);
    grid->addWidget(CheckBox1, row++, 0, 1, 3);
    label(u"Alternativní text"_s, Edit2);
    grid->addWidget(Edit2, row++, 1, 1, 2);
    grid->addWidget(CheckBox7, row++, 0, 1, 3);

    WebBrowser1 = namedWidget(new QFrame(body), u"WebBrowser1"_s);
    WebBrowser1->setFrameShape(QFrame::StyledPanel);
    WebBrowser1->setMinimumSize(220, 220);
    auto *pane = new QVBoxLayout(WebBrowser1);
    pane->setContentsMargins(1, 1, 1, 1);
    m_picture = new QLabel(WebBrowser1);
    m_picture->setAlignment(Qt::AlignCenter);
    pane->addWidget(m_picture);

    auto *columns = new QHBoxLayout(body);
    columns->setContentsMargins(0, 0, 0, 0);
    columns->addLayout(grid);
    columns->addWidget(WebBrowser1, 1);
    addWideRow(body);

    Srcset = rowTable(u"SrcsetTable"_s, u"Soubory pro různé obrazovky"_s,
                      {u"Soubor"_s, u"Šířka nebo hustota"_s}, this);
    Srcset.table->setToolTip(u"Prohlížeč vybere soubor podle šířky (480w) nebo hustoty (2x) "
                             u"obrazovky"_s);
    addRow(u"Soubory (srcset)"_s, Srcset.widget)->setBuddy(Srcset.table);
    SizesEdit = namedLineEdit(u"SizesEdit"_s, this);
    SizesEdit->setToolTip(u"Šířka obrázku na stránce podle obrazovky, "
                          u"např. (max-width: 600px) 100vw, 50vw"_s);
    addRow(u"Velikosti (sizes)"_s, SizesEdit);
    LazyBox = namedCheckBox(u"LazyBox"_s, u"Načíst až při posunu k obrázku (loading=\"lazy\")"_s,
                            this);
    addWideRow(LazyBox);
    DecodingCombo = editableCombo(u"DecodingCombo"_s, {QString(), u"async"_s, u"sync"_s, u"auto"_s},
                                  this);
    addRow(u"Dekódování"_s, DecodingCombo);
    FigureBox = namedCheckBox(u"FigureBox"_s, u"Obrázek s popiskem"_s, this);
    addWideRow(FigureBox);
    CaptionEdit = namedLineEdit(u"CaptionEdit"_s, this);
    addRow(u"Popisek"_s, CaptionEdit);
    CaptionEdit->setEnabled(false);
    connect(FigureBox, &QCheckBox::toggled, CaptionEdit, &QWidget::setEnabled);
    connect(Srcset.fileButton, &QPushButton::clicked, this, &TImageForm::addSrcsetFile);

    Edit1->installEventFilter(this);
    connect(SpeedButton1, &QToolButton::clicked, this, &TImageForm::SpeedButton1Click);
    connect(SpeedButton2, &QToolButton::clicked, this, &TImageForm::SpeedButton2Click);
    // Only the fields: a source set from a tag is neither measured nor previewed.
    bind({{&Fields::src, "Edit1"},
          {&Fields::align, "ComboBox1"},
          {&Fields::useMap, "ComboBox2"},
          {&Fields::alt, "Edit2"},
          {&Fields::isMap, "CheckBox1"},
          {&Fields::width, "SpinEdit3", "CheckBox5"},
          {&Fields::height, "SpinEdit2", "CheckBox2"},
          {&Fields::vspace, "SpinEdit1", "CheckBox3"},
          {&Fields::hspace, "SpinEdit4", "CheckBox6"},
          {&Fields::border, "SpinEdit5", "CheckBox4"},
          {&Fields::srcset, "SrcsetTable", srcsetRows},
          {&Fields::sizes, "SizesEdit"},
          {&Fields::lazy, "LazyBox"},
          {&Fields::decoding, "DecodingCombo"},
          {&Fields::figure, "FigureBox"},
          {&Fields::caption, "CaptionEdit"}});
    // A picture of today's page loads when it comes near the view; HTML 4 pages keep the
    // markup they always had.
    LazyBox->setChecked(m_context.settings.markupStyle() == MarkupStyle::Html5);
    fillMapNames();
    Edit1->setFocus();
}



void TImageForm::setPreviewPane(QWidget *browser, std::function<void(const QUrl &)> navigate)
{
    browser->setParent(WebBrowser1);
    WebBrowser1->layout()->addWidget(browser);
    m_picture->hide();
    m_navigate = std::move(navigate);
}

void TImageForm::SpeedButton1Click()
{
    if (!m_context.documentFileName)
        return;
    // A cancelled file dialog changes nothing.
    const QString chosen = ui().openFileName(ImageFilter);
    if (chosen.isEmpty())
        return;
    Edit1->setText(
        DocumentRelativePath(chosen, *m_context.documentFileName, m_context.settings.pathOptions()));
    if (QFileInfo::exists(chosen) && CheckBox7->isChecked())
        preview(QUrl::fromLocalFile(QFileInfo(chosen).absoluteFilePath()));
    // A picture that cannot be measured leaves the sizes as they were.
    if (const std::optional<PixelSize> size = measureImage(chosen)) {
        SpinEdit2->setValue(size->height);
        SpinEdit3->setValue(size->width);
    }
}

void TImageForm::setEditingInPlace()
{
    FigureBox->setChecked(false);
    FigureBox->setEnabled(false);
    CaptionEdit->setEnabled(false);
}

void TImageForm::addSrcsetFile()
{
    QString chosen;
    const QString reference = chooseReferencedFile(m_context, ImageFilter, &chosen);
    if (reference.isEmpty())
        return;
    const std::optional<PixelSize> size = measureImage(chosen);
    appendTableRow(Srcset.table,
                   {reference, size ? QString::number(size->width) + u'w' : QString()});
}

void TImageForm::SpeedButton2Click()
{
    if (const auto address = runAddressComposer(m_context.settings, this))
        Edit1->setText(*address);
}

bool TImageForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Edit1 && event->type() == QEvent::KeyPress && CheckBox7->isChecked()) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            // With the preview on, Enter shows the source as typed and keeps the dialog.
            preview(addressOf(Edit1->text()));
            return true;
        }
    }
    return FieldsDialog::eventFilter(watched, event);
}

QUrl TImageForm::addressOf(const QString &source) const
{
    if (source.contains(u"://"_s))
        return QUrl(source);
    QString path = source;
    path.replace(u'\\', u'/');
    // A relative source is taken from the document's folder, as the browser would.
    if (QFileInfo(path).isRelative() && m_context.documentFileName
        && QFileInfo(*m_context.documentFileName).isAbsolute())
        path = QFileInfo(*m_context.documentFileName).dir().filePath(path);
    return QUrl::fromLocalFile(path);
}

void TImageForm::preview(const QUrl &address)
{
    m_previewed = address;
    if (m_navigate) {
        m_navigate(address);
        return;
    }
    // Read through the program's reader, so a pipe named like a picture never blocks here.
    QPixmap picture;
    const GuardedRead read = readGuardedFile(address.toLocalFile(), MaxPreviewedPictureBytes);
    if (read.ok())
        picture.loadFromData(read.bytes);
    m_picture->setPixmap(picture.isNull() ? QPixmap()
                                          : picture.scaled(m_picture->size().boundedTo(
                                                               picture.size()),
                                                           Qt::KeepAspectRatio,
                                                           Qt::SmoothTransformation));
}

void TImageForm::fillMapNames()
{
    ComboBox2->clear();
    if (!m_context.documentFileName || !m_context.documentText)
        return;
    QApplication::setOverrideCursor(Qt::BusyCursor);
    ComboBox2->addItems(imageMapNames(m_context.documentText()));
    QApplication::restoreOverrideCursor();
    ComboBox2->setEditText(QString());
}
