#pragma once

class QApplication;
class QStyle;
class TForm1;

// The program's style: the platform's, with hints after 100 ms, the document windows'
// title-bar icons made once, and the overflow buttons' icons made when first drawn.
QStyle *newProgramStyle();

// The start-up sequence: wait window, browser check, main window, tips; then the message
// loop. Returns the program's exit code. With quitWhenStarted the program ends as soon as
// it has started and checked its installation (see InstallCheck): its data, and a page
// shown by the browser (exit code 0 when all is there and the page was shown). With
// recoveryOnly (files to open, or another instance runs) the copies of a crashed run are
// offered but the pages of the last session are not opened again.
int runProgram(QApplication &app, bool quitWhenStarted = false, bool recoveryOnly = false);
