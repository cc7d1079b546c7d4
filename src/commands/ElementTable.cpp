#include "commands/ElementTable.h"

#include "commands/ElementCommands.h"
#include "commands/LinkAndTextCommands.h"
#include "commands/TableCommands.h"
#include "commands/Workspace.h"
#include "dialogs/FormDialogs.h"
#include "dialogs/FrameDialogs.h"
#include "dialogs/LinkDialogs.h"
#include "dialogs/MediaDialogs.h"
#include "dialogs/TextDialogs.h"
#include "editor/TForm2.h"
#include "interaction/Interaction.h"
#include "markup/ElementContract.h"
#include "markup/FormMarkup.h"
#include "markup/FrameMarkup.h"
#include "markup/LinkMarkup.h"
#include "markup/MediaMarkup.h"
#include "markup/TextMarkup.h"
#include "settings/TSettings.h"

#include <memory>
#include <type_traits>

using namespace Qt::StringLiterals;

namespace {

template<class Dialog>
std::unique_ptr<Dialog> makeDialog(Workspace &w)
{
    if constexpr (std::is_constructible_v<Dialog, DocumentContext, QWidget *>)
        return std::make_unique<Dialog>(documentContext(w), w.dialogParent());
    else
        return std::make_unique<Dialog>(w.dialogParent());
}

// Shows the dialog for an insertion command.
template<class Dialog>
std::optional<Markup> insertWith(Workspace &w)
{
    const std::unique_ptr<Dialog> dialog = makeDialog<Dialog>(w);
    if (ui().exec(*dialog) != QDialog::Accepted)
        return std::nullopt;
    return Markup{dialog->OpeningMarkup, dialog->ClosingMarkup};
}

// Reads the tag into the dialog, shows it, and composes the new start tag with the
// attributes the dialog does not know put back.
template<class Dialog, auto Read>
std::optional<QString> editWith(Workspace &w, const QString &tag)
{
    const auto read = Read(tag);
    if (!read.ok()) {
        ui().showError(read.error);
        return std::nullopt;
    }
    const std::unique_ptr<Dialog> dialog = makeDialog<Dialog>(w);
    dialog->setFields(read.fields);
    if (ui().exec(*dialog) != QDialog::Accepted)
        return std::nullopt;
    return withLeftovers(dialog->OpeningMarkup, read.leftovers);
}

// The one-line prompts of OPTION, LABEL, P and BR: one attribute, always written.
ElementRow promptRow(const QString &tag, const QString &title, const QString &label,
                     const QString &attribute)
{
    ElementRow row{{tag}, 0, &TSettings::TAG, {}, {}};
    row.edit = [tag, title, label, attribute](Workspace &, const QString &text)
        -> std::optional<QString> {
        AttributeReader reader(text);
        const QString initial = reader.text(attribute).value_or(QString());
        const std::optional<QString> input = ui().text(title, label, initial);
        if (!input)
            return std::nullopt;
        return withLeftovers(u'<' + tag + u' ' + attribute + u"=\""_s + *input + u"\">"_s,
                             reader.leftovers());
    };
    return row;
}

// --- media and object dialogs -------------------------------------------------------

std::function<QString()> &componentListPath()
{
    static std::function<QString()> path;
    return path;
}

std::optional<Markup> insertActiveX(Workspace &w)
{
    const QString path = componentListPath() ? componentListPath()() : QString();
    TForm27 dialog(path, w.dialogParent());
    if (ui().exec(dialog) != QDialog::Accepted)
        return std::nullopt;
    return Markup{dialog.OpeningMarkup, dialog.ClosingMarkup};
}

// The attributes EMBED does not know go into its parameters, not after the new tag.
std::optional<QString> editEmbed(Workspace &w, const QString &tag)
{
    TagRead<EmbedFields> read = readEmbedTag(tag);
    if (!read.ok()) {
        ui().showError(read.error);
        return std::nullopt;
    }
    read.fields.parameters = read.leftovers;
    const std::unique_ptr<TForm16> dialog = makeDialog<TForm16>(w);
    dialog->setFields(read.fields);
    if (ui().exec(*dialog) != QDialog::Accepted)
        return std::nullopt;
    return withLeftovers(dialog->OpeningMarkup, QString());
}

void appendMediaRows(std::vector<ElementRow> &rows)
{
    rows.push_back({{u"MARQUEE"_s}, 46, &TSettings::TAG, &insertWith<TWRKForm1>,
                    &editWith<TWRKForm1, readMarqueeTag>});
    rows.push_back({{u"HR"_s}, 47, &TSettings::TAG, &insertWith<TForm14>,
                    &editWith<TForm14, readHrTag>});
    rows.push_back({{u"BGSOUND"_s}, 48, &TSettings::TAG, &insertWith<TForm15>,
                    &editWith<TForm15, readSoundTag>});
    rows.push_back({{u"EMBED"_s}, 49, &TSettings::TAG, &insertWith<TForm16>, &editEmbed});
    rows.push_back({{u"SCRIPT"_s}, 68, &TSettings::SCRIPT, &insertWith<TForm26>,
                    &editWith<TForm26, readScriptTag>});
    rows.push_back({{}, 82, &TSettings::TAG, &insertActiveX, {}});
    rows.push_back({{u"APPLET"_s}, 83, &TSettings::TAG, &insertWith<TForm28>,
                    &editWith<TForm28, readAppletTag>});
    rows.push_back({{u"PARAM"_s}, 84, &TSettings::TAG, &insertWith<TForm29>,
                    &editWith<TForm29, readParamTag>});
}

// --- end of media and object dialogs ------------------------------------------------
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
    rows.push_back({{u"FONT"_s}, 8, &TSettings::TAG, &insertWith<TMyFontDialog>,
                    &editWith<TMyFontDialog, readFontTag>});
    // An anchor is not a link: F7 leaves '<A NAME=...>' alone.
    rows.push_back({{u"A"_s}, 20, &TSettings::LINK, &insertWith<TLinkForm>,
                    [](Workspace &w, const QString &tag) -> std::optional<QString> {
                        if (isAnchorTag(tag))
                            return std::nullopt;
                        return editWith<TLinkForm, readLinkTag>(w, tag);
                    }});
    rows.push_back({{u"META"_s}, 45, &TSettings::TAG, &runMetaInsert,
                    &editWith<TWRKForm2, readMetaTag>});
    rows.push_back({{}, 25, &TSettings::TAG, &runCommentCommand, {}});
    rows.push_back(promptRow(u"OPTION"_s, u"Option"_s, u"Hodnota"_s, u"VALUE"_s));
    rows.push_back(promptRow(u"LABEL"_s, u"Label"_s, u"Text"_s, u"TEXT"_s));
    rows.push_back(promptRow(u"P"_s, u"Odstavec"_s, u"zarovnání"_s, u"ALIGN"_s));
    rows.push_back(promptRow(u"BR"_s, u"Nový řádek"_s, u"Mazání"_s, u"CLEAR"_s));
    appendMediaRows(rows);

