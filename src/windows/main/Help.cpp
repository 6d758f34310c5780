#include "Help.h"

#include "HelpViewer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPointer>
#include <QVariant>
#include <QWidget>

namespace {

HelpViewer &viewer()
{
    static HelpViewer v;
    return v;
}

void request(const HelpRequest &r)
{
    if (viewer())
        viewer()(r);
}

} // namespace

HelpViewer setHelpViewer(HelpViewer v)
{
    return std::exchange(viewer(), std::move(v));
}

void ShowHelpContext(int context)
{
    request({HelpRequest::Kind::Context, context, QString()});
}

void ShowHelpTopic(const QString &topic)
{
    request({HelpRequest::Kind::Topic, 0, topic});
}

void ShowHelpKeyword(const QString &keyword)
{
    request({HelpRequest::Kind::Keyword, 0, keyword});
}

void ShowHelpContents()
{
    request({HelpRequest::Kind::Contents, 0, QString()});
}

void installHelpFile(const QString &fileName)
{
    setHelpViewer([fileName](const HelpRequest &r) {
        const QString path = QFileInfo(fileName).isAbsolute() || fileName.contains(QLatin1Char('/'))
                                 ? fileName
                                 : QDir(QCoreApplication::applicationDirPath()).filePath(fileName);
        if (!path.endsWith(QLatin1String(".chm"), Qt::CaseInsensitive) || !QFileInfo(path).isFile())
            return;
        THelpWindow *window = THelpWindow::open(path);
        if (!window)
            return;
        switch (r.kind) {
        case HelpRequest::Kind::Context:
            window->showContext(r.context);
            break;
        case HelpRequest::Kind::Topic:
            window->showTopic(r.text);
            break;
        case HelpRequest::Kind::Keyword:
            window->showKeyword(r.text);
            break;
        case HelpRequest::Kind::Contents:
            window->showContents();
            break;
        }
    });
}

namespace {

// The context of a control, or of the nearest control or window around it that has one.
int contextOf(QWidget *w)
{
    for (; w; w = w->parentWidget()) {
        const QVariant context = w->property("HelpContext");
        if (context.isValid() && context.toInt() != 0)
            return context.toInt();
    }
    return 0;
}

// F1 anywhere in the program asks for the help of the focused control.
class F1Help : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_F1 &&
            static_cast<QKeyEvent *>(event)->modifiers() == Qt::NoModifier && watched->isWidgetType()) {
            QWidget *focus = QApplication::focusWidget();
            // The help window asks for no help of the dialog it belongs to.
            if (focus && qobject_cast<THelpWindow *>(focus->window()))
                return false;
            if (const int context = contextOf(focus ? focus : static_cast<QWidget *>(watched)->window())) {
                ShowHelpContext(context);
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

void installF1()
{
    static QPointer<F1Help> filter;
    if (!filter && qApp) {
        filter = new F1Help(qApp);
        qApp->installEventFilter(filter);
    }
}

} // namespace

void attachHelp(QWidget *window, QAbstractButton *helpButton)
{
    installF1();
    if (helpButton)
        QObject::connect(helpButton, &QAbstractButton::clicked, window,
                         [window] { ShowHelpContext(window->property("HelpContext").toInt()); });
}
