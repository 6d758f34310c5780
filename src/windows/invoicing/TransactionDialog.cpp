#include "TransactionDialog.h"

#include "core/Errors.h"
#include "core/Messages.h"
#include "data/dInvoice.h"

#include <QCloseEvent>

TransactionDialog::TransactionDialog(QWidget *parent, CloseBox closeBox) : QDialog(parent), m_closeBox(closeBox) {}

void TransactionDialog::beginTransaction()
{
    dmInvoice->conInvoice.beginTransaction();
    m_changesAtStart = dmInvoice->conInvoice.totalChanges();
}

bool TransactionDialog::inTransaction() const
{
    return dmInvoice && dmInvoice->conInvoice.inTransaction();
}

bool TransactionDialog::changedSinceStart() const
{
    return dmInvoice->conInvoice.totalChanges() != m_changesAtStart;
}

void TransactionDialog::rollBackTransaction()
{
    if (dmInvoice && dmInvoice->conInvoice.inTransaction())
        dmInvoice->conInvoice.rollback();
}

void TransactionDialog::rollBack(bool reportErrors)
{
    try {
        discardEdits();
        rollBackTransaction();
    } catch (const std::exception &e) {
        if (reportErrors)
            MsgError(QString::fromUtf8(e.what()));
    }
}

void TransactionDialog::commitTransaction()
{
    dmInvoice->conInvoice.commit();
}

void TransactionDialog::accept()
{
    try {
        storeEdits();
        commitTransaction();
    } catch (const SilentAbort &) {
        return;
    } catch (const std::exception &e) {
        // Nothing is committed; the window stays open with everything pending, for correcting.
        ShowException(e);
        return;
    }
    m_closing = true;
    QDialog::accept();
}

void TransactionDialog::reject()
{
    if (m_closing) {
        QDialog::reject(); // already decided: the closing goes on
        return;
    }
    if (hasChanges() && !confirmDiscard())
        return;
    m_closing = true;
    rollBack(true);
    QDialog::reject();
}

void TransactionDialog::closeEvent(QCloseEvent *event)
{
    if (!m_closing) {
        if (m_closeBox == CloseBox::AsCancel) {
            reject();
            if (!m_closing) {
                event->ignore();
                return;
            }
        } else if (hasChanges()) {
            if (!confirmDiscard()) {
                event->ignore();
                return;
            }
            rollBack(false);
        } else if (inTransaction()) {
            RunCommand([this] { commitTransaction(); });
        }
        m_closing = true;
    }
    QDialog::closeEvent(event);
}
