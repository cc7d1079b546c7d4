#include "dialogs/Html5Dialogs.h"

#include "dialogs/FieldWidgets.h"
#include "dialogs/ImageDialog.h"
#include "interaction/Interaction.h"
#include "markup/ImageMarkup.h"
#include "markup/MarkupStyle.h"
#include "markup/SysUt.h"
#include "settings/TSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

const QString VideoFilter =
    u"Video (*.mp4;*.webm;*.ogv;*.m4v)|*.mp4;*.webm;*.ogv;*.m4v|Všechny soubory (*.*)|*.*"_s;
const QString AudioFilter =
    u"Zvuk (*.mp3;*.ogg;*.oga;*.opus;*.wav;*.m4a;*.flac)|*.mp3;*.ogg;*.oga;*.opus;*.wav;*.m4a;*.flac|"
    u"Všechny soubory (*.*)|*.*"_s;
const QString TrackFilter = u"Titulky (*.vtt)|*.vtt|Všechny soubory (*.*)|*.*"_s;
const QString PictureFilter =
    u"Obrázky (*.avif;*.webp;*.jpg;*.jpeg;*.png;*.gif;*.svg)|*.avif;*.webp;*.jpg;*.jpeg;*.png;*.gif;*.svg|"
    u"Všechny soubory (*.*)|*.*"_s;

namespace {

// The extra attributes of a row ride on its first cell, so the table shows only what the
// user fills in and nothing the page wrote is lost.
constexpr int ExtraRole = Qt::UserRole + 1;

QString rowExtra(const QTableWidget *table, int row)
{
    const QTableWidgetItem *item = table->item(row, 0);
    return item ? item->data(ExtraRole).toString() : QString();
}

// The default column holds a check box instead of a text.
constexpr int TrackDefaultColumn = 4;

QList<MediaSource> sourcesOf(const QWidget *control)
{
    auto *table = static_cast<const QTableWidget *>(control);
    QList<MediaSource> rows;
    for (int r = 0; r < table->rowCount(); ++r) {
        const MediaSource s{cellText(table, r, 0).trimmed(), cellText(table, r, 1).trimmed(),
                            rowExtra(table, r)};
        if (!s.src.isEmpty() || !s.type.isEmpty() || !s.extra.isEmpty())
            rows.append(s);
    }
    return rows;
}

void setSources(QWidget *control, const QList<MediaSource> &rows)
{
    auto *table = static_cast<QTableWidget *>(control);
    table->setRowCount(0);
    for (const MediaSource &s : rows) {
        const int r = appendTableRow(table, {s.src, s.type});
        rowTableCell(table, r, 0)->setData(ExtraRole, s.extra);
    }
}

QList<MediaTrack> tracksOf(const QWidget *control)
{
    auto *table = static_cast<const QTableWidget *>(control);
    QList<MediaTrack> rows;
    for (int r = 0; r < table->rowCount(); ++r) {
        const QTableWidgetItem *box = table->item(r, TrackDefaultColumn);
        MediaTrack t{cellText(table, r, 0).trimmed(), cellText(table, r, 1).trimmed(),
                     cellText(table, r, 2).trimmed(), cellText(table, r, 3).trimmed(),
                     box && box->checkState() == Qt::Checked, rowExtra(table, r)};
        if (!t.src.isEmpty() || !t.label.isEmpty() || !t.extra.isEmpty())
            rows.append(t);
    }
    return rows;
}

void setTracks(QWidget *control, const QList<MediaTrack> &rows)
{
    auto *table = static_cast<QTableWidget *>(control);
    table->setRowCount(0);
    for (const MediaTrack &t : rows) {
        const int r = appendTableRow(table, {t.src, t.kind, t.srclang, t.label});
        rowTableCell(table, r, TrackDefaultColumn)->setCheckState(t.isDefault ? Qt::Checked : Qt::Unchecked);
        rowTableCell(table, r, 0)->setData(ExtraRole, t.extra);
    }
}

const ControlAccess<QList<MediaSource>> sourceRows{&sourcesOf, &setSources};

QList<PictureSource> pictureSourcesOf(const QWidget *control)
{
    auto *table = static_cast<const QTableWidget *>(control);
    QList<PictureSource> rows;
    for (int r = 0; r < table->rowCount(); ++r) {
        const PictureSource s{cellText(table, r, 0).trimmed(), cellText(table, r, 1).trimmed(),
                              cellText(table, r, 2).trimmed(), rowExtra(table, r)};
        if (!s.srcset.isEmpty() || !s.media.isEmpty() || !s.type.isEmpty() || !s.extra.isEmpty())
            rows.append(s);
    }
    return rows;
}

void setPictureSources(QWidget *control, const QList<PictureSource> &rows)
{
    auto *table = static_cast<QTableWidget *>(control);
    table->setRowCount(0);
    for (const PictureSource &s : rows) {
        const int r = appendTableRow(table, {s.srcset, s.media, s.type});
        rowTableCell(table, r, 0)->setData(ExtraRole, s.extra);
    }
}

const ControlAccess<QList<PictureSource>> pictureSourceRows{&pictureSourcesOf, &setPictureSources};
const ControlAccess<QList<MediaTrack>> trackRows{&tracksOf, &setTracks};

} // namespace

