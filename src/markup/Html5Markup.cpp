#include "markup/Html5Markup.h"

#include "markup/SysUt.h"
#include "markup/CodePages.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

// The flag's piece: its name after one blank, nothing while it is off.
QString html5FlagPiece(const QString &name, bool on)
{
    return on ? u' ' + name : QString();
}

// Whether text at i begins the start tag of one of the names.
bool html5ChildAt(QStringView text, qsizetype i, const QStringList &names)
{
    if (i >= text.size() || text[i] != u'<')
        return false;
    for (const QString &name : names) {
        const qsizetype after = i + 1 + name.size();
        if (after < text.size() && text.sliced(i + 1, name.size()).compare(name, Qt::CaseInsensitive) == 0
            && (IsBlank(text[after]) || text[after] == u'>' || text[after] == u'/'))
            return true;
    }
    return false;
}

// The start tags that follow the leading start tag of text, within its first length
// characters, each with the blanks before it skipped.
QStringList html5ChildTags(QStringView text, qsizetype length)
{
    QStringList tags;
    const std::optional<QString> first = leadingStartTag(text);
    qsizetype i = first ? first->size() : length;
    while (i < length) {
        while (i < length && IsBlank(text[i]))
            ++i;
        const std::optional<QString> tag = leadingStartTag(text.sliced(i, length - i));
        if (!tag)
            break;
        tags.append(*tag);
        i += tag->size();
    }
    return tags;
}

QString mediaOpening(const QString &element, const MediaElementFields &f, bool video)
{
    QString opening = u'<' + element + QuotedAttrPiece(u"SRC="_s, f.src);
    if (video) {
        opening += QuotedAttrPiece(u"POSTER="_s, f.poster) + NumberAttrPiece(u"WIDTH="_s, f.width)
                   + NumberAttrPiece(u"HEIGHT="_s, f.height);
    }
    opening += QuotedAttrPiece(u"PRELOAD="_s, f.preload) + html5FlagPiece(u"CONTROLS"_s, f.controls)
               + html5FlagPiece(u"AUTOPLAY"_s, f.autoplay) + html5FlagPiece(u"MUTED"_s, f.muted)
               + html5FlagPiece(u"LOOP"_s, f.loop);
    if (video)
        opening += html5FlagPiece(u"PLAYSINLINE"_s, f.playsInline);
    opening += u'>';
    for (const MediaSource &s : f.sources) {
        opening += u"\r\n<SOURCE"_s + QuotedAttrPiece(u"SRC="_s, s.src)
                   + QuotedAttrPiece(u"TYPE="_s, s.type)
                   + (s.extra.isEmpty() ? QString() : u' ' + s.extra) + u'>';
    }
    for (const MediaTrack &t : f.tracks) {
        opening += u"\r\n<TRACK"_s + QuotedAttrPiece(u"SRC="_s, t.src)
                   + QuotedAttrPiece(u"KIND="_s, t.kind) + QuotedAttrPiece(u"SRCLANG="_s, t.srclang)
                   + QuotedAttrPiece(u"LABEL="_s, t.label) + html5FlagPiece(u"DEFAULT"_s, t.isDefault)
                   + (t.extra.isEmpty() ? QString() : u' ' + t.extra) + u'>';
    }
    return opening + u"\r\n"_s + f.fallback;
}

TagRead<MediaElementFields> readMediaElement(QStringView text, bool video)
{
    const std::optional<QString> tag = leadingStartTag(text);
    AttributeReader reader(tag.value_or(QString()));
    MediaElementFields f;
    reader.text(u"SRC", f.src);
    if (video) {
        reader.text(u"POSTER", f.poster);
        reader.number(u"WIDTH", f.width);
        reader.number(u"HEIGHT", f.height);
    }
    reader.text(u"PRELOAD", f.preload);
    f.controls = reader.flag(u"CONTROLS");
    f.autoplay = reader.flag(u"AUTOPLAY");
    f.muted = reader.flag(u"MUTED");
    f.loop = reader.flag(u"LOOP");
    if (video)
        f.playsInline = reader.flag(u"PLAYSINLINE");
    const qsizetype covered = leadingChildTags(text, {u"SOURCE"_s, u"TRACK"_s});
    for (const QString &child : html5ChildTags(text, covered)) {
        AttributeReader c(child);
        if (startTagName(child) == u"SOURCE"_s) {
            MediaSource s;
            c.text(u"SRC", s.src);
            c.text(u"TYPE", s.type);
            s.extra = c.leftovers();
            f.sources.append(s);
        } else {
            MediaTrack t;
            t.isDefault = c.flag(u"DEFAULT");
            c.text(u"SRC", t.src);
            c.text(u"KIND", t.kind);
            c.text(u"SRCLANG", t.srclang);
            c.text(u"LABEL", t.label);
            t.extra = c.leftovers();
            f.tracks.append(t);
        }
    }
    return reader.result(f);
}

