#include "commands/ElementTable.h"

#include "commands/CommandIds.h"
#include "commands/ImageAndPageWizard.h"
#include "commands/ElementEdit.h"
#include "commands/InsertArgs.h"
#include "commands/MetaAndComment.h"
#include "commands/TableCommands.h"
#include "commands/Workspace.h"
#include "dialogs/FormDialogs.h"
#include "dialogs/FrameDialogs.h"
#include "dialogs/Html5Dialogs.h"
#include "dialogs/ImageDialog.h"
#include "dialogs/PageWizard.h"
#include "dialogs/TableDialogs.h"
#include "dialogs/LinkDialogs.h"
#include "dialogs/MediaDialogs.h"
#include "dialogs/TextDialogs.h"
#include "editor/HtmlDocument.h"
#include "interaction/Interaction.h"
#include "markup/ElementContract.h"
#include "markup/FormMarkup.h"
#include "markup/FrameMarkup.h"
#include "markup/Html5Markup.h"
#include "markup/ImageMarkup.h"
#include "markup/PageMarkup.h"
#include "markup/LinkMarkup.h"
#include "markup/MarkupStyle.h"
#include "markup/MediaMarkup.h"
#include "markup/SysUt.h"
#include "markup/TextMarkup.h"
#include "settings/TSettings.h"

#include <memory>
#include <type_traits>

using namespace Qt::StringLiterals;

