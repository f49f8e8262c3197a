// Feeds arbitrary bytes to the container parser and the project reader, in memory. Besides the sanitizers'
// findings, an input fails when the parsed members claim more bytes than the input holds, or when a row shows
// nothing after reading. The seeds in seeds/ are projects saved by the writer.

#include "project/ClipTable.h"
#include "project/ContainerFormat.h"
#include "project/ProjectReader.h"

#include <QGuiApplication>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("ZOLPANE_CODEPAGE", "1252");
    static int appArgc = 1;
    static char* appArgv[] = {(*argv)[0], nullptr};
    static QGuiApplication app(appArgc, appArgv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes(data, qsizetype(size));
    qint64 claimed = 4;
    for (const ContainerFormat::Member& member : ContainerFormat::parse(bytes).members)
        claimed += 6 + member.data.size();
    if (claimed > qint64(size) && size >= 4) {
        std::fprintf(stderr, "members claim %lld bytes of %zu\n", qint64(claimed), size);
        std::abort();
    }
    ClipTable table;
    ProjectReader::read(bytes, table);
    for (int i = 1; i <= ClipTable::ClipCount; ++i) {
        // Every row shows something after reading.
        if (table.clip(i).text.isEmpty())
            std::abort();
    }
    return 0;
}
