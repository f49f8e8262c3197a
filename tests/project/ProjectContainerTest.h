#pragma once

#include <QObject>
#include <QString>
#include <QTemporaryDir>

// The container format in memory, and packing and unpacking on disk.
class ProjectContainerTest final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void packLayout();
    void parse_data();
    void parse();
    void unpackSkipsUnsafeNames_data();
    void unpackSkipsUnsafeNames();
    void truncatedAtEveryByte();
    void neverFollowsLinks();

private:
    QString writeSource(const QByteArray& bytes);

    QTemporaryDir m_dir;
    QString m_root; // per test: holds "scratch/" and anything a hostile file might reach
    QString m_scratch;
};
