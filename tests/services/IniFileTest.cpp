#include "services/IniFile.h"
#include "TestSupport.h"
#include "services/CodePage.h"
#include "services/IniIndex.h"

#include <QHash>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using namespace TestSupport;

// The INI routines over bytes and files, and the code pages the files are written in.
class IniFileTest final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Reading section and key from the bytes of a file (expected "" for no value); writing "new" there.
    void iniBytes_data() {
        columns<QByteArray, QByteArray, QByteArray, QByteArray, bool>("content", "section", "key", "expected", "write");
        const auto row = [](const char* name, QByteArray content, const char* section, const char* key,
                            QByteArray expected, bool write = false) {
            QTest::newRow(name) << content << QByteArray(section) << QByteArray(key) << expected << write;
        };
        const QByteArray file =
            "; comment\r\n[General]\r\nName = value one \r\nname=second\r\n;Hidden=x\r\n"
            "Quoted=\"a b\"\r\nSingle='c'\r\nHalf=\"d\r\n[general]\r\nOther=1\r\n[Next]\r\nName=n\r\n";
        // clang-format off
        row("blanks trimmed", file, "General", "Name", "value one");
        row("case-insensitive, first key wins", file, "GENERAL", "NAME", "value one");
        row("first section wins", file, "general", "Other", "");
        row("comment is no key", file, "General", ";Hidden", "");
        row("double quotes removed", file, "General", "Quoted", "a b");
        row("single quotes removed", file, "General", "Single", "c");
        row("unmatched quote kept", file, "General", "Half", "\"d");
        row("other section", file, "Next", "Name", "n");
        row("missing section", file, "None", "Name", "");
        row("254 cut", "[S]\r\nK=" + QByteArray(300, 'x') + "\r\n", "S", "K", QByteArray(254, 'x'));
        row("LF only", "[S]\nK=v\n", "S", "K", "v");
        row("write in place, rest kept", "[A]\r\n  key = old  \r\nz=1\r\n[B]\r\nkey=b\r\n", "a", "KEY", "[A]\r\nKEY=new\r\nz=1\r\n[B]\r\nkey=b\r\n", true);
        row("write new key after last entry", "[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n", "A", "k", "[A]\r\nx=1\r\nk=new\r\n\r\n[B]\r\ny=2\r\n", true);
        row("write new section at end", "[A]\r\nx=1\r\n", "C", "k", "[A]\r\nx=1\r\n[C]\r\nk=new\r\n", true);
        row("write empty file", "", "C", "k", "[C]\r\nk=new\r\n", true);
        row("write no final line end", "[A]\r\nx=1", "A", "k", "[A]\r\nx=1\r\nk=new\r\n", true);
        row("write after a final CR alone", "[A]\r\nx=1\r", "A", "k", "[A]\r\nx=1\r\r\nk=new\r\n", true);
        row("write duplicate key: first replaced", "[A]\r\nk=1\r\nk=2\r\n", "A", "k", "[A]\r\nk=new\r\nk=2\r\n", true);
        row("write empty section", "[A]\r\n[B]\r\n", "A", "k", "[A]\r\nk=new\r\n[B]\r\n", true);
        // clang-format on
    }
    void iniBytes() {
        const auto [content, section, key, write] =
            fetch<QByteArray, QByteArray, QByteArray, bool>("content", "section", "key", "write");
        QTEST(write ? IniFile::writeValue(content, section, key, "new") : IniFile::readValue(content, section, key),
              "expected");
        // The index gives the same, also when it holds too few names and searches for the rest.
        for (const qsizetype names : {IniIndex::MaxLines, qsizetype(1), qsizetype(3)})
            if (!write)
                QTEST(IniIndex(content, names).value(section, key), "expected");
    }

    // Hostile settings files around [Zolpane] PasteMethod=3: the value is read, and a write changes that line
    // alone, whatever else the file holds. Built one at a time, as each takes tens of megabytes.
    void hostileFiles_data() {
        QTest::addColumn<QString>("shape");
        for (const char* shape : {"50 MB before the section", "50 MB inside the section", "a line of 10 MB",
                                  "binary bytes", "section repeated 100,000 times"})
            QTest::newRow(shape) << shape;
    }
    void hostileFiles() {
        QFETCH(QString, shape);
        const QByteArray section = "[Zolpane]\r\nExiting=1\r\nPasteMethod=3\r\n";
        QByteArray junkKeys; // 50 MB of distinct keys, more than the index holds
        junkKeys.reserve(shape.startsWith("50 MB") ? 51 << 20 : 0);
        for (int i = 0; shape.startsWith("50 MB") && junkKeys.size() < (50 << 20); ++i)
            junkKeys += "junk" + QByteArray::number(i) + "=x\r\n";
        const auto binary = [] {
            QByteArray bytes(1 << 20, Qt::Uninitialized);
            QRandomGenerator(17).fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / 4);
            return bytes;
        };
        const QHash<QString, std::function<QByteArray()>> shapes{
            {"50 MB before the section", [&] { return "[Junk]\r\n" + junkKeys + section; }},
            {"50 MB inside the section", [&] { return "[zolpane]\r\n" + junkKeys + "PasteMethod=3\r\n"; }},
            {"a line of 10 MB",
             [&] { return section.left(11) + QByteArray(10 << 20, 'k') + "=v\r\n" + section.mid(11); }},
            {"binary bytes", [&] { return binary() + "\n" + section + binary(); }},
            {"section repeated 100,000 times",
             [&] { return section + QByteArray("[ZOLPANE]\r\nPasteMethod=9\r\n").repeated(100'000); }}};
        const QByteArray before = shapes.value(shape)();
        junkKeys.clear();
        QTemporaryDir dir;
        const QString path = dir.filePath("settings.ini");
        QVERIFY(writeFile(path, before));
        QCOMPARE(IniFile::read(path, "Zolpane", "PasteMethod"), QStringLiteral("3"));
        QCOMPARE(IniFile::read(path, "Zolpane", "Missing"), QString());
        QVERIFY(IniFile::write(path, "Zolpane", "PasteMethod", "2"));
        const qsizetype at = before.indexOf("PasteMethod=3");
        QCOMPARE(readFile(path), QByteArray(before).replace(at, 13, "PasteMethod=2"));
        QCOMPARE(IniFile::read(path, "zolpane", "pastemethod"), QStringLiteral("2"));
    }

    void iniFileUsesCodePage() {
        qputenv("ZOLPANE_CODEPAGE", "1250");
        QTemporaryDir dir;
        const QString path = dir.filePath("t.ini");
        QVERIFY(IniFile::write(path, "Sekce", "Klíč", "žluťoučký kůň"));
        QCOMPARE(readFile(path), QByteArray("[Sekce]\r\nKl\xed\xe8=\x9elu\x9dou\xe8k\xfd k\xf9\xf2\r\n"));
        QCOMPARE(IniFile::read(path, "sekce", "KLÍČ"), QStringLiteral("žluťoučký kůň"));
        qputenv("ZOLPANE_CODEPAGE", "1252");
        QCOMPARE(CodePage::toAnsi(QStringLiteral("a€ž😀")), QByteArray("a\x80\x9e?"));
    }

    // In every single-byte code page each byte that means a character comes back from that character, and a
    // character the code page lacks becomes "?".
    void singleByteCodePages_data() {
        QTest::addColumn<int>("codePage");
        for (int codePage : {874, 1250, 1251, 1252, 1253, 1254, 1256, 1257})
            QTest::newRow(qPrintable(QString::number(codePage))) << codePage;
    }
    void singleByteCodePages() {
        QFETCH(int, codePage);
        int meaningful = 0;
        for (int b = 1; b < 256; ++b) {
            const QByteArray byte(1, char(b));
            const QString text = CodePage::fromAnsi(byte, codePage);
            if (text == QStringLiteral("?") && b != '?')
                continue;
            ++meaningful;
            QCOMPARE(CodePage::toAnsi(text, codePage), byte);
        }
        QVERIFY(meaningful > 200);
        QCOMPARE(CodePage::toAnsi(QStringLiteral("\u4e00x"), codePage), QByteArray("?x"));
    }

    void codePageForLocale_data() {
        columns<QString, int>("locale", "codePage");
        for (const auto& [locale, codePage] : {std::pair{"cs_CZ.UTF-8", 1250},
                                               {"ru_RU.UTF-8", 1251},
                                               {"zh_TW.UTF-8", 950},
                                               {"zh_CN", 936},
                                               {"en_US.UTF-8", 1252},
                                               {"C", 1252}})
            QTest::newRow(locale) << QString::fromLatin1(locale) << codePage;
    }
    void codePageForLocale() {
        QFETCH(QString, locale);
        QTEST(CodePage::codePageForLocale(locale), "codePage");
        // The program's code page follows the environment's locale, also when it changes between two rows.
        const bool forcedSet = qEnvironmentVariableIsSet("ZOLPANE_CODEPAGE");
        const QByteArray forced = qgetenv("ZOLPANE_CODEPAGE"), all = qgetenv("LC_ALL");
        const auto restore = qScopeGuard([&] {
            forcedSet ? qputenv("ZOLPANE_CODEPAGE", forced) : qunsetenv("ZOLPANE_CODEPAGE");
            qputenv("LC_ALL", all);
        });
        qunsetenv("ZOLPANE_CODEPAGE");
        qputenv("LC_ALL", locale.toLatin1());
        QTEST(CodePage::ansiCodePage(), "codePage");
    }
};

ZP_TEST_CLASS(IniFileTest)
#include "IniFileTest.moc"
