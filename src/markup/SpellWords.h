#pragma once

#include <QStringView>

#include <vector>

// A word of the text a reader sees, in offsets of the scanned text.
struct SpellWord
{
    int start = 0;
    int length = 0;
    bool operator==(const SpellWord &) const = default;
};

// Where the scan of a page stands between two pieces of it: in plain text, inside a tag
// (and which part of it), in a comment, or in a script or style block. It packs into an
// int, so an editor can keep it with each line and rescan a line on its own.
struct SpellScanState
{
    enum Mode : int {
        Text,
        InTag,          // between attributes
        AfterAttrName,  // an "=" may follow
        BeforeValue,    // after the "="
        DoubleQuoted,
        SingleQuoted,
        Comment,
        Script,
        Style,
        Declaration,    // <!DOCTYPE ...>, <?...?>
    };
    Mode mode = Text;
    bool readableValue = false; // the attribute being read is ALT or TITLE
    // A SCRIPT or STYLE start tag is being read: its content follows the ">".
    Mode afterTag = Text;

    int pack() const;
    static SpellScanState unpack(int packed);
    bool operator==(const SpellScanState &) const = default;
};

// The words to check in a piece of a page, from the state the previous piece left; the state
// is updated to where this piece ends. Pieces must be cut at line breaks (or at any white
// space outside a quoted value), as an editor's lines are.
//
// Only what a reader sees counts: text between tags, the values of ALT and TITLE (the title
// itself is text between tags). Never tag or attribute names, other values, comments,
// script or style blocks, declarations. A word is a run of letters (Czech ones as any other)
// that may hold hyphens and apostrophes between letters. Left out: words with digits, words
// glued to a character reference (a letter written as "&aacute;" cannot be checked), words
// in capitals only (abbreviations), and parts of addresses ("www.seznam.cz", "a@b.cz",
// "http://...").
std::vector<SpellWord> findSpellWords(QStringView piece, SpellScanState &state);

// The words of a whole page.
std::vector<SpellWord> findSpellWords(QStringView page);
