#include "HelpViewer.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QSplitter>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QPointer<THelpWindow> &openWindow()
{
    static QPointer<THelpWindow> w;
    return w;
}

const QString scheme = QStringLiteral("chm");

QUrl pageUrl(const QString &page)
{
    QUrl url;
    url.setScheme(scheme);
    const qsizetype hash = page.indexOf(QLatin1Char('#'));
    url.setPath(hash < 0 ? page : page.left(hash));
    if (hash >= 0)
        url.setFragment(page.mid(hash + 1));
    return url;
}

// Pages, pictures and style sheets come out of the help file; other links go to the desktop.
class HelpBrowser : public QTextBrowser {
public:
    HelpBrowser(const HelpFile &file, QWidget *parent) : QTextBrowser(parent), m_file(file)
    {
        setOpenLinks(false);
        connect(this, &QTextBrowser::anchorClicked, this, [this](const QUrl &url) {
            if (url.scheme() == scheme || url.isRelative())
                setSource(source().resolved(url));
            else
                QDesktopServices::openUrl(url);
        });
    }
    QVariant loadResource(int type, const QUrl &name) override
    {
        const QUrl url = name.isRelative() ? source().resolved(name) : name;
        if (url.scheme() == scheme)
            return m_file.read(url.path());
        return QTextBrowser::loadResource(type, name);
    }

private:
    const HelpFile &m_file;
};

} // namespace

THelpWindow *THelpWindow::open(const QString &path)
{
    // A dialog that waits for an answer blocks every window but its own: help asked for from it belongs
    // to it, so that it can be read and used beside it.
    QWidget *owner = QApplication::activeModalWidget();
    if (openWindow() && openWindow()->m_file->path() == path) {
        if (openWindow()->parentWidget() != owner) {
            const QRect placement = openWindow()->geometry();
            openWindow()->setParent(owner, openWindow()->windowFlags());
            openWindow()->setGeometry(placement);
        }
        return openWindow();
    }
    auto file = std::make_unique<HelpFile>(path);
    if (!file->isOpen())
        return nullptr;
    if (openWindow())
        openWindow()->close();
    openWindow() = new THelpWindow(std::move(file), owner);
    return openWindow();
}

THelpWindow *THelpWindow::current()
{
    return openWindow();
}

