#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// The save-file dialog of the program. Tests hand in the name the next dialog answers with
// (empty: the user cancelled) instead of showing it, and can read what the dialog was asked.
struct SaveFileRequest {
    QString caption;
    QString folder;        // empty: the dialog's own default folder
    QString fileName;      // suggested name
    QString filter;        // "PDF files (*.pdf)"
    QString defaultSuffix; // appended when the name given has no extension
};

// The chosen path, or empty when the user cancelled. The dialog asks before overwriting a file.
QString getSaveFileName(QWidget *parent, const SaveFileRequest &request);
QString getSaveFileName(QWidget *parent, const QString &caption, const QString &folder, const QString &filter);
void setNextFileName(const QString &fileName);
void clearNextFileNames();
// The request of the last save dialog (for tests).
SaveFileRequest lastSaveFileRequest();
