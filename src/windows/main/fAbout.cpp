#include "fAbout.h"

#include "core/Messages.h"
#include "uMsgStrs.h"
#include "ui_fAbout.h"

#include <QIcon>

TfrmAboutBox::TfrmAboutBox(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::TfrmAboutBox>())
{
    ui->setupUi(this);
    ui->ProgramIcon->setPixmap(QIcon(QStringLiteral(":/icons/tessund.svg")).pixmap(QSize(163, 163)));
    fill();
    setFixedSize(size().expandedTo(sizeHint()));
}

TfrmAboutBox::~TfrmAboutBox() = default;

QString TfrmAboutBox::fileVersion()
{
#ifdef TESSUND_VERSION
    QStringList parts = QStringLiteral(TESSUND_VERSION).split(QLatin1Char('.'));
    while (parts.size() < 4)
        parts << QStringLiteral("0");
    return parts.mid(0, 4).join(QLatin1Char('.'));
#else
    return QString();
#endif
}

void TfrmAboutBox::fill()
{
    ui->ProductName->setText(applicationTitle());
    const QString version = fileVersion();
    if (!version.isEmpty())
        ui->memoVersion->setPlainText(uMsgStrs::sVersion().arg(version));
}

void TfrmAboutBox::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        fill();
    }
    QDialog::changeEvent(event);
}
