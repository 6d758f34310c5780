#pragma once

#include "LayoutTable.h"

// The bands and elements of the printed lists (ListReports.h), as tables.
const layout::Layout &invoiceListLayout();     // TrepInvoiceList
const layout::Layout &transactionListLayout(); // TrepTransactionList; its sub-detail band reads qryItems
const layout::Layout &customerCardsLayout();   // TrptCustomer
const layout::Layout &itemCatalogueLayout();   // TrptItems
