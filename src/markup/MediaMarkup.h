#pragma once

#include "markup/ColorValue.h"
#include "markup/ElementContract.h"
#include "markup/Markup.h"

#include <QString>
#include <QStringList>

#include <optional>

// The rule, sound, embedded file, scrolling text, script, program object, applet and
// parameter dialogs as plain fields: member initialisers are the dialogs' defaults.

// The lines of a memo as the user sees them: a final line break opens no further line,
// so "a\nb\n" is two lines. CR LF, LF and CR all break lines.
QStringList memoLines(QStringView text);

// Horizontal line ("Horizontální linka..").
struct HrFields
{
    QString width;
    QString size;
    Toggled<ColorValue> color{false, 0xFFFFFF};
    bool shade = true;
    bool operator==(const HrFields &) const = default;
};

// COLOR, SIZE, WIDTH and NOSHADE when the line is not shaded.
Markup composeHr(const HrFields &fields);
TagRead<HrFields> readHrTag(QStringView tag);

// Background sound ("Hudba a zvuk..").
struct SoundFields
{
    QString src;
    QString loop;
    bool operator==(const SoundFields &) const = default;
};

Markup composeSound(const SoundFields &fields);
TagRead<SoundFields> readSoundTag(QStringView tag);

// Embedded file ("Vložený objekt"); parameters is the memo text, one attribute or more a
// line, written after the other attributes as it stands.
struct EmbedFields
{
    QString src;
    QString palette;
    Toggled<int> height;
    Toggled<int> width;
    QString parameters;
    bool operator==(const EmbedFields &) const = default;
};

Markup composeEmbed(const EmbedFields &fields);
// SRC, PALETTE, HEIGHT and WIDTH. The caller puts the leftovers into the parameters.
TagRead<EmbedFields> readEmbedTag(QStringView tag);

// Scrolling text ("MARQUEE...").
struct MarqueeFields
{
    QString behavior;
    QString direction;
    QString loop;
    Toggled<ColorValue> bgColor{false, 0xFFFFFF};
    Toggled<int> scrollDelay;
    Toggled<int> scrollAmount;
    bool operator==(const MarqueeFields &) const = default;
};

Markup composeMarquee(const MarqueeFields &fields);
TagRead<MarqueeFields> readMarqueeTag(QStringView tag);

// Script ("SCRIPT").
struct ScriptFields
{
    QString language;
    QString title;
    QString event;
    QString forObject;
    bool operator==(const ScriptFields &) const = default;
};

Markup composeScript(const ScriptFields &fields);
// TITLE, LANGUAGE, FOR and EVENT.
TagRead<ScriptFields> readScriptTag(QStringView tag);

// Registered component ("Active-X"). A line of the component list is its name, a comma
// and its class identifier; component is the chosen line, nothing when none is chosen.
struct ActiveXFields
{
    std::optional<QString> component;
    int height = 50;
    int width = 50;
    bool operator==(const ActiveXFields &) const = default;
};

// The text before the first comma; empty for a line without a comma.
QString componentName(QStringView line);
// The text after the first comma; the whole line when it has none.
QString componentClassId(QStringView line);
// The lines of the component list file; nothing when the file cannot be read.
std::optional<QStringList> readComponentList(const QString &path);

// Nothing at all without a chosen component.
Markup composeActiveX(const ActiveXFields &fields);

// Java applet ("Java Applet").
struct AppletFields
{
    QString codebase;
    QString code;
    QString align;
    Toggled<int> tabIndex;
    Toggled<int> maxLength;
    bool operator==(const AppletFields &) const = default;
};

// CODE, CODEBASE, ALIGN, TABINDEX and MAXLENGTH.
Markup composeApplet(const AppletFields &fields);
// TABINDEX, MAXLENGTH, CODE, CODEBASE and ALIGN.
TagRead<AppletFields> readAppletTag(QStringView tag);

// Object parameter ("Parametr").
struct ParamFields
{
    QString name;
    QString value;
    bool operator==(const ParamFields &) const = default;
};

Markup composeParam(const ParamFields &fields);
TagRead<ParamFields> readParamTag(QStringView tag);
