// The notify event every component's handlers share.
#pragma once
#include <QObject>
#include <functional>

// Components are QObjects: the owner is the QObject parent and frees them with itself.
using TObject = QObject;
using TNotifyEvent = std::function<void(TObject* Sender)>;
