#pragma once

#include "dialogs/ElementDialog.h"
#include "dialogs/RowTable.h"
#include "markup/Html5Markup.h"

#include <QStringList>

#include <functional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QToolButton;

// Video "Video" and sound "Zvuk": the address or the sources as rows, the poster with its
// size read (video), the playing flags, the subtitles as rows and the fallback text.
class MediaElementDialog : public FieldsDialog<MediaElementFields>
{
    Q_OBJECT

public:
    // F7 edits the element's start tag with its sources and subtitles; the fallback text
    // inside it is not part of that.
    void setEditingInPlace();

    QComboBox *SourceCombo;
    QToolButton *SourceFileButton;
    QToolButton *SourceWebButton;
    QLineEdit *PosterEdit = nullptr;
    QToolButton *PosterButton = nullptr;
    QSpinBox *WidthSpin = nullptr;
    QCheckBox *WidthBox = nullptr;
    QSpinBox *HeightSpin = nullptr;
    QCheckBox *HeightBox = nullptr;
    QComboBox *PreloadCombo;
    QCheckBox *ControlsBox;
    QCheckBox *AutoplayBox;
    QCheckBox *MutedBox;
    QCheckBox *LoopBox;
    QCheckBox *PlaysInlineBox = nullptr;
    RowTable Sources;
    RowTable Tracks;
    QLineEdit *FallbackEdit;

    // Picks the poster: its reference goes into the field and, when the picture can be
    // measured, its size into width and height.
    void PosterButtonClick();

protected:
    MediaElementDialog(DocumentContext context, bool video, QWidget *parent);

private:
    void addSourceFile();
    void addTrackFile();

    DocumentContext m_context;
    bool m_video;
};

class VideoDialog : public MediaElementDialog
{
    Q_OBJECT

public:
    VideoDialog(DocumentContext context, QWidget *parent = nullptr)
        : MediaElementDialog(std::move(context), true, parent)
    {
    }
};

class AudioDialog : public MediaElementDialog
{
    Q_OBJECT

public:
    AudioDialog(DocumentContext context, QWidget *parent = nullptr)
        : MediaElementDialog(std::move(context), false, parent)
    {
    }
};

// List of suggestions "Seznam hodnot": its ID and the values one a line.
class DataListDialog : public FieldsDialog<DataListFields>
{
    Q_OBJECT

public:
    explicit DataListDialog(QWidget *parent = nullptr);

    QLineEdit *IdEdit;
    QPlainTextEdit *OptionsMemo;
};

// Result of a calculation "Výstup".
class OutputDialog : public FieldsDialog<OutputFields>
{
    Q_OBJECT

public:
    explicit OutputDialog(QWidget *parent = nullptr);

    QLineEdit *NameEdit;
    QLineEdit *ForEdit;
    QLineEdit *FormEdit;
};

// Progress of a task "Průběh".
class ProgressDialog : public FieldsDialog<ProgressFields>
{
    Q_OBJECT

public:
    explicit ProgressDialog(QWidget *parent = nullptr);

    QLineEdit *ValueEdit;
    QLineEdit *MaxEdit;
};

// Measured value "Měřidlo".
class MeterDialog : public FieldsDialog<MeterFields>
{
    Q_OBJECT

public:
    explicit MeterDialog(QWidget *parent = nullptr);

    QLineEdit *ValueEdit;
    QLineEdit *MinEdit;
    QLineEdit *MaxEdit;
    QLineEdit *LowEdit;
    QLineEdit *HighEdit;
    QLineEdit *OptimumEdit;
};

// Caption of a form control "Popisek pole": the control is picked among the IDs of the
// page's controls or typed.
class LabelForDialog : public FieldsDialog<LabelForFields>
{
    Q_OBJECT

public:
    LabelForDialog(DocumentContext context, QWidget *parent = nullptr);
    // F7 edits the start tag; the caption inside it is not part of that.
    void setEditingInPlace();

    QComboBox *ForCombo;
    QLineEdit *TextEdit;
};

// A picture with sources for each screen "Obrázek pro různé obrazovky": a row for each
// SOURCE (its files, the media query it serves, the files' type) and the IMG every browser
// falls back to, with the image dialog's fields.
class PictureDialog : public FieldsDialog<PictureFields>
{
    Q_OBJECT

public:
    PictureDialog(DocumentContext context, QWidget *parent = nullptr);

    // The image's attributes the dialog has no field for go back on it unchanged.
    PictureFields fields() const override;
    void setFields(const PictureFields &fields) override;

    RowTable Sources;
    QLineEdit *Edit1;
    QToolButton *SpeedButton1;
    QLineEdit *Edit2;
    QSpinBox *SpinEdit3;
    QCheckBox *CheckBox5;
    QSpinBox *SpinEdit2;
    QCheckBox *CheckBox2;
    QCheckBox *LazyBox;

    // Picks the fallback picture: its reference goes into "Zdroj" and its size, when the
    // picture can be measured, into width and height.
    void SpeedButton1Click();

private:
    void addSourceFile();

    DocumentContext m_context;
    QString m_imageExtra;
};

// The filters of the media file dialogs.
extern const QString VideoFilter;
extern const QString AudioFilter;
extern const QString TrackFilter;
extern const QString PictureFilter;