MediaElementDialog::MediaElementDialog(DocumentContext context, bool video, QWidget *parent)
    : FieldsDialog(video ? u"Video"_s : u"Zvuk"_s, video ? &composeVideo : &composeAudio, parent)
    , m_context(std::move(context))
    , m_video(video)
{
    const AddressPicker source = addressPicker(u"SourceCombo"_s, this);
    SourceCombo = source.combo;
    SourceFileButton = source.fileButton;
    SourceWebButton = source.webButton;
    source.connectButtons(&m_context, video ? VideoFilter : AudioFilter, this);
    addRow(u"Adresa"_s, source.row())->setBuddy(SourceCombo);
    Sources = rowTable(u"SourceTable"_s, u"Zdroje"_s, {u"Soubor"_s, u"Typ"_s}, this);
    addRow(u"Zdroje"_s, Sources.widget)->setBuddy(Sources.table);
    if (video) {
        PosterEdit = namedLineEdit(u"PosterEdit"_s, this);
        PosterButton = iconButton(u"PosterButton"_s, QStyle::SP_DialogOpenButton, this,
                                  u"Vybere obrázek z disku a změří ho"_s);
        auto *poster = new QHBoxLayout;
        poster->addWidget(PosterEdit, 1);
        poster->addWidget(PosterButton);
        addRow(u"Náhledový obrázek"_s, poster)->setBuddy(PosterEdit);
        const ToggledSpin width = toggledSpin(u"WidthSpin"_s, u"WidthBox"_s, this, 0);
        const ToggledSpin height = toggledSpin(u"HeightSpin"_s, u"HeightBox"_s, this, 0);
        WidthSpin = width.spin;
        WidthBox = width.box;
        HeightSpin = height.spin;
        HeightBox = height.box;
        addRow(u"Šířka"_s, width.row())->setBuddy(WidthSpin);
        addRow(u"Výška"_s, height.row())->setBuddy(HeightSpin);
        connect(PosterButton, &QToolButton::clicked, this, &MediaElementDialog::PosterButtonClick);
    }
    PreloadCombo = editableCombo(u"PreloadCombo"_s, {QString(), u"none"_s, u"metadata"_s, u"auto"_s},
                                 this);
    PreloadCombo->setToolTip(u"Co si prohlížeč načte předem"_s);
    addRow(u"Načíst předem"_s, PreloadCombo);
    ControlsBox = namedCheckBox(u"ControlsBox"_s, u"Ovládací prvky"_s, this);
    AutoplayBox = namedCheckBox(u"AutoplayBox"_s, u"Spustit samo"_s, this);
    MutedBox = namedCheckBox(u"MutedBox"_s, u"Bez zvuku"_s, this);
    LoopBox = namedCheckBox(u"LoopBox"_s, u"Opakovat"_s, this);
    auto *flags = new QGridLayout;
    flags->addWidget(ControlsBox, 0, 0);
    flags->addWidget(AutoplayBox, 0, 1);
    flags->addWidget(MutedBox, 1, 0);
    flags->addWidget(LoopBox, 1, 1);
    if (video) {
        PlaysInlineBox = namedCheckBox(u"PlaysInlineBox"_s, u"Přehrát ve stránce"_s, this);
        PlaysInlineBox->setToolTip(u"Telefon video nepřepne na celou obrazovku"_s);
        flags->addWidget(PlaysInlineBox, 2, 0);
    }
    auto *flagsWidget = new QWidget(this);
    flagsWidget->setLayout(flags);
    flags->setContentsMargins(0, 0, 0, 0);
    addWideRow(flagsWidget);
    Tracks = rowTable(u"TrackTable"_s, u"Titulky"_s,
                      {u"Soubor"_s, u"Druh"_s, u"Jazyk"_s, u"Popis"_s, u"Výchozí"_s}, this);
    addRow(u"Titulky"_s, Tracks.widget)->setBuddy(Tracks.table);
    FallbackEdit = namedLineEdit(u"FallbackEdit"_s, this);
    FallbackEdit->setToolTip(u"Text pro prohlížeče, které médium nepřehrají"_s);
    addRow(u"Náhradní text"_s, FallbackEdit);
    setMinimumWidth(560);

    connect(Sources.fileButton, &QPushButton::clicked, this, &MediaElementDialog::addSourceFile);
    connect(Tracks.fileButton, &QPushButton::clicked, this, &MediaElementDialog::addTrackFile);
    connect(Tracks.addButton, &QPushButton::clicked, this, [this] {
        QTableWidget *table = Tracks.table;
        rowTableCell(table, table->rowCount() - 1, 1)->setText(u"subtitles"_s);
        rowTableCell(table, table->rowCount() - 1, TrackDefaultColumn)->setCheckState(Qt::Unchecked);
    });

    FieldBindings<Fields> bindings{{&Fields::src, "SourceCombo"},
                                   {&Fields::sources, "SourceTable", sourceRows},
                                   {&Fields::preload, "PreloadCombo"},
                                   {&Fields::controls, "ControlsBox"},
                                   {&Fields::autoplay, "AutoplayBox"},
                                   {&Fields::muted, "MutedBox"},
                                   {&Fields::loop, "LoopBox"},
                                   {&Fields::tracks, "TrackTable", trackRows},
                                   {&Fields::fallback, "FallbackEdit"}};
    if (video) {
        bindings.add({&Fields::poster, "PosterEdit"});
        bindings.add({&Fields::width, "WidthSpin", "WidthBox"});
        bindings.add({&Fields::height, "HeightSpin", "HeightBox"});
        bindings.add({&Fields::playsInline, "PlaysInlineBox"});
    }
    bind(std::move(bindings));
    SourceCombo->setFocus();
}