// Only an OPTION that says nothing but its value is a line of the list: any other stays
// outside what the dialog edits, untouched.
bool plainDataListOption(const QString &tag)
{
    AttributeReader reader(tag);
    return reader.text(u"VALUE").has_value() && reader.leftovers().isEmpty();
}

} // namespace

Markup composeVideo(const MediaElementFields &fields)
{
    return {mediaOpening(u"VIDEO"_s, fields, true), u"\r\n</VIDEO>"_s};
}

Markup composeAudio(const MediaElementFields &fields)
{
    return {mediaOpening(u"AUDIO"_s, fields, false), u"\r\n</AUDIO>"_s};
}

TagRead<MediaElementFields> readVideoElement(QStringView text)
{
    return readMediaElement(text, true);
}

TagRead<MediaElementFields> readAudioElement(QStringView text)
{
    return readMediaElement(text, false);
}

qsizetype leadingChildTags(QStringView text, const QStringList &childNames)
{
    const std::optional<QString> first = leadingStartTag(text);
    if (!first)
        return 0;
    qsizetype end = first->size();
    for (;;) {
        qsizetype i = end;
        while (i < text.size() && IsBlank(text[i]))
            ++i;
        if (!html5ChildAt(text, i, childNames))
            return end;
        const std::optional<QString> child = leadingStartTag(text.sliced(i));
        if (!child)
            return end;
        end = i + child->size();
    }
}

QString withStartTagLeftovers(QStringView composedOpening, QStringView leftovers)
{
    const qsizetype first = composedOpening.indexOf(u'<');
    const qsizetype last = composedOpening.lastIndexOf(u'>');
    if (first < 0 || last < first)
        return composedOpening.toString();
    QString text = composedOpening.sliced(first, last - first + 1).toString();
    const QString rest = TrimBlanks(leftovers);
    if (const std::optional<QString> tag = leadingStartTag(text); tag && !rest.isEmpty())
        text.insert(tag->size() - 1, u' ' + rest);
    return text;
}

QString composeSrcset(const QList<SrcsetEntry> &entries)
{
    QStringList parts;
    for (const SrcsetEntry &e : entries) {
        const QString file = e.file.trimmed();
        if (file.isEmpty())
            continue;
        const QString descriptor = e.descriptor.trimmed();
        parts.append(descriptor.isEmpty() ? file : file + u' ' + descriptor);
    }
    return parts.join(u", "_s);
}

QList<SrcsetEntry> parseSrcset(QStringView value)
{
    QList<SrcsetEntry> entries;
    const qsizetype n = value.size();
    qsizetype i = 0;
    while (i < n) {
        while (i < n && (IsBlank(value[i]) || value[i] == u','))
            ++i;
        if (i >= n)
            break;
        const qsizetype start = i;
        while (i < n && !IsBlank(value[i]))
            ++i;
        QStringView file = value.sliced(start, i - start);
        // An address that ends in a comma has no descriptor.
        if (file.endsWith(u',')) {
            while (file.endsWith(u','))
                file.chop(1);
            entries.append({file.toString(), QString()});
            continue;
        }
        const qsizetype descriptorStart = i;
        while (i < n && value[i] != u',')
            ++i;
        entries.append({file.toString(), TrimBlanks(value.sliced(descriptorStart, i - descriptorStart))});
    }
    return entries;
}

Markup composePicture(const PictureFields &fields)
{
    QString opening = u"<PICTURE>"_s;
    for (const PictureSource &s : fields.sources) {
        opening += u"\r\n<SOURCE"_s + QuotedAttrPiece(u"SRCSET="_s, s.srcset)
                   + QuotedAttrPiece(u"MEDIA="_s, s.media) + QuotedAttrPiece(u"TYPE="_s, s.type)
                   + (s.extra.isEmpty() ? QString() : u' ' + s.extra) + u'>';
    }
    opening += u"\r\n<IMG"_s + QuotedAttrPiece(u"SRC="_s, fields.src)
               + QuotedAttrPiece(u"ALT="_s, fields.alt) + NumberAttrPiece(u"WIDTH="_s, fields.width)
               + NumberAttrPiece(u"HEIGHT="_s, fields.height)
               + (fields.lazy ? u" LOADING=\"lazy\""_s : QString())
               + (fields.imageExtra.isEmpty() ? QString() : u' ' + fields.imageExtra) + u'>';
    return {opening, u"\r\n</PICTURE>"_s};
}

