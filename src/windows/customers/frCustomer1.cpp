#include "frCustomer1.h"

#include "ui_frCustomer1.h"
#include "widgets/DataControls.h"

#include <QToolButton>

TframeCustomer1::TframeCustomer1(QWidget *parent) : QWidget(parent), ui(std::make_unique<Ui::TframeCustomer1>())
{
    ui->setupUi(this);
}

TframeCustomer1::~TframeCustomer1() = default;

void TframeCustomer1::setDataSet(db::DataSet *dataSet)
{
    ui->edtCustNo->setField(dataSet, QStringLiteral("CUST_NO"));
    ui->edtFirstName->setField(dataSet, QStringLiteral("FIRSTNAME"));
    ui->edtSurname->setField(dataSet, QStringLiteral("SURNAME"));
    ui->memoAddress->setField(dataSet, QStringLiteral("ADDRESS"));
    ui->edtPostalCode->setField(dataSet, QStringLiteral("POSTALCODE"));
    ui->edtPostalAddress->setField(dataSet, QStringLiteral("POSTALADDRESS"));
}

void TframeCustomer1::setReadOnly(bool readOnly)
{
    for (QWidget *control :
         std::initializer_list<QWidget *>{ui->edtCustNo, ui->edtFirstName, ui->edtSurname, ui->memoAddress,
                                          ui->edtPostalCode, ui->edtPostalAddress}) {
        control->setFocusPolicy(readOnly ? Qt::NoFocus : Qt::StrongFocus);
        control->setProperty("readOnly", readOnly);
        shadeReadOnly(control, readOnly);
    }
}

DBEdit *TframeCustomer1::edit(const char *objectName) const
{
    return findChild<DBEdit *>(QLatin1String(objectName));
}

QToolButton *TframeCustomer1::lookupButton() const
{
    return ui->btnPostalAdrLookup;
}

void TframeCustomer1::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    QWidget::changeEvent(event);
}
