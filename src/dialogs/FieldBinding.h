#pragma once

#include "markup/ColorValue.h"
#include "markup/ElementContract.h"

#include <QAnyStringView>
#include <QList>
#include <QString>

#include <array>
#include <cstddef>
#include <functional>
#include <initializer_list>
#include <optional>
#include <type_traits>

class QWidget;

// What a control holds, by the kind of control: the text of a line edit, editable combo
// box or memo; the tick of a check box or the choice "Ano" (the first item) of a radio
// group; the number of a spin box, the item index of a radio group, or the colour value
// of a colour picker (a colour value is a number). A radio button bound to "no" ticks
// another button of its group instead. A missing or unsuitable control stops the program
// at once: the declaration names a control the dialog does not have.
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

template<class F>
class FieldBindings;

// How a value travels between a control and a field when the control's kind alone does
// not say: a memo whose text is kept with CR LF line breaks, a control of a dialog's own.
template<class T>
struct ControlAccess
{
    T (*get)(const QWidget *);
    void (*set)(QWidget *, const T &);
};

// The text of a memo with the CR LF line breaks the settings and the documents keep.
extern const ControlAccess<QString> crLfText;

// One field bound to its control by the control's name, and a toggled field to its
// check box too: {&ImageFields::alt, "Edit2"}, {&ImageFields::width, "SpinEdit3",
// "CheckBox5"}; a struct inside the fields to its own declaration; one element of an
// array member by its index: {&StyleFields::text, 0, "ComboBox1"}. Both directions follow
// from the member's type and the control's kind, unless a ControlAccess is given.
// Controls are looked up below the root.
template<class F>
struct Binding
{
    template<class T>
    Binding(T F::*member, QAnyStringView control, ControlAccess<T> access = byKind<T>())
    {
        bindValue([member](auto &f) -> auto & { return f.*member; }, control.toString(), access);
    }

    template<class T, std::size_t N>
    Binding(std::array<T, N> F::*member, std::size_t index, QAnyStringView control)
    {
        bindValue([member, index](auto &f) -> auto & { return (f.*member)[index]; },
                  control.toString(), byKind<T>());
    }

    // The value first, then the box, so a value equal to the old one still ticks as told.
    template<class T>
    Binding(Toggled<T> F::*member, QAnyStringView control, QAnyStringView toggle)
    {
        read = [member, name = control.toString(), box = toggle.toString()](const QWidget &root,
                                                                           F &f) {
            f.*member = {controlFlag(namedControl(root, box)),
                         FieldValue<T>::get(namedControl(root, name))};
        };
        write = [member, name = control.toString(), box = toggle.toString()](QWidget &root,
                                                                            const F &f) {
            FieldValue<T>::set(namedControl(root, name), (f.*member).value);
            setControlFlag(namedControl(root, box), (f.*member).on);
        };
    }

    template<class S>
    Binding(S F::*member, const FieldBindings<S> &nested)
    {
        bindNested([member](auto &f) -> auto & { return f.*member; }, nested);
    }

    template<class S, std::size_t N>
    Binding(std::array<S, N> F::*member, std::size_t index, const FieldBindings<S> &nested)
    {
        bindNested([member, index](auto &f) -> auto & { return (f.*member)[index]; }, nested);
    }

    std::function<void(const QWidget &, F &)> read;
    std::function<void(QWidget &, const F &)> write;

private:
    template<class T>
    static ControlAccess<T> byKind()
    {
        return {[](const QWidget *c) -> T { return FieldValue<T>::get(c); },
                [](QWidget *c, const T &v) { FieldValue<T>::set(c, v); }};
    }

    // place(fields) is where the value lives, in the fields read or written.
    template<class Place, class T>
    void bindValue(Place place, const QString &name, ControlAccess<T> access)
    {
        read = [place, name, access](const QWidget &root, F &f) {
            place(f) = access.get(namedControl(root, name));
        };
        write = [place, name, access](QWidget &root, const F &f) {
            access.set(namedControl(root, name), place(f));
        };
    }

    template<class Place, class S>
    void bindNested(Place place, const FieldBindings<S> &nested)
    {
        read = [place, nested](const QWidget &root, F &f) { place(f) = nested.read(root); };
        write = [place, nested](QWidget &root, const F &f) { nested.write(root, place(f)); };
    }
};

// A dialog's (or a page's) declaration: which control holds which field, in the order
// declared. Rows of like controls may be added one by one.
template<class F>
class FieldBindings
{
public:
    FieldBindings() = default;
    FieldBindings(std::initializer_list<Binding<F>> bindings) : m_bindings(bindings) {}

    void add(Binding<F> binding) { m_bindings.append(std::move(binding)); }

    F read(const QWidget &root) const
    {
        F fields;
        read(root, fields);
        return fields;
    }

    // Into fields that hold more than the controls show: the rest stays as it is.
    void read(const QWidget &root, F &fields) const
    {
        for (const Binding<F> &b : m_bindings)
            b.read(root, fields);
    }

    void write(QWidget &root, const F &fields) const
    {
        for (const Binding<F> &b : m_bindings)
            b.write(root, fields);
    }

private:
    QList<Binding<F>> m_bindings;
};