void MediaElementDialog::setEditingInPlace()
{
    FallbackEdit->setEnabled(false);
}

void MediaElementDialog::PosterButtonClick()
{
    QString chosen;
    const QString reference = chooseReferencedFile(m_context, ImageFilter, &chosen);
    if (reference.isEmpty())
        return;
    PosterEdit->setText(reference);
    // A picture that cannot be measured leaves the sizes as they were.
    if (const std::optional<PixelSize> size = measureImage(chosen)) {
        WidthSpin->setValue(size->width);
        HeightSpin->setValue(size->height);
        WidthBox->setChecked(true);
        HeightBox->setChecked(true);
    }
}

void MediaElementDialog::addSourceFile()
{
    QString chosen;
    const QString reference =
        chooseReferencedFile(m_context, m_video ? VideoFilter : AudioFilter, &chosen);
    if (!reference.isEmpty())
        appendTableRow(Sources.table, {reference, mediaTypeOf(chosen)});
}

void MediaElementDialog::addTrackFile()
{
    const QString reference = chooseReferencedFile(m_context, TrackFilter);
    if (reference.isEmpty())
        return;
    // The first subtitles are shown unless the user picks others.
    const bool first = Tracks.table->rowCount() == 0;
    const int r = appendTableRow(Tracks.table, {reference, u"subtitles"_s, u"cs"_s, u"Česky"_s});
    rowTableCell(Tracks.table, r, TrackDefaultColumn)->setCheckState(first ? Qt::Checked : Qt::Unchecked);
}