THelpWindow::THelpWindow(std::unique_ptr<HelpFile> file, QWidget *owner)
    : QWidget(owner, Qt::Window), m_file(std::move(file))
{
    setObjectName(QStringLiteral("HelpWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *bar = new QToolBar(this);
    layout->addWidget(bar);
    auto *splitter = new QSplitter(this);
    layout->addWidget(splitter, 1);

    m_tabs = new QTabWidget(splitter);
    m_contents = new QTreeWidget(m_tabs);
    m_contents->setObjectName(QStringLiteral("treeContents"));
    m_contents->header()->hide();
    m_tabs->addTab(m_contents, QString());
    auto *indexPage = new QWidget(m_tabs);
    auto *indexLayout = new QVBoxLayout(indexPage);
    m_indexFilter = new QLineEdit(indexPage);
    m_indexFilter->setObjectName(QStringLiteral("edtIndexFilter"));
    m_index = new QListWidget(indexPage);
    m_index->setObjectName(QStringLiteral("lstIndex"));
    indexLayout->addWidget(m_indexFilter);
    indexLayout->addWidget(m_index, 1);
    m_tabs->addTab(indexPage, QString());
    m_browser = new HelpBrowser(*m_file, splitter);
    m_browser->setObjectName(QStringLiteral("HelpBrowser"));
    splitter->setStretchFactor(1, 3);

    auto *back = bar->addAction(QString(), m_browser, &QTextBrowser::backward);
    auto *forward = bar->addAction(QString(), m_browser, &QTextBrowser::forward);
    auto *home = bar->addAction(QString(), this, [this] { showPage(m_file->defaultTopic()); });
    back->setObjectName(QStringLiteral("actBack"));
    forward->setObjectName(QStringLiteral("actForward"));
    home->setObjectName(QStringLiteral("actHome"));
    back->setShortcut(QKeySequence::Back);
    forward->setShortcut(QKeySequence::Forward);
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);

    // The table of contents as a tree: an entry goes under the last one a level above it.
    QList<QTreeWidgetItem *> parents;
    for (const HelpFile::Entry &entry : m_file->contents()) {
        parents.resize(std::min<qsizetype>(entry.level, parents.size()));
        auto *item = parents.isEmpty() ? new QTreeWidgetItem(m_contents) : new QTreeWidgetItem(parents.last());
        item->setText(0, entry.name);
        item->setData(0, Qt::UserRole, entry.page);
        parents << item;
    }
    m_contents->expandAll();
    // A click, Enter or a double-click opens an entry's page.
    const auto openContentsEntry = [this](QTreeWidgetItem *item) {
        if (const QString page = item->data(0, Qt::UserRole).toString(); !page.isEmpty())
            showPage(page);
    };
    connect(m_contents, &QTreeWidget::itemActivated, this, openContentsEntry);
    connect(m_contents, &QTreeWidget::itemClicked, this, openContentsEntry);

    m_indexEntries = m_file->index();
    fillIndex(QString());
    connect(m_indexFilter, &QLineEdit::textChanged, this, &THelpWindow::fillIndex);
    connect(m_indexFilter, &QLineEdit::returnPressed, this, [this] {
        if (m_index->count() > 0)
            showPage(m_index->item(0)->data(Qt::UserRole).toString());
    });
    const auto openIndexEntry = [this](QListWidgetItem *item) { showPage(item->data(Qt::UserRole).toString()); };
    connect(m_index, &QListWidget::itemActivated, this, openIndexEntry);
    connect(m_index, &QListWidget::itemClicked, this, openIndexEntry);

    retranslate();
    resize(900, 640);
    splitter->setSizes({240, 660});
}

void THelpWindow::retranslate()
{
    setWindowTitle(m_file->title().isEmpty() ? tr("Help") : m_file->title());
    m_tabs->setTabText(0, tr("Contents"));
    m_tabs->setTabText(1, tr("Index"));
    m_indexFilter->setPlaceholderText(tr("Type a word to look for"));
    for (QAction *action : findChildren<QAction *>()) {
        if (action->objectName() == QLatin1String("actBack"))
            action->setText(tr("Back"));
        else if (action->objectName() == QLatin1String("actForward"))
            action->setText(tr("Forward"));
        else if (action->objectName() == QLatin1String("actHome"))
            action->setText(tr("Home"));
    }
}

void THelpWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

void THelpWindow::fillIndex(const QString &filter)
{
    m_index->clear();
    for (const HelpFile::Entry &entry : m_indexEntries) {
        if (!entry.name.startsWith(filter, Qt::CaseInsensitive) || entry.page.isEmpty())
            continue;
        auto *item = new QListWidgetItem(QString(QString(entry.level * 2, QLatin1Char(' ')) + entry.name), m_index);
        item->setData(Qt::UserRole, entry.page);
    }
}

void THelpWindow::showPage(const QString &page)
{
    m_browser->setSource(pageUrl(page));
    show();
    raise();
    activateWindow();
}

QString THelpWindow::page() const
{
    return m_browser->source().path();
}

void THelpWindow::showContext(int context)
{
    const QString page = m_file->pageOfContext(context);
    showPage(page.isEmpty() ? m_file->defaultTopic() : page);
}

void THelpWindow::showTopic(const QString &topic)
{
    QString page = topic.startsWith(QLatin1Char('/')) ? topic : QLatin1Char('/') + topic;
    if (!page.endsWith(QLatin1String(".htm"), Qt::CaseInsensitive) &&
        !page.endsWith(QLatin1String(".html"), Qt::CaseInsensitive))
        page += QLatin1String(".htm");
    showPage(m_file->contains(page) ? page : m_file->defaultTopic());
}

void THelpWindow::showKeyword(const QString &keyword)
{
    m_tabs->setCurrentIndex(1);
    m_indexFilter->setText(keyword.trimmed());
    showPage(m_index->count() > 0 ? m_index->item(0)->data(Qt::UserRole).toString() : m_file->defaultTopic());
}

void THelpWindow::showContents()
{
    m_tabs->setCurrentIndex(0);
    showPage(m_file->defaultTopic());
}
