#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

#include <functional>

class QApplication;
class QCoreApplication;

// Loads Qt's own Czech translation (qtbase_cs.qm) from the folder given, by default Qt's
// translations folder, so the standard dialogs and buttons read in Czech. A missing file
// leaves them English and is no error. Returns whether the translation was loaded.
bool installQtTranslation(QCoreApplication &app, const QString &directory = {});

// The program's icon, drawn for it, in all its sizes.
QIcon applicationIcon();

// A PNG picture of the program's (its resources or its folder), read as PNG: left to find
// the format itself, Qt loads every image plugin (GIF, ICO, JPEG with its library) to ask
// each whether it reads the file, which at start costs more than the pictures.
QPixmap readPng(const QString &path);
QIcon pngIcon(const QString &path);

// Everything the desktop sees of the program before its first window: the translation,
// the icon, the name of its desktop entry. No display name is set, so window titles stay
// exactly what the program sets.
void setUpApplication(QApplication &app);

// Whether the environment names no locale of its own (nothing set, or only "C"/"POSIX"),
// read through getVariable (the process environment by default).
bool environmentHasNoLocale(const std::function<QString(const char *)> &getVariable = {});
// The interface is Czech, so where the system names no locale Qt's own formatting (sizes
// and dates in the file dialogs, day and month names) is Czech too: LANG is set before the
// application object reads it. Settings read their numbers without any locale.
void useCzechLocaleWhenNoneSet();