DataListDialog::DataListDialog(QWidget *parent)
    : FieldsDialog(u"Seznam hodnot"_s, &composeDataList, parent)
{
    IdEdit = namedLineEdit(u"IdEdit"_s, this);
    IdEdit->setToolTip(u"Pod tímto jménem seznam najde vstupní pole (LIST)"_s);
    OptionsMemo = namedWidget(new QPlainTextEdit(this), u"OptionsMemo"_s);
    OptionsMemo->setTabChangesFocus(true);
    OptionsMemo->setMinimumHeight(110);
    addRow(u"ID"_s, IdEdit);
    addRow(u"Hodnoty (jedna na řádek)"_s, OptionsMemo);
    setMinimumWidth(360);
    bind({{&Fields::id, "IdEdit"}, {&Fields::options, "OptionsMemo", crLfText}});
    IdEdit->setFocus();
}

OutputDialog::OutputDialog(QWidget *parent) : FieldsDialog(u"Výstup"_s, &composeOutput, parent)
{
    NameEdit = namedLineEdit(u"NameEdit"_s, this);
    ForEdit = namedLineEdit(u"ForEdit"_s, this);
    ForEdit->setToolTip(u"ID polí, z nichž se výsledek počítá, oddělená mezerou"_s);
    FormEdit = namedLineEdit(u"FormEdit"_s, this);
    addRow(u"Jméno"_s, NameEdit);
    addRow(u"Počítáno z polí"_s, ForEdit);
    addRow(u"Formulář"_s, FormEdit);
    setMinimumWidth(340);
    bind({{&Fields::name, "NameEdit"}, {&Fields::forIds, "ForEdit"}, {&Fields::form, "FormEdit"}});
    NameEdit->setFocus();
}

ProgressDialog::ProgressDialog(QWidget *parent)
    : FieldsDialog(u"Průběh"_s, &composeProgress, parent)
{
    ValueEdit = namedLineEdit(u"ValueEdit"_s, this);
    ValueEdit->setToolTip(u"Prázdná hodnota: délka úlohy není známa"_s);
    MaxEdit = namedLineEdit(u"MaxEdit"_s, this);
    addRow(u"Hodnota"_s, ValueEdit);
    addRow(u"Maximum"_s, MaxEdit);
    setMinimumWidth(300);
    bind({{&Fields::value, "ValueEdit"}, {&Fields::max, "MaxEdit"}});
    ValueEdit->setFocus();
}

MeterDialog::MeterDialog(QWidget *parent) : FieldsDialog(u"Měřidlo"_s, &composeMeter, parent)
{
    ValueEdit = namedLineEdit(u"ValueEdit"_s, this);
    MinEdit = namedLineEdit(u"MinEdit"_s, this);
    MaxEdit = namedLineEdit(u"MaxEdit"_s, this);
    LowEdit = namedLineEdit(u"LowEdit"_s, this);
    HighEdit = namedLineEdit(u"HighEdit"_s, this);
    OptimumEdit = namedLineEdit(u"OptimumEdit"_s, this);
    addRow(u"Hodnota"_s, ValueEdit);
    addRow(u"Minimum"_s, MinEdit);
    addRow(u"Maximum"_s, MaxEdit);
    addRow(u"Nízká hodnota"_s, LowEdit);
    addRow(u"Vysoká hodnota"_s, HighEdit);
    addRow(u"Nejlepší hodnota"_s, OptimumEdit);
    setMinimumWidth(300);
    bind({{&Fields::value, "ValueEdit"},
          {&Fields::min, "MinEdit"},
          {&Fields::max, "MaxEdit"},
          {&Fields::low, "LowEdit"},
          {&Fields::high, "HighEdit"},
          {&Fields::optimum, "OptimumEdit"}});
    ValueEdit->setFocus();
}

LabelForDialog::LabelForDialog(DocumentContext context, QWidget *parent)
    : FieldsDialog(u"Popisek pole"_s, &composeLabelFor, parent)
{
    ForCombo = editableCombo(u"ForCombo"_s, {}, this);
    ForCombo->setToolTip(u"ID pole formuláře, k němuž popisek patří"_s);
    if (context.documentText)
        ForCombo->addItems(formControlIds(context.documentText()));
    TextEdit = namedLineEdit(u"TextEdit"_s, this);
    addRow(u"Pole (ID)"_s, ForCombo);
    addRow(u"Text popisku"_s, TextEdit);
    setMinimumWidth(320);
    bind({{&Fields::forId, "ForCombo"}, {&Fields::text, "TextEdit"}});
    ForCombo->setFocus();
}

