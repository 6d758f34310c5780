#pragma once

class QWidget;

// The program's main window, for code below the windows layer that must reach it (an output disables
// it while it runs). Null while there is none.
void setApplicationMainWindow(QWidget *window);
QWidget *applicationMainWindow();
