#pragma once

#include <QString>

#include <functional>

namespace mqtt {

// The journal's priorities: error, warning, information.
enum class LogPriority { Error = 3, Warning = 4, Info = 6 };

// Where the publisher's messages go. Called from the publisher's own thread.
using LogFunction = std::function<void(LogPriority priority, const QString& message)>;

} // namespace mqtt
