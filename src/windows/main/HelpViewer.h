#pragma once

#include "HelpFile.h"

#include <QTextBrowser>
#include <QWidget>

#include <memory>

class QLineEdit;
class QListWidget;
class QTabWidget;
class QTreeWidget;

// The help file's pages, with their pictures and links, beside its table of contents and its index.
// One window serves every request for a help file; it stays until the user closes it.
class THelpWindow : public QWidget {
    Q_OBJECT
public:
    // The window on the help file at `path`, made when there is none or it shows another file; null when
    // the file cannot be read.
    static THelpWindow *open(const QString &path);
    // The window while it is open; null otherwise.
    static THelpWindow *current();

    void showContext(int context);
    void showTopic(const QString &topic);
    void showKeyword(const QString &keyword);
    void showContents();
    // The page shown ("/reports.htm"), without an anchor.
    QString page() const;
    const HelpFile &file() const { return *m_file; }

protected:
    void changeEvent(QEvent *event) override;

private:
    THelpWindow(std::unique_ptr<HelpFile> file, QWidget *owner);
    void showPage(const QString &page);
    void fillIndex(const QString &filter);
    void retranslate();

    std::unique_ptr<HelpFile> m_file;
    QTabWidget *m_tabs;
    QTreeWidget *m_contents;
    QLineEdit *m_indexFilter;
    QListWidget *m_index;
    QTextBrowser *m_browser;
    QList<HelpFile::Entry> m_indexEntries;
};