    // --- form controls and frames ---
    rows.push_back({{u"INPUT"_s}, 61, &TSettings::TAG, &insertWith<TForm22>,
                    &editWith<TForm22, readInputTag>});
    rows.push_back({{u"FORM"_s}, 62, &TSettings::TAG, &insertWith<TForm23>,
                    &editWith<TForm23, readFormTag>});
    rows.push_back({{u"SELECT"_s}, 65, &TSettings::TAG, &insertWith<TForm24>,
                    &editWith<TForm24, readSelectTag>});
    rows.push_back({{u"TEXTAREA"_s}, 67, &TSettings::TAG, &insertWith<TForm25>,
                    &editWith<TForm25, readTextAreaTag>});
    rows.push_back({{u"FRAMESET"_s}, 52, &TSettings::TAG, &insertWith<TForm17>,
                    &editWith<TForm17, readFrameSetTag>});
    rows.push_back({{u"FRAME"_s}, 53, &TSettings::TAG, &insertWith<TForm18>,
                    &editWith<TForm18, readFrameTag>});
    rows.push_back({{u"IFRAME"_s}, 100, &TSettings::TAG, &insertWith<InlineFrameDialog>,
                    &editWith<InlineFrameDialog, readFrameTag>});
    rows.push_back({{}, 95, &TSettings::TAG, &insertWith<TForm41>, {}});
    // --- end of form controls and frames ---

    // --- Image dialog, new page wizard and the table window --------------------------
    rows.push_back({{u"IMG"_s}, 40, &TSettings::TAG, &runImageInsert, &runImageEdit});
    // The wizard writes a whole page for command 86 and edits the BODY tag for F7.
    rows.push_back({{u"BODY"_s}, 86, &TSettings::TAG, &runNewPageWizard, &runBodyEdit});
    // Commands 41 to 44 take their markup from the open table window (InsertArgs::markup);
    // F7 edits their tags in that window, and command 60 runs the table grid.
    rows.push_back({{u"TABLE"_s, u"TR"_s, u"TD"_s, u"TH"_s}, 0, &TSettings::TAG, {}, &runTableEdit});
    rows.push_back({{}, 60, &TSettings::TAG, &runTableGrid, {}});
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

DocumentContext documentContext(Workspace &w)
{
    DocumentContext context{w.settings(), std::nullopt, {}};
    if (TForm2 *doc = w.activeDocument()) {
        context.documentFileName = doc->FileName();
        context.documentText = [doc] { return doc->RichEdit1->GetText(); };
    }
    return context;
}

void setComponentListPath(std::function<QString()> path)
{
    componentListPath() = std::move(path);
}
