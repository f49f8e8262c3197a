// Feeds arbitrary bytes to the container parser and to the whole project reader. Besides the sanitizers'
// findings, an input fails when the parsed members claim more bytes than the input holds, or when the reader
// leaves anything behind in its working folder (it may write to its scratch folder only, and deletes it).
// With ZP_FUZZ_SEED_DIR set, an empty seed folder is first filled with projects saved by the writer.

#include "project/ClipTable.h"
#include "project/ProjectContainer.h"
#include "project/ProjectReader.h"
#include "project/ProjectWriter.h"
#include "services/Messages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

QString g_work; // holds the input file and the temp folder, nothing else

QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

void writeSeeds(const QString& folder) {
    if (!entries(folder).isEmpty())
        return;
    ClipTable fresh;
    ProjectWriter::save(fresh, folder + "/fresh.zp", g_work + "temp/");

    ClipTable mixed;
    mixed.setClip(1, {ClipTable::TxtLong, "long", "\r\nfirst\r\n\r\nsecond\r\n", {}, true});
    mixed.setClip(2, {ClipTable::Rtf, "doc", "{\\rtf1\\ansi hello\\par\r\n}", {}, true});
    QImage picture(5, 3, QImage::Format_RGB32);
    picture.fill(qRgb(10, 200, 30));
    mixed.setClip(3, {ClipTable::Img, "pic", "", picture, true});
    mixed.setText(4, "simple");
    mixed.ClipMethod[4] = 3;
    ProjectWriter::save(mixed, folder + "/mixed.zp", g_work + "temp/");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("ZOLPANE_CODEPAGE", "1252");
    static int appArgc = 1;
    static char* appArgv[] = {(*argv)[0], nullptr};
    static QGuiApplication app(appArgc, appArgv);
    (void)argc;
    Messages::setUnattended(true);
    QLoggingCategory::setFilterRules(QStringLiteral("zolpane.project.warning=false"));
    // Every input is unpacked to disk; memory-backed storage makes that several times faster.
    const QString base =
        QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    static QTemporaryDir work(base + QStringLiteral("/zp-fuzz-XXXXXX"));
    g_work = work.path() + '/';
    QDir().mkpath(g_work + "temp");
    if (const char* seeds = std::getenv("ZP_FUZZ_SEED_DIR")) {
        QDir().mkpath(QString::fromLocal8Bit(seeds));
        writeSeeds(QString::fromLocal8Bit(seeds));
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));

    qint64 claimed = 4;
    for (const ProjectContainer::Member& member : ProjectContainer::parse(bytes))
        claimed += 6 + member.data.size();
    if (claimed > qint64(size) && size >= 4) {
        std::fprintf(stderr, "members claim %lld bytes of %zu\n", qint64(claimed), size);
        std::abort();
    }

    const QString path = g_work + "p.zp";
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            std::abort();
    }
    ClipTable table;
    if (ProjectReader::load(path, g_work + "temp/", table) != ProjectReader::LoadStatus::Loaded)
        std::abort();
    if (entries(g_work) != QStringList({"p.zp", "temp"}) || !entries(g_work + "temp").isEmpty()) {
        std::fprintf(stderr, "left behind: %s\n", qPrintable(entries(g_work + "temp").join(' ')));
        std::abort();
    }
    for (int i = 1; i <= ClipTable::ClipCount; ++i) {
        // Every row shows something after a load.
        if (table.clip(i).text.isEmpty())
            std::abort();
    }
    return 0;
}
