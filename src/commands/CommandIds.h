#pragma once

#include <QString>

#include <cstring>

// The identifier of a menu command: the name its menu item's action carries as objectName
// and the key its command is registered under. Every identifier is one of the constants
// below, so a mistyped one does not compile.
struct CommandId
{
    const char *name;

    QString toString() const { return QString::fromLatin1(name); }
    friend bool operator==(CommandId a, CommandId b) { return std::strcmp(a.name, b.name) == 0; }
};

// The menu's commands, in menu order.
namespace Cmd {
inline constexpr CommandId FileNew{"FileNew"};
inline constexpr CommandId FileNewFromTemplate{"FileNewFromTemplate"};
inline constexpr CommandId FileOpen{"FileOpen"};
inline constexpr CommandId FileSave{"FileSave"};
inline constexpr CommandId FileSaveAs{"FileSaveAs"};
inline constexpr CommandId FilePrint{"FilePrint"};
inline constexpr CommandId FilePrintSetup{"FilePrintSetup"};
inline constexpr CommandId FileClose{"FileClose"};
inline constexpr CommandId FileCloseAll{"FileCloseAll"};
inline constexpr CommandId FileExit{"FileExit"};
inline constexpr CommandId EditUndo{"EditUndo"};
inline constexpr CommandId EditCurrentTag{"EditCurrentTag"};
inline constexpr CommandId EditCut{"EditCut"};
inline constexpr CommandId EditCopy{"EditCopy"};
inline constexpr CommandId EditPaste{"EditPaste"};
inline constexpr CommandId EditInsertFile{"EditInsertFile"};
inline constexpr CommandId EditDelete{"EditDelete"};
inline constexpr CommandId EditSelectAll{"EditSelectAll"};
inline constexpr CommandId EditDeleteTag{"EditDeleteTag"};
inline constexpr CommandId EditSelectTag{"EditSelectTag"};
inline constexpr CommandId EditGoToPairTag{"EditGoToPairTag"};
inline constexpr CommandId EditUpper{"EditUpper"};
inline constexpr CommandId EditLower{"EditLower"};
inline constexpr CommandId EditStripTags{"EditStripTags"};
inline constexpr CommandId EditRemoveSpaces{"EditRemoveSpaces"};
inline constexpr CommandId SearchFind{"SearchFind"};
inline constexpr CommandId SearchFindNext{"SearchFindNext"};
inline constexpr CommandId SearchReplace{"SearchReplace"};
inline constexpr CommandId SearchSlashes{"SearchSlashes"};
inline constexpr CommandId SearchInFiles{"SearchInFiles"};
inline constexpr CommandId InsNbsp{"InsNbsp"};
inline constexpr CommandId InsCopyright{"InsCopyright"};
inline constexpr CommandId InsRegistered{"InsRegistered"};
inline constexpr CommandId InsTrademark{"InsTrademark"};
inline constexpr CommandId InsH1{"InsH1"};
inline constexpr CommandId InsH2{"InsH2"};
inline constexpr CommandId InsH3{"InsH3"};
inline constexpr CommandId InsH4{"InsH4"};
inline constexpr CommandId InsH5{"InsH5"};
inline constexpr CommandId InsH6{"InsH6"};
inline constexpr CommandId InsTagA{"InsTagA"};
inline constexpr CommandId InsTagBlockquote{"InsTagBlockquote"};
inline constexpr CommandId InsTagCenter{"InsTagCenter"};
inline constexpr CommandId InsTagTd{"InsTagTd"};
inline constexpr CommandId InsTagFont{"InsTagFont"};
inline constexpr CommandId InsTagHr{"InsTagHr"};
inline constexpr CommandId InsTagImg{"InsTagImg"};
inline constexpr CommandId InsTagTr{"InsTagTr"};
inline constexpr CommandId InsTagTable{"InsTagTable"};
inline constexpr CommandId InsColor{"InsColor"};
inline constexpr CommandId InsQvtLink{"InsQvtLink"};
inline constexpr CommandId InsCounter{"InsCounter"};
inline constexpr CommandId InsDate{"InsDate"};
inline constexpr CommandId InsTime{"InsTime"};
inline constexpr CommandId InsLastEdit{"InsLastEdit"};
inline constexpr CommandId ToolScripter{"ToolScripter"};
inline constexpr CommandId ToolStyleBuilder{"ToolStyleBuilder"};
inline constexpr CommandId ToolFrames{"ToolFrames"};
inline constexpr CommandId ToolChannels{"ToolChannels"};
inline constexpr CommandId ToolLinkAnalyzer{"ToolLinkAnalyzer"};
inline constexpr CommandId ToolGradient{"ToolGradient"};
inline constexpr CommandId UserCmdEdit{"UserCmdEdit"};
inline constexpr CommandId ToolPreview{"ToolPreview"};
inline constexpr CommandId ToolLivePreview{"ToolLivePreview"};
inline constexpr CommandId ToolUserTags{"ToolUserTags"};
inline constexpr CommandId ToolSpecialChars{"ToolSpecialChars"};
inline constexpr CommandId ToolDocCheck{"ToolDocCheck"};
inline constexpr CommandId ToolColorize{"ToolColorize"};
inline constexpr CommandId ToolHtmlCheck{"ToolHtmlCheck"};
inline constexpr CommandId ToolUpload{"ToolUpload"};
inline constexpr CommandId ToolSiteCheck{"ToolSiteCheck"};
inline constexpr CommandId ToolClipboard{"ToolClipboard"};
inline constexpr CommandId ToolDownloadTimes{"ToolDownloadTimes"};
inline constexpr CommandId OptWordWrap{"OptWordWrap"};
inline constexpr CommandId OptTableWindow{"OptTableWindow"};
inline constexpr CommandId OptCommandPanel{"OptCommandPanel"};
inline constexpr CommandId OptTagPanel{"OptTagPanel"};
inline constexpr CommandId OptSourcePanel{"OptSourcePanel"};
inline constexpr CommandId OptSpelling{"OptSpelling"};
inline constexpr CommandId OptSettings{"OptSettings"};
inline constexpr CommandId WinTileH{"WinTileH"};
inline constexpr CommandId WinTileV{"WinTileV"};
inline constexpr CommandId WinCascade{"WinCascade"};
inline constexpr CommandId WinArrange{"WinArrange"};
inline constexpr CommandId WinPreview{"WinPreview"};
inline constexpr CommandId HelpUsage{"HelpUsage"};
inline constexpr CommandId HelpSyntax{"HelpSyntax"};
inline constexpr CommandId HelpTips{"HelpTips"};
inline constexpr CommandId HelpAbout{"HelpAbout"};
inline constexpr CommandId HidBold{"HidBold"};
inline constexpr CommandId HidImage{"HidImage"};
inline constexpr CommandId HidSound{"HidSound"};
inline constexpr CommandId HidInternalPreview{"HidInternalPreview"};
inline constexpr CommandId HidItalic{"HidItalic"};
inline constexpr CommandId HidLink{"HidLink"};
inline constexpr CommandId HidListItem{"HidListItem"};
inline constexpr CommandId HidFont{"HidFont"};
inline constexpr CommandId HidForm{"HidForm"};
inline constexpr CommandId HidTT{"HidTT"};
inline constexpr CommandId HidUnderline{"HidUnderline"};
inline constexpr CommandId HidUL{"HidUL"};
inline constexpr CommandId HidTagWindow{"HidTagWindow"};
inline constexpr CommandId HidFileWindow{"HidFileWindow"};
inline constexpr CommandId HidPaste{"HidPaste"};
inline constexpr CommandId HidCopy{"HidCopy"};
inline constexpr CommandId HidTrimLeft{"HidTrimLeft"};
inline constexpr CommandId HidAutoIndent{"HidAutoIndent"};
// The recent files, 1 to 10 in menu order.
inline constexpr CommandId Recent[] = {{"Recent1"}, {"Recent2"}, {"Recent3"}, {"Recent4"}, {"Recent5"}, {"Recent6"}, {"Recent7"}, {"Recent8"}, {"Recent9"}, {"Recent10"}};
// The user commands, 1 to 15.
inline constexpr CommandId UserCmd[] = {{"UserCmd1"}, {"UserCmd2"}, {"UserCmd3"}, {"UserCmd4"}, {"UserCmd5"}, {"UserCmd6"}, {"UserCmd7"}, {"UserCmd8"}, {"UserCmd9"}, {"UserCmd10"}, {"UserCmd11"}, {"UserCmd12"}, {"UserCmd13"}, {"UserCmd14"}, {"UserCmd15"}};
} // namespace Cmd