void LabelForDialog::setEditingInPlace()
{
    TextEdit->setEnabled(false);
}

PictureDialog::PictureDialog(DocumentContext context, QWidget *parent)
    : FieldsDialog(u"Obrázek pro různé obrazovky"_s, &composePicture, parent)
    , m_context(std::move(context))
{
    Sources = rowTable(u"SourceTable"_s, u"Zdroje podle obrazovky"_s,
                       {u"Soubory (srcset)"_s, u"Média"_s, u"Typ"_s}, this);
    Sources.table->setToolTip(u"Prohlížeč použije první zdroj, jehož podmínka (např. "
                              u"(min-width: 800px)) platí a jehož typ umí zobrazit"_s);
    addRow(u"Zdroje"_s, Sources.widget)->setBuddy(Sources.table);
    Edit1 = namedLineEdit(u"Edit1"_s, this);
    SpeedButton1 = iconButton(u"SpeedButton1"_s, QStyle::SP_DialogOpenButton, this,
                              u"Otevře soubor z disku"_s);
    auto *source = new QHBoxLayout;
    source->addWidget(Edit1, 1);
    source->addWidget(SpeedButton1);
    addRow(u"Zdroj (IMG)"_s, source)->setBuddy(Edit1);
    Edit2 = namedLineEdit(u"Edit2"_s, this);
    addRow(u"Alternativní text"_s, Edit2);
    const ToggledSpin width = toggledSpin(u"SpinEdit3"_s, u"CheckBox5"_s, this, 0);
    const ToggledSpin height = toggledSpin(u"SpinEdit2"_s, u"CheckBox2"_s, this, 0);
    SpinEdit3 = width.spin;
    CheckBox5 = width.box;
    SpinEdit2 = height.spin;
    CheckBox2 = height.box;
    addRow(u"Šířka"_s, width.row())->setBuddy(SpinEdit3);
    addRow(u"Výška"_s, height.row())->setBuddy(SpinEdit2);
    LazyBox = namedCheckBox(u"LazyBox"_s, u"loading=\"lazy\""_s, this);
    LazyBox->setToolTip(u"Načíst až při posunu k obrázku"_s);
    addWideRow(LazyBox);
    setMinimumWidth(620);

    connect(Sources.fileButton, &QPushButton::clicked, this, &PictureDialog::addSourceFile);
    connect(SpeedButton1, &QToolButton::clicked, this, &PictureDialog::SpeedButton1Click);
    bind({{&Fields::sources, "SourceTable", pictureSourceRows},
          {&Fields::src, "Edit1"},
          {&Fields::alt, "Edit2"},
          {&Fields::width, "SpinEdit3", "CheckBox5"},
          {&Fields::height, "SpinEdit2", "CheckBox2"},
          {&Fields::lazy, "LazyBox"}});
    // A picture of today's page loads when it comes near the view.
    LazyBox->setChecked(m_context.settings.markupStyle() == MarkupStyle::Html5);
    Sources.table->setFocus();
}

PictureFields PictureDialog::fields() const
{
    PictureFields f = FieldsDialog::fields();
    f.imageExtra = m_imageExtra;
    return f;
}

void PictureDialog::setFields(const PictureFields &fields)
{
    FieldsDialog::setFields(fields);
    m_imageExtra = fields.imageExtra;
}

void PictureDialog::SpeedButton1Click()
{
    QString chosen;
    const QString reference = chooseReferencedFile(m_context, PictureFilter, &chosen);
    if (reference.isEmpty())
        return;
    Edit1->setText(reference);
    // A picture that cannot be measured leaves the sizes as they were.
    if (const std::optional<PixelSize> size = measureImage(chosen)) {
        SpinEdit3->setValue(size->width);
        SpinEdit2->setValue(size->height);
        CheckBox5->setChecked(true);
        CheckBox2->setChecked(true);
    }
}

void PictureDialog::addSourceFile()
{
    QString chosen;
    const QString reference = chooseReferencedFile(m_context, PictureFilter, &chosen);
    if (!reference.isEmpty())
        appendTableRow(Sources.table, {reference, QString(), pictureTypeOf(chosen)});
}
