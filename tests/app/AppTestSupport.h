// What the demonstration program's tests share: the source tree and a
// working directory for the windows that open "..\db\" files.
#pragma once

#include <QDir>
#include <QString>

// Runs the working directory of the test as another one while it lives.
class TWorkingDirectory {
public:
    explicit TWorkingDirectory(const QString& Dir) : FOld(QDir::currentPath()) { QDir::setCurrent(Dir); }
    ~TWorkingDirectory() { QDir::setCurrent(FOld); }

private:
    QString FOld;
};

inline QString SourceDir()
{
    const QByteArray Dir = qgetenv("ZEN_SOURCE_DIR");
    return Dir.isEmpty() ? QString(ZEN_SOURCE_FALLBACK) : QString::fromLocal8Bit(Dir);
}
