// Pictures that tests render, written for a person to look at only when
// ZEN_TEST_DUMP names a folder.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QImage>
#include <QString>

inline void DumpPng(const QImage& Image, const char* Name)
{
    const QByteArray Dir = qgetenv("ZEN_TEST_DUMP");
    if (!Dir.isEmpty())
        Image.save(QDir(QString::fromLocal8Bit(Dir)).filePath(QString::fromLatin1(Name) + ".png"));
}
