#pragma once

#include <QByteArray>
#include <QtGlobal>

// An environment variable set for the test (a null value: unset) and put back after it.
class EnvironmentChange
{
public:
    EnvironmentChange(const char* name, const QByteArray& value) : name_(name), old_(qgetenv(name)), had_(qEnvironmentVariableIsSet(name))
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    ~EnvironmentChange()
    {
        if (had_)
            qputenv(name_, old_);
        else
            qunsetenv(name_);
    }
    EnvironmentChange(const EnvironmentChange&) = delete;
    EnvironmentChange& operator=(const EnvironmentChange&) = delete;

private:
    const char* name_;
    QByteArray old_;
    bool had_;
};
