#include "project/RecentProjects.h"

#include "services/SafeFiles.h"

RecentProjects::RecentProjects(ExistsFn exists)
    : m_exists(exists ? std::move(exists) : ExistsFn(&SafeFiles::FileExists)) {}

void RecentProjects::CompactRecentProjects() {
    std::array<QString, Count> kept;
    size_t n = 0;
    for (const QString& path : m_entries)
        if (!path.isEmpty() && m_exists(path))
            kept[n++] = path;
    m_entries = kept;
}

void RecentProjects::shiftDown() {
    for (int i = Count - 1; i >= 1; --i)
        m_entries[size_t(i)] = m_entries[size_t(i - 1)];
    m_entries[0].clear();
}

void RecentProjects::AddRecentProject(const QString& path) {
    CompactRecentProjects();
    for (QString& entry : m_entries) {
        if (entry.compare(path, Qt::CaseInsensitive) == 0) {
            entry.clear();
            CompactRecentProjects();
            break;
        }
    }
    shiftDown();
    m_entries[0] = path;
}

bool RecentProjects::isEmpty() const {
    for (const QString& entry : m_entries)
        if (!entry.isEmpty())
            return false;
    return true;
}

QString RecentProjects::ShortCaption(const QString& path) {
    if (path.size() > 25)
        return QStringLiteral("...") + path.right(22).trimmed();
    return path;
}
