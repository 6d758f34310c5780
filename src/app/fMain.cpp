#include "fMain.h"

#include "platform/widgets/MessageDialog.h"

#include <QMdiArea>
#include <QStatusBar>

TfrmMain *frmMain = nullptr;

TfrmMain::TfrmMain(QWidget *parent) : QMainWindow(parent), m_mdiArea(new QMdiArea(this))
{
    setObjectName(QStringLiteral("frmMain"));
    setCentralWidget(m_mdiArea);
    statusBar();
    // Designed placement, used until a placement has been saved.
    setGeometry(268, 157, 725, 584);
    setWindowTitle(applicationTitle());
}
