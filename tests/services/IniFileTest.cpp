#include "services/IniFile.h"
#include "services/CodePage.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// The INI routines over bytes and files, and the code pages the files are written in.
class IniFileTest final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void iniRead_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("section");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray file =
            "; comment\r\n[General]\r\nName = value one \r\nname=second\r\n;Hidden=x\r\n"
            "Quoted=\"a b\"\r\nSingle='c'\r\nHalf=\"d\r\n[general]\r\nOther=1\r\n[Next]\r\nName=n\r\n";
        const QByteArray longValue = "[S]\r\nK=" + QByteArray(300, 'x') + "\r\n";
        // clang-format off
        QTest::newRow("blanks trimmed") << file << QByteArray("General") << QByteArray("Name") << QByteArray("value one");
        QTest::newRow("case-insensitive, first key wins") << file << QByteArray("GENERAL") << QByteArray("NAME")
                                                          << QByteArray("value one");
        QTest::newRow("first section wins") << file << QByteArray("general") << QByteArray("Other") << QByteArray();
        QTest::newRow("comment is no key") << file << QByteArray("General") << QByteArray(";Hidden") << QByteArray();
        QTest::newRow("double quotes removed") << file << QByteArray("General") << QByteArray("Quoted") << QByteArray("a b");
        QTest::newRow("single quotes removed") << file << QByteArray("General") << QByteArray("Single") << QByteArray("c");
        QTest::newRow("unmatched quote kept") << file << QByteArray("General") << QByteArray("Half") << QByteArray("\"d");
        QTest::newRow("other section") << file << QByteArray("Next") << QByteArray("Name") << QByteArray("n");
        QTest::newRow("missing section") << file << QByteArray("None") << QByteArray("Name") << QByteArray();
        QTest::newRow("254 cut") << longValue << QByteArray("S") << QByteArray("K") << QByteArray(254, 'x');
        QTest::newRow("LF only") << QByteArray("[S]\nK=v\n") << QByteArray("S") << QByteArray("K") << QByteArray("v");
        // clang-format on
    }
    void iniRead() {
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, section);
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, expected);
        QCOMPARE(IniFile::readValue(content, section, key), expected);
    }

    // Writing "new" to section A (any case) key k (any case).
    void iniWrite_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("section");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("expected");
        // clang-format off
        QTest::newRow("in place, rest kept") << QByteArray("[A]\r\n  key = old  \r\nz=1\r\n[B]\r\nkey=b\r\n")
            << QByteArray("a") << QByteArray("KEY") << QByteArray("[A]\r\nKEY=new\r\nz=1\r\n[B]\r\nkey=b\r\n");
        QTest::newRow("new key after last entry") << QByteArray("[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n") << QByteArray("A")
            << QByteArray("k") << QByteArray("[A]\r\nx=1\r\nk=new\r\n\r\n[B]\r\ny=2\r\n");
        QTest::newRow("new section at end") << QByteArray("[A]\r\nx=1\r\n") << QByteArray("C") << QByteArray("k")
                                            << QByteArray("[A]\r\nx=1\r\n[C]\r\nk=new\r\n");
        QTest::newRow("empty file") << QByteArray() << QByteArray("C") << QByteArray("k") << QByteArray("[C]\r\nk=new\r\n");
        QTest::newRow("no final line end") << QByteArray("[A]\r\nx=1") << QByteArray("A") << QByteArray("k")
                                           << QByteArray("[A]\r\nx=1\r\nk=new\r\n");
        QTest::newRow("duplicate key: first replaced") << QByteArray("[A]\r\nk=1\r\nk=2\r\n") << QByteArray("A")
                                                       << QByteArray("k") << QByteArray("[A]\r\nk=new\r\nk=2\r\n");
        QTest::newRow("empty section") << QByteArray("[A]\r\n[B]\r\n") << QByteArray("A") << QByteArray("k")
                                       << QByteArray("[A]\r\nk=new\r\n[B]\r\n");
        // clang-format on
    }
    void iniWrite() {
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, section);
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, expected);
        QCOMPARE(IniFile::writeValue(content, section, key, "new"), expected);
    }

    void iniFileUsesCodePage() {
        qputenv("ZOLPANE_CODEPAGE", "1250");
        QTemporaryDir dir;
        const QString path = dir.filePath("t.ini");
        QVERIFY(IniFile::write(path, "Sekce", "Klíč", "žluťoučký kůň"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("[Sekce]\r\nKl\xed\xe8=\x9elu\x9dou\xe8k\xfd k\xf9\xf2\r\n"));
        QCOMPARE(IniFile::read(path, "sekce", "KLÍČ"), QStringLiteral("žluťoučký kůň"));
        qputenv("ZOLPANE_CODEPAGE", "1252");
        QCOMPARE(CodePage::toAnsi(QStringLiteral("a€ž😀")), QByteArray("a\x80\x9e?"));
    }

    void codePageForLocale_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<int>("codePage");
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
        QFETCH(int, codePage);
        QCOMPARE(CodePage::codePageForLocale(locale), codePage);
    }
};

std::unique_ptr<QObject> iniFileTest() {
    return std::make_unique<IniFileTest>();
}

#include "IniFileTest.moc"
