#include "fInvNote.h"

#include "ui_fInvNote.h"
#include "widgets/ActionButton.h"
#include "widgets/DataControls.h"
#include "windows/main/Help.h"
#include "windows/main/uMsgStrs.h"
#include "windows/settings/UserSettings.h"

namespace {

QString slotSetting(int slot)
{
    return QStringLiteral("DEFINVNOTE%1").arg(slot);
}

} // namespace

TfrmInvoiceNote::TfrmInvoiceNote(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::TfrmInvoiceNote>())
{
    ui->setupUi(this);
    bindButtonToAction(ui->btnRemember, ui->actRemember);
    attachHelp(this, ui->btnHelp);
    RegSettings().RestoreWindowState(this);
    for (int slot = 0; slot < ui->cboDefaultText->count(); ++slot) {
        const QString text = RegSettings().ReadSetting(slotSetting(slot));
        m_defaultNotes << (text.isEmpty() ? uMsgStrs::sUnassigned() : text);
    }
    connect(ui->cboDefaultText, &QComboBox::activated, this, &TfrmInvoiceNote::cboDefaultTextChange);
    connect(ui->actRemember, &QAction::triggered, this, &TfrmInvoiceNote::actRememberExecute);
    limitLength(ui->memoNote, MaxNoteLength);
}

TfrmInvoiceNote::~TfrmInvoiceNote()
{
    RegSettings().SaveWindowState(this);
}

QString TfrmInvoiceNote::NoteText() const
{
    return ui->memoNote->toPlainText();
}

void TfrmInvoiceNote::setNoteText(const QString &text)
{
    ui->memoNote->setPlainText(text);
}

void TfrmInvoiceNote::showEvent(QShowEvent *event)
{
    // No slot is chosen when the window opens, so Remember waits for one.
    ui->cboDefaultText->setCurrentIndex(-1);
    ui->actRemember->setEnabled(false);
    ui->memoNote->setFocus();
    QDialog::showEvent(event);
}

void TfrmInvoiceNote::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        const int slot = ui->cboDefaultText->currentIndex();
        ui->retranslateUi(this);
        ui->cboDefaultText->setCurrentIndex(slot);
    }
    QDialog::changeEvent(event);
}

void TfrmInvoiceNote::cboDefaultTextChange(int slot)
{
    if (slot < 0 || slot >= m_defaultNotes.size())
        return;
    setNoteText(m_defaultNotes.at(slot));
    ui->actRemember->setEnabled(true);
}

// Written to the user settings at once: no Cancel takes it back.
void TfrmInvoiceNote::actRememberExecute()
{
    const int slot = ui->cboDefaultText->currentIndex();
    if (slot < 0 || slot >= m_defaultNotes.size())
        return;
    const QString text = NoteText();
    RegSettings().WriteSetting(slotSetting(slot), text);
    m_defaultNotes[slot] = text;
}
