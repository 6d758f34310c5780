#include "IdleUpdate.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>

#include <map>

namespace {

// The handlers by their context; a context's handlers go with it.
class IdleHandlers : public QObject {
public:
    IdleHandlers()
    {
        if (QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance())
            connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &IdleHandlers::run);
    }
    void add(QObject *context, std::function<void()> handler)
    {
        if (!m_handlers.count(context))
            connect(context, &QObject::destroyed, this, [this, context] { m_handlers.erase(context); });
        m_handlers[context].push_back(std::move(handler));
    }
    void run()
    {
        const auto handlers = m_handlers;
        for (const auto &[context, list] : handlers)
            for (const auto &handler : list)
                if (m_handlers.count(context))
                    handler();
    }

private:
    std::map<QObject *, std::vector<std::function<void()>>> m_handlers;
};

IdleHandlers &handlers()
{
    static IdleHandlers *instance = [] {
        auto *h = new IdleHandlers;
        h->setParent(QCoreApplication::instance());
        return h;
    }();
    return *instance;
}

} // namespace

void addIdleHandler(QObject *context, std::function<void()> handler)
{
    handlers().add(context, std::move(handler));
}

void runIdleHandlers()
{
    handlers().run();
}
