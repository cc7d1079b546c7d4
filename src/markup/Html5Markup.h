#pragma once

#include "markup/ElementContract.h"
#include "markup/Markup.h"

#include <QList>
#include <QString>
#include <QStringList>

// The elements a page of today adds to HTML 4: video and sound with their sources and
// subtitles, the picture's set of files for each screen, and the form's lists, outputs
// and gauges. Written in the house style (upper-case names) like every other element;
// the markup-style layer converts what the commands write.

// One source of a video or sound: a SOURCE element inside it.
struct MediaSource
{
    QString src;
    QString type;
    QString extra; // attributes the dialog has no column for, kept word for word
    bool operator==(const MediaSource &) const = default;
};

// One subtitle file: a TRACK element inside the video or sound.
struct MediaTrack
{
    QString src;
    QString kind;
    QString srclang;
    QString label;
    bool isDefault = false;
    QString extra;
    bool operator==(const MediaTrack &) const = default;
};

// Video ("Video") and sound ("Zvuk"); a sound has no poster, size or inline playing.
struct MediaElementFields
{
    QString src;
    QString poster;
    QString preload;
    Toggled<int> width, height;
    bool controls = true;
    bool autoplay = false;
    bool muted = false;
    bool loop = false;
    bool playsInline = false;
    QList<MediaSource> sources;
    QList<MediaTrack> tracks;
    // Shown by a browser that plays neither; written after the sources and subtitles.
    QString fallback;
    bool operator==(const MediaElementFields &) const = default;
};

// '<VIDEO' with SRC, POSTER, WIDTH, HEIGHT, PRELOAD and the flags, then one line for each
// SOURCE and TRACK, then the fallback text; '</VIDEO>' closes it on a line of its own.
Markup composeVideo(const MediaElementFields &fields);
Markup composeAudio(const MediaElementFields &fields);
// The start tag and the SOURCE and TRACK tags that follow it, as leadingChildTags gives
// them. The leftovers are those of the start tag; each child keeps its own.
TagRead<MediaElementFields> readVideoElement(QStringView text);
TagRead<MediaElementFields> readAudioElement(QStringView text);

// The length of the start tag at the beginning of text together with the tags of the
// given (upper-case) names that follow it, blanks and line breaks between them allowed:
// the children F7 reads with their parent. Zero when text does not begin with a start tag.
qsizetype leadingChildTags(QStringView text, const QStringList &childNames);
// The edited text of an element whose children are composed with it: the composed markup
// from its first "<" to its last ">", the leftovers put back into its first tag.
QString withStartTagLeftovers(QStringView composedOpening, QStringView leftovers);

// One file of a picture's set: its address and its width ("480w") or density ("2x").
struct SrcsetEntry
{
    QString file;
    QString descriptor;
    bool operator==(const SrcsetEntry &) const = default;
};

// "a.jpg 480w, b.jpg 800w": the entries in order, empty descriptors left out.
QString composeSrcset(const QList<SrcsetEntry> &entries);
// The entries of a SRCSET value; a comma inside an address (a "data:" address) stays in it.
QList<SrcsetEntry> parseSrcset(QStringView value);

// One SOURCE of a picture: the files a browser picks from when the media query holds,
// and their type, so a browser that cannot show it (WebP, AVIF) goes on to the next.
struct PictureSource
{
    QString srcset;
    QString media;
    QString type;
    QString extra; // attributes the dialog has no column for, kept word for word
    bool operator==(const PictureSource &) const = default;
};

// A picture with sources for each screen: its SOURCE rows and the IMG every browser falls
// back to, with the image dialog's fields of that IMG.
struct PictureFields
{
    QList<PictureSource> sources;
    QString src;
    QString alt;
    Toggled<int> width, height;
    bool lazy = false;
    QString imageExtra; // the IMG's attributes the dialog does not show
    bool operator==(const PictureFields &) const = default;
};

// '<PICTURE>', one line for each SOURCE (SRCSET, MEDIA, TYPE), then the IMG (SRC, ALT,
// WIDTH, HEIGHT, LOADING); '</PICTURE>' closes it on a line of its own.
Markup composePicture(const PictureFields &fields);
// The length of the start tag at the beginning of text with the SOURCE tags and the one
// IMG that follow it: what F7 rewrites of a picture.
qsizetype pictureExtent(QStringView text);
// The start tag, its SOURCE tags and its IMG. The leftovers are those of the start tag.
TagRead<PictureFields> readPictureElement(QStringView text);
// The MIME type of a picture file by its extension ("image/webp" ...); empty when unknown.
QString pictureTypeOf(const QString &fileName);

// A list of suggestions for text fields ("Seznam hodnot"): the options one a line.
struct DataListFields
{
    QString id;
    QString options;
    bool operator==(const DataListFields &) const = default;
};

Markup composeDataList(const DataListFields &fields);
// The length of the start tag at the beginning of text and of the OPTION tags that follow
// it with nothing but a VALUE: those are the lines the dialog shows.
qsizetype dataListExtent(QStringView text);
// The start tag and the OPTION tags that follow it.
TagRead<DataListFields> readDataListElement(QStringView text);

// The result of a calculation ("Výstup").
struct OutputFields
{
    QString name;
    QString forIds;
    QString form;
    bool operator==(const OutputFields &) const = default;
};

Markup composeOutput(const OutputFields &fields);
TagRead<OutputFields> readOutputTag(QStringView tag);

// The progress of a task ("Průběh"); no value means a task of unknown length.
struct ProgressFields
{
    QString value;
    QString max;
    bool operator==(const ProgressFields &) const = default;
};

Markup composeProgress(const ProgressFields &fields);
TagRead<ProgressFields> readProgressTag(QStringView tag);

// A measured value within a range ("Měřidlo").
struct MeterFields
{
    QString value;
    QString min;
    QString max;
    QString low;
    QString high;
    QString optimum;
    bool operator==(const MeterFields &) const = default;
};

Markup composeMeter(const MeterFields &fields);
TagRead<MeterFields> readMeterTag(QStringView tag);

// A caption tied to its form control by the control's ID ("Popisek pole").
struct LabelForFields
{
    QString forId;
    QString text;
    bool operator==(const LabelForFields &) const = default;
};

// The text goes inside the element, before the selection.
Markup composeLabelFor(const LabelForFields &fields);
TagRead<LabelForFields> readLabelForTag(QStringView tag);

// The IDs of the page's form controls (INPUT, SELECT, TEXTAREA, BUTTON, METER, PROGRESS,
// OUTPUT) in document order, as a label's FOR wants them; no ID twice.
QStringList formControlIds(QStringView text);
// The IDs of the page's DATALIST elements, as an input's LIST wants them.
QStringList dataListIds(QStringView text);

// The MIME type a source file's extension suggests ("video/mp4" ...); empty when unknown.
QString mediaTypeOf(const QString &fileName);
