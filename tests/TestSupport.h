#pragma once

// What the test folders share: whole files, a scratch folder with the default settings.ini, and the registration
// of test classes, which TestMain.cpp runs one after another.

#include "services/AppPaths.h"
#include "services/Settings.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

namespace TestSupport {

inline QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A scratch folder whose settings.ini holds the default settings.
struct SettingsFolder {
    QTemporaryDir dir;
    AppPaths paths = AppPaths::forFolder(dir.path());
    Settings settings{paths};
    SettingsFolder() { settings.WriteDefaultSettings(); }
    QByteArray file() const { return readFile(paths.SettingsPath); }
};

using TestFactory = std::unique_ptr<QObject> (*)();
inline std::vector<TestFactory>& testClasses() {
    static std::vector<TestFactory> classes;
    return classes;
}
template <class T> bool registerTest() {
    testClasses().push_back([]() -> std::unique_ptr<QObject> { return std::make_unique<T>(); });
    return true;
}

} // namespace TestSupport

#define ZP_TEST_CLASS(T) [[maybe_unused]] static const bool zpRegistered##T = TestSupport::registerTest<T>()