qsizetype pictureExtent(QStringView text)
{
    const qsizetype sources = leadingChildTags(text, {u"SOURCE"_s});
    if (sources == 0)
        return 0;
    qsizetype i = sources;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    if (!html5ChildAt(text, i, {u"IMG"_s}))
        return sources;
    const std::optional<QString> image = leadingStartTag(text.sliced(i));
    return image ? i + image->size() : sources;
}

TagRead<PictureFields> readPictureElement(QStringView text)
{
    const std::optional<QString> tag = leadingStartTag(text);
    AttributeReader reader(tag.value_or(QString()));
    PictureFields f;
    for (const QString &child : html5ChildTags(text, pictureExtent(text))) {
        AttributeReader c(child);
        if (startTagName(child) == u"SOURCE"_s) {
            PictureSource s;
            c.text(u"SRCSET", s.srcset);
            c.text(u"MEDIA", s.media);
            c.text(u"TYPE", s.type);
            s.extra = c.leftovers();
            f.sources.append(s);
            continue;
        }
        c.text(u"SRC", f.src);
        c.text(u"ALT", f.alt);
        c.number(u"WIDTH", f.width);
        c.number(u"HEIGHT", f.height);
        // Only "lazy" is the box; any other LOADING stays as the page wrote it.
        if (AttributeReader(child).text(u"LOADING").value_or(QString()).compare(u"lazy"_s, Qt::CaseInsensitive) == 0)
            f.lazy = c.text(u"LOADING").has_value();
        if (!c.error().isEmpty())
            return {f, reader.leftovers(), c.error()};
        f.imageExtra = c.leftovers();
    }
    return reader.result(f);
}

QString pictureTypeOf(const QString &fileName)
{
    static const struct { const char16_t *suffix; const char16_t *type; } kPictureTypes[] = {
        {u"avif", u"image/avif"}, {u"webp", u"image/webp"}, {u"jpg", u"image/jpeg"},
        {u"jpeg", u"image/jpeg"}, {u"png", u"image/png"},   {u"gif", u"image/gif"},
        {u"svg", u"image/svg+xml"},
    };
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    for (const auto &t : kPictureTypes) {
        if (suffix == QStringView(t.suffix))
            return QString::fromUtf16(t.type);
    }
    return {};
}

Markup composeDataList(const DataListFields &fields)
{
    QString opening = u"<DATALIST"_s + QuotedAttrPiece(u"ID="_s, fields.id) + u'>';
    for (const QString &line : normalizeLineBreaks(fields.options).split(u"\r\n"_s)) {
        if (!line.isEmpty())
            opening += u"\r\n<OPTION VALUE="_s + QuotedValue(line) + u'>';
    }
    return {opening + u"\r\n"_s, u"</DATALIST>"_s};
}

qsizetype dataListExtent(QStringView text)
{
    const std::optional<QString> first = leadingStartTag(text);
    if (!first)
        return 0;
    qsizetype end = first->size();
    for (;;) {
        qsizetype i = end;
        while (i < text.size() && IsBlank(text[i]))
            ++i;
        if (!html5ChildAt(text, i, {u"OPTION"_s}))
            return end;
        const std::optional<QString> option = leadingStartTag(text.sliced(i));
        if (!option || !plainDataListOption(*option))
            return end;
        end = i + option->size();
    }
}

TagRead<DataListFields> readDataListElement(QStringView text)
{
    const std::optional<QString> tag = leadingStartTag(text);
    AttributeReader reader(tag.value_or(QString()));
    DataListFields f;
    reader.text(u"ID", f.id);
    QStringList lines;
    for (const QString &child : html5ChildTags(text, dataListExtent(text)))
        lines.append(AttributeReader(child).text(u"VALUE").value_or(QString()));
    f.options = lines.join(u"\r\n"_s);
    return reader.result(f);
}

