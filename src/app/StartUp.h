#pragma once

class QApplication;
class TForm1;

// The start-up sequence: wait window, browser check, main window, tips; then the message
// loop. Returns the program's exit code.
int runProgram(QApplication &app);
