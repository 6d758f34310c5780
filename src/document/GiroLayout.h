#pragma once

#include "LayoutTable.h"

// The bands and elements of the invoice page with its Giro F60-1 slip (TfrmGiroF60), as tables. The
// columns of the invoice's line table are added at generation, from the columns the page was given.
const layout::Layout &giroLayout();
