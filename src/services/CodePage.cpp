#include "services/CodePage.h"

#include <QHash>
#include <QMutex>
#include <QStringList>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <iconv.h>
#include <memory>
#include <string>

namespace {

// One conversion descriptor per direction and code page, opened on first use; iconv descriptors
// keep state, so each use resets them first.
class IconvCache {
public:
    ~IconvCache() {
        for (auto cd : std::as_const(m_cds))
            iconv_close(cd);
    }
    iconv_t get(const QByteArray& to, const QByteArray& from) {
        const QByteArray key = to + '|' + from;
        auto it = m_cds.find(key);
        if (it != m_cds.end())
            return it.value();
        iconv_t cd = iconv_open(to.constData(), from.constData());
        m_cds.insert(key, cd);
        return cd;
    }

private:
    QHash<QByteArray, iconv_t> m_cds;
};

QMutex g_iconvMutex;
IconvCache& cache() {
    static IconvCache c;
    return c;
}

QByteArray iconvName(int codePage) {
    return "CP" + QByteArray::number(codePage);
}

// Code pages whose converters are not one byte for one character: double-byte Asian ones, and Hebrew and
// Vietnamese, where iconv joins a letter with the combining marks that follow it.
bool needsIconv(int codePage) {
    return codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950 || codePage == 1255 ||
           codePage == 1258;
}

// Single-byte code pages convert through tables built once from iconv: one lookup a character instead of
// an iconv call, which matters for megabytes of text full of characters the code page lacks.
struct SingleByteTables {
    std::array<char, 65536> toByte{};     // '?' where the code page has no byte for the character
    std::array<char16_t, 256> fromByte{}; // u'?' for bytes without meaning
};

const SingleByteTables* singleByteTables(int codePage) {
    static QHash<int, std::shared_ptr<SingleByteTables>> tables;
    auto it = tables.find(codePage);
    if (it != tables.end())
        return it.value().get();
    iconv_t decode = iconv_open("UTF-16LE", iconvName(codePage).constData());
    std::shared_ptr<SingleByteTables> table;
    if (decode != iconv_t(-1)) {
        table = std::make_shared<SingleByteTables>();
        table->toByte.fill('?');
        for (int b = 0; b < 256; ++b) {
            char in = char(b);
            char16_t out = u'?';
            char* inPtr = &in;
            size_t inLeft = 1;
            char* outPtr = reinterpret_cast<char*>(&out);
            size_t outLeft = 2;
            iconv(decode, nullptr, nullptr, nullptr, nullptr);
            if (iconv(decode, &inPtr, &inLeft, &outPtr, &outLeft) == size_t(-1) || outLeft != 0)
                out = u'?';
            table->fromByte[size_t(b)] = out;
        }
        // The way back is the same table read backwards (the lowest byte for a character): in these code pages
        // iconv encodes exactly the characters it decodes, and 256 conversions instead of 65,536 keep the first
        // settings read of a start-up short.
        for (int b = 255; b >= 0; --b) {
            const char16_t c = table->fromByte[size_t(b)];
            if (c != u'?' || b == '?')
                table->toByte[size_t(c)] = char(b);
        }
        iconv_close(decode);
    }
    tables.insert(codePage, table);
    return table.get();
}

} // namespace

namespace CodePage {

int codePageForLocale(const QString& locale) {
    const QString lang = locale.section('.', 0, 0).section('@', 0, 0);
    const QString base = lang.section('_', 0, 0).toLower();
    static const QHash<QString, int> byLanguage = {
        {"cs", 1250}, {"sk", 1250}, {"pl", 1250}, {"hu", 1250}, {"hr", 1250}, {"sl", 1250}, {"ro", 1250}, {"sq", 1250},
        {"bs", 1250}, {"ru", 1251}, {"uk", 1251}, {"be", 1251}, {"bg", 1251}, {"mk", 1251}, {"sr", 1251}, {"el", 1253},
        {"tr", 1254}, {"az", 1254}, {"he", 1255}, {"ar", 1256}, {"fa", 1256}, {"ur", 1256}, {"et", 1257}, {"lv", 1257},
        {"lt", 1257}, {"vi", 1258}, {"th", 874},  {"ja", 932},  {"ko", 949}};
    if (base == "zh") {
        const QString region = lang.section('_', 1, 1).toUpper();
        if (region == "TW" || region == "HK")
            return 950;
        return 936;
    }
    return byLanguage.value(base, 1252);
}

int ansiCodePage() {
    // Asked for by every conversion and every settings read: the environment is read without building strings,
    // and a locale name is mapped again only when it changed.
    if (const char* forced = std::getenv("ZOLPANE_CODEPAGE")) {
        bool ok = false;
        const int page = QByteArrayView(forced).toInt(&ok, 0);
        if (ok && page > 0)
            return page;
    }
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(name);
        if (!value || !*value)
            continue;
        thread_local std::string lastLocale;
        thread_local int lastPage = 0;
        if (lastLocale != value) {
            lastPage = codePageForLocale(QString::fromLocal8Bit(value));
            lastLocale = value;
        }
        return lastPage;
    }
    return 1252;
}

