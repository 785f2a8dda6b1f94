// An environment variable set for as long as the object lives; its earlier value (or its
// absence) comes back when it goes, also when a check fails on the way.
#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace testsupport {

class ScopedEnv {
public:
    ScopedEnv(const char* name, const QString& value)
        : m_name(name)
        , m_wasSet(qEnvironmentVariableIsSet(name))
        , m_previous(qgetenv(name)) {
        qputenv(name, value.toLocal8Bit());
    }
    ~ScopedEnv() {
        if (m_wasSet)
            qputenv(m_name, m_previous);
        else
            qunsetenv(m_name);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* m_name;
    bool m_wasSet;
    QByteArray m_previous;
};

} // namespace testsupport
