#pragma once

// What the test folders share: the Qt Test headers, data tables in one line, whole files, a scratch folder with the
// default settings.ini, and the factories of the test classes, which TestMain.cpp runs one after another.

#include "services/AppPaths.h"
#include "services/Settings.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <memory>
#include <tuple>
#include <vector>

#include <sys/resource.h>

namespace TestSupport {

inline QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

template <class> using ColumnName = const char*;

// A data function's columns in one call: columns<QString, int>("text", "count").
template <class... T> void columns(ColumnName<T>... names) {
    (QTest::addColumn<T>(names), ...);
}

// The current row's values, as QFETCH takes them: const auto [text, count] = fetch<QString, int>("text", "count").
// A lambda takes such a value by an init-capture ([count = count]): clang before 16 captures no structured binding.
template <class... T> std::tuple<T...> fetch(ColumnName<T>... names) {
    return {*static_cast<T*>(QTest::qData(names, qMetaTypeId<T>()))...};
}

// A picture of one colour.
inline QImage uniform(int width, int height, const QColor& color) {
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(color);
    return picture;
}

// A full disk for this process while it lives: no file may grow past `bytes`, and a write beyond fails with EFBIG
// instead of ending the process.
struct FileSizeLimit {
    rlimit saved{};
    void (*handler)(int) = std::signal(SIGXFSZ, SIG_IGN);
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved);
        const rlimit limited{bytes, saved.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, handler);
    }
};

// A scratch folder whose settings.ini holds the default settings.
struct SettingsFolder {
    QTemporaryDir dir;
    AppPaths paths = AppPaths::forFolder(dir.path());
    Settings settings{paths};
    SettingsFolder() { settings.WriteDefaultSettings(); }
    QByteArray file() const { return readFile(paths.SettingsPath); }
};

using TestFactory = std::unique_ptr<QObject> (*)();
// The folder's test classes in the order of its sources, listed by tests/CMakeLists.txt for each executable.
std::vector<TestFactory> testClasses();

} // namespace TestSupport

// The factory by which the executable's class list reaches the class <Subject>Test of <Subject>Test.cpp.
#define ZP_TEST_CLASS(T)                                                                                               \
    std::unique_ptr<QObject> make##T() {                                                                               \
        return std::make_unique<T>();                                                                                  \
    }
