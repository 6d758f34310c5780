#pragma once

#include <QApplication>

// Tool tips for the whole application, on or off.
void setToolTipsEnabled(bool enabled);
bool toolTipsEnabled();

// The application object of the program: a failure that leaves an event handler reaches the standard
// error box instead of ending the program.
class TApplication : public QApplication {
public:
    TApplication(int &argc, char **argv) : QApplication(argc, argv) {}
    bool notify(QObject *receiver, QEvent *event) override;
};
