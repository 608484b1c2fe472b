// The change and click notifications of the self-drawn widgets: one handler,
// called with the widget that raised it.
#pragma once

#include <functional>

class QObject;

using TNotifyEvent = std::function<void(QObject* Sender)>;
