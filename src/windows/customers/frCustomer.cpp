#include "frCustomer.h"

#include "frCustomer1.h"
#include "ui_frCustomer.h"
#include "widgets/DataControls.h"

TframeCustomer::TframeCustomer(QWidget *parent) : QWidget(parent), ui(std::make_unique<Ui::TframeCustomer>())
{
    ui->setupUi(this);
}

TframeCustomer::~TframeCustomer() = default;

void TframeCustomer::setDataSet(db::DataSet *dataSet)
{
    ui->frameCustomer1->setDataSet(dataSet);
    ui->edtPhone1->setField(dataSet, QStringLiteral("PHONE1"));
    ui->edtPhone2->setField(dataSet, QStringLiteral("PHONE2"));
    ui->edtEmail->setField(dataSet, QStringLiteral("EMAIL"));
    ui->edtStatus->setField(dataSet, QStringLiteral("STATUS"));
    ui->memoMisc->setField(dataSet, QStringLiteral("MISC"));
}

TframeCustomer1 *TframeCustomer::block() const
{
    return ui->frameCustomer1;
}

DBEdit *TframeCustomer::phoneEdit() const
{
    return ui->edtPhone1;
}

void TframeCustomer::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    QWidget::changeEvent(event);
}
