#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

struct chmFile;

// A compiled HTML help file (.chm), read with chmlib: its pages and pictures by path ("/reports.htm"),
// the page of each help context number, its default topic, its table of contents and its index.
class HelpFile {
public:
    explicit HelpFile(const QString &path);
    ~HelpFile();
    HelpFile(const HelpFile &) = delete;
    HelpFile &operator=(const HelpFile &) = delete;

    bool isOpen() const { return m_file != nullptr; }
    QString path() const { return m_path; }
    QString title() const { return m_title; }

    bool contains(const QString &objectPath) const;
    // The object's bytes; empty when the file has no such object.
    QByteArray read(const QString &objectPath) const;

    // The page a context number opens ("/customer_edit.htm"); empty for a number the file does not map.
    QString pageOfContext(int context) const;
    // Every context number the file maps, in the file's order.
    QList<int> contexts() const;
    QString defaultTopic() const { return m_defaultTopic; }

    // One entry of the table of contents or of the index: its text, its page, and its depth (0 at the top).
    struct Entry {
        QString name;
        QString page;
        int level = 0;
    };
    QList<Entry> contents() const;
    QList<Entry> index() const;

private:
    QString resolve(const QString &path) const;
    QList<Entry> sitemap(const QString &objectPath) const;

    QString m_path;
    chmFile *m_file = nullptr;
    QString m_title, m_defaultTopic, m_contentsFile, m_indexFile;
    QList<QPair<int, QString>> m_contexts;
};
