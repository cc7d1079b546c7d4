#pragma once

#include "markup/ColorValue.h"
#include "markup/ElementContract.h"

#include <QList>
#include <QString>

#include <functional>
#include <initializer_list>
#include <optional>
#include <type_traits>

class QWidget;

// What a control holds, by the kind of control: the text of a line edit, editable combo
// box or memo; the tick of a check box or the choice "Ano" (the first item) of a radio
// group; the number of a spin box, the item index of a radio group, or the colour value
// of a colour picker (a colour value is a number). A missing or unsuitable control stops the program at once: the
// declaration names a control the dialog does not have.
QString controlText(const QWidget *control);
void setControlText(QWidget *control, const QString &text);
bool controlFlag(const QWidget *control);
void setControlFlag(QWidget *control, bool on);
int controlNumber(const QWidget *control);
void setControlNumber(QWidget *control, int number);
// The whole line behind the chosen item of a list (its user data); nothing when none is.
std::optional<QString> controlChoice(const QWidget *control);
void setControlChoice(QWidget *control, const std::optional<QString> &line);

// The child control of that object name.
QWidget *namedControl(const QWidget &root, const QString &name);

// How a field of one type travels between its control (and its box) and the struct.
template<class T>
struct FieldValue;

template<>
struct FieldValue<QString>
{
    static QString get(const QWidget *c) { return controlText(c); }
    static void set(QWidget *c, const QString &v) { setControlText(c, v); }
};

template<>
struct FieldValue<bool>
{
    static bool get(const QWidget *c) { return controlFlag(c); }
    static void set(QWidget *c, bool v) { setControlFlag(c, v); }
};

template<>
struct FieldValue<int>
{
    static int get(const QWidget *c) { return controlNumber(c); }
    static void set(QWidget *c, int v) { setControlNumber(c, v); }
};

template<class E>
    requires std::is_enum_v<E>
struct FieldValue<E>
{
    static E get(const QWidget *c) { return E(controlNumber(c)); }
    static void set(QWidget *c, E v) { setControlNumber(c, int(v)); }
};

template<>
struct FieldValue<std::optional<QString>>
{
    static std::optional<QString> get(const QWidget *c) { return controlChoice(c); }
    static void set(QWidget *c, const std::optional<QString> &v) { setControlChoice(c, v); }
};

// One field bound to its control by the control's name, and a toggled field to its
// check box too: {&ImageFields::alt, "Edit2"}, {&ImageFields::width, "SpinEdit3",
// "CheckBox5"}. Both directions follow from the member's type and the control's kind.
template<class F>
struct Binding
{
    template<class T>
    Binding(T F::*member, const char *control)
        : control(QString::fromLatin1(control))
        , read([member](const QWidget *c, const QWidget *, F &f) {
            f.*member = FieldValue<T>::get(c);
        })
        , write([member](QWidget *c, QWidget *, const F &f) { FieldValue<T>::set(c, f.*member); })
    {
    }

    // The value first, then the box, so a value equal to the old one still ticks as told.
    template<class T>
    Binding(Toggled<T> F::*member, const char *control, const char *toggle)
        : control(QString::fromLatin1(control))
        , toggle(QString::fromLatin1(toggle))
        , read([member](const QWidget *c, const QWidget *box, F &f) {
            f.*member = {controlFlag(box), FieldValue<T>::get(c)};
        })
        , write([member](QWidget *c, QWidget *box, const F &f) {
            FieldValue<T>::set(c, (f.*member).value);
            setControlFlag(box, (f.*member).on);
        })
    {
    }

    QString control;
    QString toggle;
    std::function<void(const QWidget *, const QWidget *, F &)> read;
    std::function<void(QWidget *, QWidget *, const F &)> write;
};

// A dialog's (or a page's) declaration: which control holds which field. Controls are
// looked up below the root each time, in the order declared.
template<class F>
class FieldBindings
{
public:
    FieldBindings() = default;
    FieldBindings(std::initializer_list<Binding<F>> bindings) : m_bindings(bindings) {}

    F read(const QWidget &root) const
    {
        F fields;
        for (const Binding<F> &b : m_bindings)
            b.read(namedControl(root, b.control), toggleOf(root, b), fields);
        return fields;
    }

    void write(QWidget &root, const F &fields) const
    {
        for (const Binding<F> &b : m_bindings)
            b.write(namedControl(root, b.control), toggleOf(root, b), fields);
    }

private:
    static QWidget *toggleOf(const QWidget &root, const Binding<F> &b)
    {
        return b.toggle.isEmpty() ? nullptr : namedControl(root, b.toggle);
    }

    QList<Binding<F>> m_bindings;
};
