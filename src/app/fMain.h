#pragma once

#include <QMainWindow>

class QMdiArea;

// The main frame window: holds the list windows as child windows and carries the menus, the tool bar
// and the status bar.
class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TfrmMain(QWidget *parent = nullptr);

    QMdiArea *mdiArea() const { return m_mdiArea; }

private:
    QMdiArea *m_mdiArea;
};

extern TfrmMain *frmMain;