QByteArray toAnsi(const QString& text, int codePage) {
    if (text.isEmpty())
        return {};
    if (!needsIconv(codePage)) {
        QMutexLocker lock(&g_iconvMutex);
        if (const SingleByteTables* table = singleByteTables(codePage)) {
            QByteArray out(text.size(), Qt::Uninitialized);
            qsizetype n = 0;
            const char16_t* units = reinterpret_cast<const char16_t*>(text.utf16());
            for (qsizetype i = 0; i < text.size(); ++i) {
                const char16_t u = units[i];
                if (QChar::isHighSurrogate(u) && i + 1 < text.size() && QChar::isLowSurrogate(units[i + 1]))
                    ++i; // a character beyond the basic plane: never in a single-byte code page
                out[n++] = (u >= 0xD800 && u <= 0xDFFF) ? '?' : table->toByte[u];
            }
            out.truncate(n);
            return out;
        }
    }
    const QList<uint> ucs4 = text.toUcs4();
    QByteArray out;
    out.reserve(text.size() * (codePage >= 874 && codePage < 1000 ? 2 : 1) + 8);
    QMutexLocker lock(&g_iconvMutex);
    iconv_t cd = cache().get(iconvName(codePage), "UTF-32LE");
    if (cd == iconv_t(-1)) {
        // Unknown code page: keep ASCII, replace the rest.
        for (uint c : ucs4)
            out.append(c < 0x80 ? char(c) : '?');
        return out;
    }
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char buffer[16];
    // Whole runs are converted at once; a character the code page lacks is replaced and skipped.
    const char* in = reinterpret_cast<const char*>(ucs4.constData());
    size_t inLeft = size_t(ucs4.size()) * 4;
    QByteArray chunk(4096, Qt::Uninitialized);
    while (inLeft > 0) {
        char* outPtr = chunk.data();
        size_t outLeft = size_t(chunk.size());
        const size_t rc = iconv(cd, const_cast<char**>(&in), &inLeft, &outPtr, &outLeft);
        out.append(chunk.constData(), chunk.size() - qsizetype(outLeft));
        if (rc == size_t(-1)) {
            if (errno == E2BIG)
                continue;
            out.append('?');
            in += 4;
            inLeft -= 4;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    // Flush any shift state (none of the code pages used has one; harmless).
    char* outPtr = buffer;
    size_t outLeft = sizeof(buffer);
    iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
    out.append(buffer, qsizetype(sizeof(buffer) - outLeft));
    return out;
}

QString fromAnsi(const QByteArray& bytes, int codePage) {
    if (bytes.isEmpty())
        return {};
    QMutexLocker lock(&g_iconvMutex);
    if (!needsIconv(codePage)) {
        if (const SingleByteTables* table = singleByteTables(codePage)) {
            QString out(bytes.size(), Qt::Uninitialized);
            char16_t* units = reinterpret_cast<char16_t*>(out.data());
            for (qsizetype i = 0; i < bytes.size(); ++i)
                units[i] = table->fromByte[uchar(bytes[i])];
            return out;
        }
    }
    iconv_t cd = cache().get("UTF-16LE", iconvName(codePage));
    if (cd == iconv_t(-1))
        return QString::fromLatin1(bytes);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    QString out;
    out.reserve(bytes.size());
    const char* in = bytes.constData();
    size_t inLeft = size_t(bytes.size());
    QByteArray chunk(8192, Qt::Uninitialized);
    while (inLeft > 0) {
        char* outPtr = chunk.data();
        size_t outLeft = size_t(chunk.size());
        const size_t rc = iconv(cd, const_cast<char**>(&in), &inLeft, &outPtr, &outLeft);
        out.append(QString::fromUtf16(reinterpret_cast<const char16_t*>(chunk.constData()),
                                      (chunk.size() - qsizetype(outLeft)) / 2));
        if (rc == size_t(-1)) {
            if (errno == E2BIG)
                continue;
            // An undefined byte, or a lead byte without its trail byte at the end.
            out.append(QLatin1Char('?'));
            ++in;
            --inLeft;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    return out;
}

int charsetForCodePage(int codePage) {
    switch (codePage) {
    case 1250:
        return 238;
    case 1251:
        return 204;
    case 1252:
        return 0;
    case 1253:
        return 161;
    case 1254:
        return 162;
    case 1255:
        return 177;
    case 1256:
        return 178;
    case 1257:
        return 186;
    case 1258:
        return 163;
    case 874:
        return 222;
    case 932:
        return 128;
    case 936:
        return 134;
    case 949:
        return 129;
    case 950:
        return 136;
    default:
        return 0;
    }
}

} // namespace CodePage

int SystemCharset() {
    const int charset = CodePage::charsetForCodePage(CodePage::ansiCodePage());
    return (charset < 0 || charset > 255) ? 0 : charset;
}
