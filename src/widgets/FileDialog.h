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

// The chosen path, or empty when the user cancelled. The dialog asks before overwriting a file. Where the
// request offers several filters ("PDF (*.pdf);;RTF (*.rtf)"), selectedFilter gets the one chosen; a filter
// it holds on the way in is shown first.
QString getSaveFileName(QWidget *parent, const SaveFileRequest &request, QString *selectedFilter = nullptr);
QString getSaveFileName(QWidget *parent, const QString &caption, const QString &folder, const QString &filter);
// The answer of the next dialog, chosen with that filter (empty: the first offered).
void setNextFileName(const QString &fileName, const QString &selectedFilter = QString());
void clearNextFileNames();
// The request of the last save dialog (for tests).
SaveFileRequest lastSaveFileRequest();