// The menus and submenus, found by these names as their objectName.
namespace MenuId {
inline constexpr CommandId MenuFile{"MenuFile"};
inline constexpr CommandId MenuEdit{"MenuEdit"};
inline constexpr CommandId MenuSearch{"MenuSearch"};
inline constexpr CommandId MenuInsert{"MenuInsert"};
inline constexpr CommandId MenuTools{"MenuTools"};
inline constexpr CommandId MenuOptions{"MenuOptions"};
inline constexpr CommandId MenuWindow{"MenuWindow"};
inline constexpr CommandId MenuHelp{"MenuHelp"};
inline constexpr CommandId FileRecent{"FileRecent"};
inline constexpr CommandId InsHeadings{"InsHeadings"};
inline constexpr CommandId InsSpecialChars{"InsSpecialChars"};
inline constexpr CommandId InsTags{"InsTags"};
inline constexpr CommandId ToolSpecial{"ToolSpecial"};
inline constexpr CommandId UserCommands{"UserCommands"};
inline constexpr CommandId Hiden{"Hiden"};
} // namespace MenuId

// The insertion commands, by the number the insertion step knows them by.
enum class Insertion : int {
    Bold = 1, Italic, Strike, Underline, Teletype, Quote, Blink, Font, Subscript, Superscript,
    Paragraph, LineBreak, Center, Blockquote, Preformatted, NoBreak, WordBreak,
    LineBreakFromList, ParagraphFromList, Link, HomePageLink, Counter, Anchor, AnchorLink,
    Comment, Color, DivLeft, DivCenter, DivRight, DivJustify,
    UnorderedList, UnorderedListFromList, DefinitionList, OrderedList, DefinitionTerm,
    DefinitionDescription, ListItem, DirList, MenuList,
    Image, Table, TableRow, TableCell, TableHeaderCell, Meta, Marquee, HorizontalLine, Sound,
    Embed, CommentTag, NoFrames, FrameSet, Frame, Span, Style, StyleLink, Plain,
    SpecialCharacter, UserTag, SmallTable, FormInput, Form, Button, Label, Select, Option,
    TextArea, Script, NoScript, TableHead, TableBody, TableFoot, Date, Time, LastEdit,
    Heading1, Heading2, Heading3, Heading4, Heading5, Heading6,
    ActiveX, Applet, Param, PageSkeleton, NewPageWizard, Inserted, Deleted, Acronym, Citation,
    Legend, TagTreeNode, InsertFile, Caption, FrameGenerator, Nbsp, Copyright, Registered,
    Trademark, InlineFrame,
    // The elements of today's pages: the sections of a page and the phrases of its text,
    // then the dialogs of media and form controls.
    Header, Nav, Main, Section, Article, Aside, Footer, Figure, Details, Mark, TimeTag, Abbr, Code,
    Video, Audio, DataList, Output, Progress, Meter, LabelFor, Picture,
};

// The last insertion command: the insertion step takes 1 to this.
constexpr Insertion LastInsertion = Insertion::Picture;

constexpr int number(Insertion command)
{
    return static_cast<int>(command);
}

// The heading of a level, 1 to 6.
constexpr Insertion heading(int level)
{
    return static_cast<Insertion>(number(Insertion::Heading1) + level - 1);
}
