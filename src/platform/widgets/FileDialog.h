#pragma once

#include <QString>

class QWidget;

// The save-file dialog of the program. Tests hand in the name the next dialog answers with
// (empty: the user cancelled) instead of showing it.
QString getSaveFileName(QWidget *parent, const QString &caption, const QString &folder, const QString &filter);
void setNextFileName(const QString &fileName);
void clearNextFileNames();
