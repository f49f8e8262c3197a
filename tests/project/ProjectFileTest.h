#pragma once

#include <QObject>
#include <QString>
#include <QTemporaryDir>

// Saving and loading whole projects: the writer, the reader and their scratch folders.
class ProjectFileTest final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void roundTrip_data();
    void roundTrip();
    void savedBytes_data();
    void savedBytes();
    void readerGoldens_data();
    void readerGoldens();
    void indexMatchesIniReader_data();
    void indexMatchesIniReader();
    void hostileProjects_data();
    void hostileProjects();
    void truncatedProject();
    void missingProject_data();
    void missingProject();
    void guards();
    void failedSaveKeepsOldFile_data();
    void failedSaveKeepsOldFile();
    void killedSave();

private:
    QString project(const QByteArray& bytes);

    QTemporaryDir m_dir;
    QString m_root; // per test; the temp folder is m_root + "temp/"
    QString m_temp;
};
