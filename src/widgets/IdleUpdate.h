#pragma once

#include <functional>

class QObject;

// Runs handler each time the event loop is about to wait for more events, as long as context lives.
// Commands whose availability varies update their enabled state this way.
void addIdleHandler(QObject *context, std::function<void()> handler);
// Runs every idle handler now, as an idle event loop would (for code that drives the windows itself).
void runIdleHandlers();
