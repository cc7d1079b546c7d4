#pragma once

#include "markup/ElementContract.h"
#include "markup/Markup.h"

#include <QString>

// The form controls: the FORM element and its INPUT, SELECT and TEXTAREA controls. Every
// composed head ends in a blank and every attribute piece begins with one, so a filled
// tag has two blanks after its name and an empty one reads '<INPUT >'.

// INPUT control ("Element formuláře"). The address of "Zdroj" is written as URL.
struct InputFields
{
    QString type;
    QString url;
    QString alt;
    QString value;
    QString title;
    QString name;
    QString align;
    Toggled<int> tabIndex;
    Toggled<int> maxLength;
    Toggled<int> size;
    bool enabled = true;
    bool readOnly = false;
    // What a page of today adds: the ID a label ties to, the hint shown in an empty
    // field, the list of suggestions (a DATALIST's ID), what the browser may fill in,
    // the pattern and bounds the value must keep, and whether it must be filled.
    QString id{};
    QString placeholder{};
    QString list{};
    QString autocomplete{};
    QString pattern{};
    QString min{};
    QString max{};
    QString step{};
    bool required = false;
    bool operator==(const InputFields &) const = default;
};

// TYPE, URL, ALT, VALUE, TITLE, NAME, ALIGN, TABINDEX, MAXLENGTH, SIZE, ID, PLACEHOLDER,
// LIST, AUTOCOMPLETE, PATTERN, MIN, MAX, STEP, then the flags DISABLED, READONLY and
// REQUIRED.
Markup composeInput(const InputFields &fields);
// The flags DISABLED, READONLY and REQUIRED first, then TYPE, URL, ALT, VALUE, TITLE, NAME,
// ALIGN, TABINDEX, MAXLENGTH, SIZE and the attributes in the order they are written.
TagRead<InputFields> readInputTag(QStringView tag);

// FORM element ("Formulář"); the selection stands on a line of its own inside it.
struct FormFields
{
    QString name;
    QString method;
    QString action;
    QString title;
    QString target;
    bool operator==(const FormFields &) const = default;
};

Markup composeForm(const FormFields &fields);
// NAME, METHOD, ACTION, TITLE and TARGET.
TagRead<FormFields> readFormTag(QStringView tag);

// SELECT list ("Select"): ALIGN is written before NAME.
struct SelectFields
{
    QString name;
    QString align;
    Toggled<int> tabIndex;
    Toggled<int> size;
    bool enabled = true;
    bool multiple = false;
    bool operator==(const SelectFields &) const = default;
};

Markup composeSelect(const SelectFields &fields);
// The flags DISABLED and MULTIPLE, then TABINDEX, SIZE, NAME and ALIGN.
TagRead<SelectFields> readSelectTag(QStringView tag);

// TEXTAREA ("TEXTAREA"): ROWS is written before COLS.
struct TextAreaFields
{
    QString name;
    QString align;
    Toggled<int> cols;
    Toggled<int> rows;
    Toggled<int> tabIndex;
    bool readOnly = false;
    bool operator==(const TextAreaFields &) const = default;
};

Markup composeTextArea(const TextAreaFields &fields);
// The flag READONLY, then TABINDEX, ROWS, COLS, NAME and ALIGN.
TagRead<TextAreaFields> readTextAreaTag(QStringView tag);
