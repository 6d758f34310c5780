#pragma once

class QPrinter;

namespace report {

class Report;

// Generates the report onto the printer, without a dialog. Throws Error when the printer fails; the
// report's afterPrint runs only when it succeeded.
void print(Report &report, QPrinter &printer);

// Opens the preview window on one generation of the report and returns when it is closed; its Print
// and Printer setup use the printer.
void preview(Report &report, QPrinter &printer);

} // namespace report
