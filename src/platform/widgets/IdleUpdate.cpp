#include "IdleUpdate.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>

void addIdleHandler(QObject *context, std::function<void()> handler)
{
    QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance(QCoreApplication::instance()->thread());
    if (!dispatcher)
        return;
    QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, context, std::move(handler));
}