Markup composeOutput(const OutputFields &fields)
{
    return {u"<OUTPUT"_s + QuotedAttrPiece(u"NAME="_s, fields.name)
                + QuotedAttrPiece(u"FOR="_s, fields.forIds) + QuotedAttrPiece(u"FORM="_s, fields.form)
                + u'>',
            u"</OUTPUT>"_s};
}

TagRead<OutputFields> readOutputTag(QStringView tag)
{
    AttributeReader reader(tag);
    OutputFields f;
    reader.text(u"NAME", f.name);
    reader.text(u"FOR", f.forIds);
    reader.text(u"FORM", f.form);
    return reader.result(f);
}

Markup composeProgress(const ProgressFields &fields)
{
    return {u"<PROGRESS"_s + QuotedAttrPiece(u"VALUE="_s, fields.value)
                + QuotedAttrPiece(u"MAX="_s, fields.max) + u'>',
            u"</PROGRESS>"_s};
}

TagRead<ProgressFields> readProgressTag(QStringView tag)
{
    AttributeReader reader(tag);
    ProgressFields f;
    reader.text(u"VALUE", f.value);
    reader.text(u"MAX", f.max);
    return reader.result(f);
}

Markup composeMeter(const MeterFields &fields)
{
    return {u"<METER"_s + QuotedAttrPiece(u"VALUE="_s, fields.value)
                + QuotedAttrPiece(u"MIN="_s, fields.min) + QuotedAttrPiece(u"MAX="_s, fields.max)
                + QuotedAttrPiece(u"LOW="_s, fields.low) + QuotedAttrPiece(u"HIGH="_s, fields.high)
                + QuotedAttrPiece(u"OPTIMUM="_s, fields.optimum) + u'>',
            u"</METER>"_s};
}

TagRead<MeterFields> readMeterTag(QStringView tag)
{
    AttributeReader reader(tag);
    MeterFields f;
    reader.text(u"VALUE", f.value);
    reader.text(u"MIN", f.min);
    reader.text(u"MAX", f.max);
    reader.text(u"LOW", f.low);
    reader.text(u"HIGH", f.high);
    reader.text(u"OPTIMUM", f.optimum);
    return reader.result(f);
}

Markup composeLabelFor(const LabelForFields &fields)
{
    return {u"<LABEL"_s + QuotedAttrPiece(u"FOR="_s, fields.forId) + u'>' + fields.text,
            u"</LABEL>"_s};
}

TagRead<LabelForFields> readLabelForTag(QStringView tag)
{
    AttributeReader reader(tag);
    LabelForFields f;
    reader.text(u"FOR", f.forId);
    return reader.result(f);
}

namespace {

// The IDs of the elements of these names in document order, none twice.
QStringList html5ElementIds(QStringView text, const QStringList &controls)
{
    QStringList ids;
    for (qsizetype at = text.indexOf(u'<'); at >= 0; at = text.indexOf(u'<', at + 1)) {
        if (!html5ChildAt(text, at, controls))
            continue;
        const std::optional<QString> tag = leadingStartTag(text.sliced(at));
        if (!tag)
            continue;
        const QString id = AttributeReader(*tag).text(u"ID").value_or(QString());
        if (!id.isEmpty() && !ids.contains(id))
            ids.append(id);
    }
    return ids;
}

} // namespace

QStringList formControlIds(QStringView text)
{
    return html5ElementIds(text, {u"INPUT"_s, u"SELECT"_s, u"TEXTAREA"_s, u"BUTTON"_s, u"METER"_s,
                                  u"PROGRESS"_s, u"OUTPUT"_s});
}

QStringList dataListIds(QStringView text)
{
    return html5ElementIds(text, {u"DATALIST"_s});
}

QString mediaTypeOf(const QString &fileName)
{
    static const struct { const char16_t *suffix; const char16_t *type; } kTypes[] = {
        {u"mp4", u"video/mp4"},   {u"m4v", u"video/mp4"},   {u"webm", u"video/webm"},
        {u"ogv", u"video/ogg"},   {u"mov", u"video/quicktime"}, {u"mp3", u"audio/mpeg"},
        {u"m4a", u"audio/mp4"},   {u"ogg", u"audio/ogg"},   {u"oga", u"audio/ogg"},
        {u"opus", u"audio/ogg"},  {u"wav", u"audio/wav"},   {u"flac", u"audio/flac"},
    };
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    for (const auto &t : kTypes) {
        if (suffix == QStringView(t.suffix))
            return QString::fromUtf16(t.type);
    }
    return {};
}
