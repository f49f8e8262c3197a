#pragma once

// What the libFuzzer targets share: the application object Qt's picture and text classes need, and the way an
// input that breaks a rule fails (an abort, which libFuzzer reports with the input).

#include <QByteArray>
#include <QByteArrayView>
#include <QGuiApplication>
#include <QLoggingCategory>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace FuzzSupport {

// A QGuiApplication on the offscreen platform, made once from LLVMFuzzerInitialize, with the program's log, Qt's
// picture readers' log and Qt's plain warnings quiet. Texts in files are read in code page 1252 unless ZOLPANE_CODEPAGE
// says otherwise.
inline void startApplication(char* program) {
    // Refused input is the normal case here: the log lines about it would only slow the fuzzer down. QT_LOGGING_RULES
    // still turns them on.
    QLoggingCategory::setFilterRules(QStringLiteral("zolpane.*=false\nqt.gui.imageio*=false\ndefault.warning=false"));
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!qEnvironmentVariableIsSet("ZOLPANE_CODEPAGE"))
        qputenv("ZOLPANE_CODEPAGE", "1252");
    static int argc = 1;
    static char* argv[] = {program, nullptr};
    static QGuiApplication app(argc, argv);
}

[[noreturn]] inline void fail(const char* rule) {
    std::fprintf(stderr, "rule broken: %s\n", rule);
    std::abort();
}

inline void check(bool holds, const char* rule) {
    if (!holds)
        fail(rule);
}

// The input's bytes, without copying them.
inline QByteArrayView bytesOf(const uint8_t* data, size_t size) {
    return QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size));
}

} // namespace FuzzSupport
