// Text typed into the fields of an invoice, its lines and the catalogue, through the field layer and the
// data module's handlers: every text is taken or refused with a message, the row's amounts can always be
// shown, and a field's own edit text can be typed in again.
//
// The first byte of an input picks the field, the rest is the text.

#include "core/Errors.h"
#include "core/Messages.h"
#include "data/DatabaseCreation.h"
#include "data/dInvoice.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

struct Target {
    db::DataSet *dataSet;
    const char *field;
};

struct Module {
    QTemporaryDir folder;
    std::unique_ptr<TdmInvoice> dm;
    std::vector<Target> targets;

    Module()
    {
        setMessageHandler([](const MessageRequest &) { return MsgAnswer::OK; });
        createDatabase(folder.filePath(QStringLiteral("INVOICE.mdb")), true);
        dm = std::make_unique<TdmInvoice>(folder.path());
        if (!dm->isConnected())
            std::abort();
        dm->DBSettings.LoadBusinessSettings();
        for (const char *f : {"NUM", "NETPRICE", "VAT", "DISCOUNT", "GROSSFAKE", "ITEM_DESC", "ITEM_NO"})
            targets.push_back({&dm->tblInvoiceItems, f});
        for (const char *f : {"INVDATE", "DUEDATE", "INVOICE_NO", "INV_TYPE", "KID", "OURREF", "GROSSSUM"})
            targets.push_back({&dm->tblInvoiceEdit, f});
        for (const char *f : {"NETPRICE", "VAT", "GROSSPRICE", "ITEM_DESC"})
            targets.push_back({&dm->tblLookupItem, f});
    }

    // An invoice and a catalogue item being entered, each with a new line or row in insert state.
    void ready()
    {
        db::DataSet &invoice = dm->tblInvoiceEdit;
        if (!invoice.isActive()) {
            invoice.setParam(QStringLiteral("INVOICEID"), -1);
            invoice.open();
            dm->tblInvoiceItems.open();
            invoice.append();
            invoice.fieldByName(QStringLiteral("CUST_ID")).setValue(1);
        }
        if (!dm->tblInvoiceItems.isEditing())
            dm->tblInvoiceItems.append();
        if (!invoice.isEditing())
            invoice.edit();
        if (!dm->tblLookupItem.isActive())
            dm->tblLookupItem.open();
        if (!dm->tblLookupItem.isEditing())
            dm->tblLookupItem.append();
    }
};

Module *module = nullptr;

void showRow(db::DataSet &ds)
{
    for (const auto &field : ds.fields()) {
        (void)field->text();
        (void)field->editText();
    }
}

// Whether typing the text into the field is taken; a refusal comes as an Error with a message.
bool enter(db::Field &field, const QString &text)
{
    try {
        field.setText(text);
        return true;
    } catch (const Error &e) {
        if (e.message().isEmpty())
            std::abort();
        return false;
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication application(*argc, *argv);
    QLocale::setDefault(QLocale(QStringLiteral("nb_NO")));
    module = new Module;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    module->ready();
    const Target &target = module->targets[data[0] % module->targets.size()];
    db::Field &field = target.dataSet->fieldByName(QLatin1String(target.field));
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    if (enter(field, text)) {
        showRow(*target.dataSet);
        // What the field shows while editing can be typed in again.
        if (!enter(field, field.editText()))
            std::abort();
    }
    showRow(*target.dataSet);
    return 0;
}
