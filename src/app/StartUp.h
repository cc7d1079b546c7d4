#pragma once

class QApplication;
class TForm1;

// The start-up sequence: wait window, browser check, main window, tips; then the message
// loop. Returns the program's exit code. With quitWhenStarted the program ends as soon as
// it has started, reporting where it found its data (exit code 0 when all is there).
int runProgram(QApplication &app, bool quitWhenStarted = false);
