#pragma once

#include <QString>

#include <array>
#include <functional>

// The ten most recently opened or saved projects, newest first; "" marks a free entry.
class RecentProjects final {
public:
    static constexpr int Count = 10;

    // Existence test of a file; replaceable in tests.
    using ExistsFn = std::function<bool(const QString&)>;
    explicit RecentProjects(ExistsFn exists = {});

    const QString& entry(int i) const { return m_entries[size_t(i - 1)]; }
    void setEntry(int i, const QString& path) { m_entries[size_t(i - 1)] = path; }

    // Keeps the entries that are not "" and whose file exists, moved to the front in their order.
    void CompactRecentProjects();
    // Puts path first; an entry equal to it (ignoring case) moves up instead of being repeated.
    void AddRecentProject(const QString& path);
    bool isEmpty() const;

    // A path longer than 25 characters shown as "..." and its last 22 characters, blanks trimmed.
    static QString ShortCaption(const QString& path);

private:
    void shiftDown();
    std::array<QString, Count> m_entries;
    ExistsFn m_exists;
};