namespace {

// A row whose dialog composes the element for its insertion command and edits its tags
// for F7; the hooks change what the common path does for this one element.
template<class Dialog, auto Read, class Fields = decltype(Read(QStringView()).fields)>
ElementRow dialogRow(QStringList tags, int command, ColorValue TSettings::*color = &TSettings::TAG,
                     EditHooks<Dialog, Fields> hooks = {})
{
    ElementRow row{std::move(tags), command, color, {}, {}, {}};
    const auto make = hooks.make;
    row.insert = [make](Workspace &w, const InsertArgs &) { return insertWith<Dialog>(w, make); };
    row.edit = [hooks](Workspace &w, const QString &tag) {
        return editWith<Dialog, Fields>(w, Read(tag), hooks);
    };
    row.dialog = [make](Workspace &w) -> std::unique_ptr<QDialog> {
        return std::unique_ptr<QDialog>(makeDialog<Dialog>(w, make).release());
    };
    return row;
}

// A row that only inserts through its dialog.
template<class Dialog>
ElementRow insertionRow(int command)
{
    ElementRow row{{}, command, &TSettings::TAG, {}, {}, {}};
    row.insert = [](Workspace &w, const InsertArgs &) { return insertWith<Dialog>(w); };
    row.dialog = [](Workspace &w) -> std::unique_ptr<QDialog> {
        return std::unique_ptr<QDialog>(makeDialog<Dialog>(w).release());
    };
    return row;
}

// The one-line prompts of OPTION, LABEL, P and BR: F7 asks for one attribute; insertion
// asks its own question or takes the attribute picked from a list.
ElementRow promptRow(const QString &tag, const QString &title, const QString &label,
                     const QString &attribute, int command,
                     std::function<std::optional<Markup>(const InsertArgs &)> insert)
{
    ElementRow row{{tag}, command, &TSettings::TAG, {}, {}, {}};
    row.insert = [insert](Workspace &, const InsertArgs &args) { return insert(args); };
    row.edit = [tag, title, label, attribute](Workspace &, const QString &text)
        -> std::optional<QString> {
        AttributeReader reader(text);
        const std::optional<QString> was = reader.text(attribute);
        const std::optional<QString> input = ui().text(title, label, was.value_or(QString()));
        if (!input)
            return std::nullopt;
        // Confirming an empty field adds no empty attribute: a P stays without ALIGN, an
        // OPTION without VALUE goes on sending its text. One written before stays written.
        if (input->isEmpty() && !was)
            return withLeftovers(u'<' + tag + u'>', reader.leftovers());
        return withLeftovers(u'<' + tag + u' ' + attribute + u'=' + QuotedValue(*input) + u'>',
                             reader.leftovers());
    };
    return row;
}

// Insertion asks for the attribute's value under the element's own name.
std::function<std::optional<Markup>(const InsertArgs &)> askedValue(const QString &tag,
                                                                    const QString &label,
                                                                    const QString &attribute)
{
    return [tag, label, attribute](const InsertArgs &) -> std::optional<Markup> {
        if (const auto input = ui().text(tag, label))
            return Markup{u'<' + tag + u' ' + attribute + u'=' + QuotedValue(*input) + u'>',
                          u"</"_s + tag + u'>'};
        return std::nullopt;
    };
}

std::optional<QString> editLabelFor(Workspace &w, const QString &tag);

// HTML never had TEXT on a label: an HTML5 page names the control the label is for, and
// F7 on a label that names one, or that is written in HTML5 while HTML5 is chosen, edits it in
// the dialog of a label tied to its control.
ElementRow labelRow()
{
    const QString forLabel = u"Pro prvek (id)"_s;
    ElementRow row = promptRow(u"LABEL"_s, u"Label"_s, u"Text"_s, u"TEXT"_s, 64, {});
    row.insert = [forLabel](Workspace &w, const InsertArgs &args) {
        if (w.settings().markupStyle() == MarkupStyle::Html5)
            return askedValue(u"LABEL"_s, forLabel, u"FOR"_s)(args);
        return askedValue(u"LABEL"_s, u"Text"_s, u"TEXT"_s)(args);
    };
    // A label tied to its control edits in its own dialog; the caption inside stays.
    row.edit = [html4 = row.edit](Workspace &w, const QString &tag) {
        const bool namesControl = AttributeReader(tag).has(u"FOR");
        const bool writtenInHtml5 = w.settings().markupStyle() == MarkupStyle::Html5
                                    && styleOfTag(tag) == MarkupStyle::Html5;
        return namesControl || writtenInHtml5 ? editLabelFor(w, tag) : html4(w, tag);
    };
    return row;
}

// Insertion writes the attributes picked from the pop-up list as they are.
std::function<std::optional<Markup>(const InsertArgs &)> pickedAttributes(const QString &tag,
                                                                          const QString &closing)
{
    return [tag, closing](const InsertArgs &args) -> std::optional<Markup> {
        return Markup{u'<' + tag + u' ' + args.item + u'>', closing};
    };
}

// --- media and object dialogs -------------------------------------------------------

std::function<QString()> &componentListPath()
{
    static std::function<QString()> path;
    return path;
}

std::optional<Markup> insertActiveX(Workspace &w, const InsertArgs &)
{
    const QString path = componentListPath() ? componentListPath()() : QString();
    TForm27 dialog(path, w.dialogParent());
    if (ui().exec(dialog) != QDialog::Accepted)
        return std::nullopt;
    return Markup{dialog.OpeningMarkup, dialog.ClosingMarkup};
}

// The attributes EMBED does not know go into its parameters, not after the new tag.
void embedLeftoversAsParameters(TagRead<EmbedFields> &read)
{
    read.fields.parameters = read.leftovers;
    read.leftovers.clear();
}

void appendMediaRows(std::vector<ElementRow> &rows)
{
    rows.push_back(dialogRow<TWRKForm1, readMarqueeTag>({u"MARQUEE"_s}, 46));
    rows.push_back(dialogRow<TForm14, readHrTag>({u"HR"_s}, 47));
    rows.push_back(dialogRow<TForm15, readSoundTag>({u"BGSOUND"_s}, 48));
    rows.push_back(dialogRow<TForm16, readEmbedTag>({u"EMBED"_s}, 49, &TSettings::TAG,
                                                    {&embedLeftoversAsParameters, {}}));
    rows.push_back(dialogRow<TForm26, readScriptTag>({u"SCRIPT"_s}, 68, &TSettings::SCRIPT));
    rows.push_back({{}, 82, &TSettings::TAG, &insertActiveX, {}, {}});
    rows.push_back(dialogRow<TForm28, readAppletTag>({u"APPLET"_s}, 83));
    rows.push_back(dialogRow<TForm29, readParamTag>({u"PARAM"_s}, 84));
}

// --- end of media and object dialogs ------------------------------------------------

// --- the elements of today's pages ---------------------------------------------------

// A row whose F7 reads the element's children with its start tag (extent says how far)
// and writes them back with it; what the dialog shows only at insertion is switched off.
template<class Dialog, auto Read, class Fields = decltype(Read(QStringView()).fields)>
ElementRow parentRow(const QString &tag, Insertion command,
                     std::function<qsizetype(QStringView)> extent)
{
    ElementRow row = dialogRow<Dialog, Read>({tag}, number(command));
    row.extent = std::move(extent);
    row.edit = [](Workspace &w, const QString &text) -> std::optional<QString> {
        const TagRead<Fields> read = Read(text);
        if (!read.ok()) {
            ui().showError(read.error);
            return std::nullopt;
        }
        const DialogHandle<Dialog> dialog = makeDialog<Dialog>(w);
        if constexpr (requires(Dialog &d) { d.setEditingInPlace(); })
            dialog->setEditingInPlace();
        dialog->setFields(read.fields);
        if (ui().exec(*dialog) != QDialog::Accepted)
            return std::nullopt;
        return withStartTagLeftovers(dialog->OpeningMarkup, read.leftovers);
    };
    return row;
}

qsizetype mediaExtent(QStringView text)
{
    return leadingChildTags(text, {u"SOURCE"_s, u"TRACK"_s});
}

// A label tied to its control edits in its own dialog; the caption inside stays.
std::optional<QString> editLabelFor(Workspace &w, const QString &tag)
{
    const std::function<DialogHandle<LabelForDialog>(Workspace &)> make = [](Workspace &ws) {
        DialogHandle<LabelForDialog> dialog = makeDialog<LabelForDialog>(ws);
        dialog->setEditingInPlace();
        return dialog;
    };
    return editWith<LabelForDialog, LabelForFields>(w, readLabelForTag(tag), {{}, make});
}

void appendHtml5Rows(std::vector<ElementRow> &rows)
{
    rows.push_back(parentRow<VideoDialog, readVideoElement>(u"VIDEO"_s, Insertion::Video,
                                                            &mediaExtent));
    rows.push_back(parentRow<AudioDialog, readAudioElement>(u"AUDIO"_s, Insertion::Audio,
                                                            &mediaExtent));
    rows.push_back(parentRow<DataListDialog, readDataListElement>(u"DATALIST"_s,
                                                                  Insertion::DataList,
                                                                  &dataListExtent));
    rows.push_back(dialogRow<OutputDialog, readOutputTag>({u"OUTPUT"_s}, number(Insertion::Output)));
    rows.push_back(
        dialogRow<ProgressDialog, readProgressTag>({u"PROGRESS"_s}, number(Insertion::Progress)));
    rows.push_back(dialogRow<MeterDialog, readMeterTag>({u"METER"_s}, number(Insertion::Meter)));
    // F7 on a LABEL with FOR comes here through the LABEL row.
    rows.push_back(dialogRow<LabelForDialog, readLabelForTag>({}, number(Insertion::LabelFor)));
    rows.push_back(parentRow<PictureDialog, readPictureElement>(u"PICTURE"_s, Insertion::Picture,
                                                                &pictureExtent));
}

// --- end of the elements of today's pages ---------------------------------------------
// The frame dialog in its inline-frame role: titled "Vložený rámec", composing an IFRAME.
class InlineFrameDialog : public TForm18
{
public:
    InlineFrameDialog(DocumentContext context, QWidget *parent) : TForm18(std::move(context), parent)
    {
        setInlineFrameRole();
    }
};

std::vector<ElementRow> makeTable()
{
    std::vector<ElementRow> rows;
    rows.push_back(dialogRow<TMyFontDialog, readFontTag>({u"FONT"_s}, 8));
    // An anchor is not a link: F7 leaves '<A NAME=...>' alone.
    ElementRow link = dialogRow<TLinkForm, readLinkTag>({u"A"_s}, 20, &TSettings::LINK);
    link.edit = [edit = link.edit](Workspace &w, const QString &tag) -> std::optional<QString> {
        if (isAnchorTag(tag))
            return std::nullopt;
        return edit(w, tag);
    };
    rows.push_back(std::move(link));
    ElementRow meta = dialogRow<TWRKForm2, readMetaTag>({u"META"_s}, 45);
    meta.insert = [](Workspace &w, const InsertArgs &) { return runMetaInsert(w); };
    rows.push_back(std::move(meta));
    rows.push_back({{}, 25, &TSettings::TAG,
                    [](Workspace &w, const InsertArgs &) { return runCommentCommand(w); }, {}, {}});
    rows.push_back(promptRow(u"OPTION"_s, u"Option"_s, u"Hodnota"_s, u"VALUE"_s, 66,
                             askedValue(u"OPTION"_s, u"Hodnota"_s, u"VALUE"_s)));
    rows.push_back(labelRow());
    rows.push_back(promptRow(u"P"_s, u"Odstavec"_s, u"zarovnání"_s, u"ALIGN"_s, 19,
                             pickedAttributes(u"P"_s, u"</P>"_s)));
    rows.push_back(promptRow(u"BR"_s, u"Nový řádek"_s, u"Mazání"_s, u"CLEAR"_s, 18,
                             pickedAttributes(u"BR"_s, QString())));
    appendMediaRows(rows);

    // --- form controls and frames ---
    rows.push_back(dialogRow<TForm22, readInputTag>({u"INPUT"_s}, 61));
    rows.push_back(dialogRow<TForm23, readFormTag>({u"FORM"_s}, 62));
    rows.push_back(dialogRow<TForm24, readSelectTag>({u"SELECT"_s}, 65));
    rows.push_back(dialogRow<TForm25, readTextAreaTag>({u"TEXTAREA"_s}, 67));
    rows.push_back(dialogRow<TForm17, readFrameSetTag>({u"FRAMESET"_s}, 52));
    rows.push_back(dialogRow<TForm18, readFrameTag>({u"FRAME"_s}, 53));
    rows.push_back(dialogRow<InlineFrameDialog, readFrameTag>({u"IFRAME"_s}, 100));
    rows.push_back(insertionRow<TForm41>(95));
    // --- end of form controls and frames ---
    appendHtml5Rows(rows);

    // --- Image dialog, new page wizard and the table window --------------------------
    ElementRow image = dialogRow<TImageForm, readImageTag>({u"IMG"_s}, 40, &TSettings::TAG,
                                                           {{}, &makeImageForm});
    image.edit = [](Workspace &w, const QString &tag) {
        const std::function<DialogHandle<TImageForm>(Workspace &)> make = [](Workspace &ws) {
            DialogHandle<TImageForm> dialog = makeImageForm(ws);
            dialog->setEditingInPlace();
            return dialog;
        };
        return editWith<TImageForm, ImageFields>(w, readImageTag(tag), {{}, make});
    };
    rows.push_back(std::move(image));
    // The wizard writes a whole page for command 86 and edits the BODY tag for F7.
    ElementRow body = dialogRow<TForm33, readBodyTag>({u"BODY"_s}, 86, &TSettings::TAG,
                                                      {{}, &makeBodyWizard});
    body.insert = [](Workspace &w, const InsertArgs &) { return runNewPageWizard(w); };
    body.dialog = [](Workspace &w) -> std::unique_ptr<QDialog> {
        return std::unique_ptr<QDialog>(makeDialog<TForm33>(w).release());
    };
    rows.push_back(std::move(body));
    // Commands 41 to 44 take their markup from the open table window (InsertArgs::markup);
    // F7 edits their tags in that window, and command 60 runs the table grid.
    rows.push_back({{u"TABLE"_s, u"TR"_s, u"TD"_s, u"TH"_s}, 0, &TSettings::TAG, {}, &runTableEdit,
                    [](Workspace &w) -> std::unique_ptr<QDialog> {
                        return std::unique_ptr<QDialog>(createTableWindow(w, w.dialogParent()));
                    }});
    rows.push_back({{}, 60, &TSettings::TAG,
                    [](Workspace &w, const InsertArgs &) { return runTableGrid(w); }, {}, {}});
    // --- end of image, page and table rows --------------------------------------------
    return rows;
}

} // namespace

std::span<const ElementRow> elementTable()
{
    static const std::vector<ElementRow> rows = makeTable();
    return rows;
}

const ElementRow *elementForCommand(int command)
{
    for (const ElementRow &row : elementTable()) {
        if (row.command == command)
            return &row;
    }
    return nullptr;
}

const ElementRow *elementForTag(const QString &upperName)
{
    for (const ElementRow &row : elementTable()) {
        if (row.tags.contains(upperName))
            return &row;
    }
    return nullptr;
}

void setComponentListPath(std::function<QString()> path)
{
    componentListPath() = std::move(path);
}
