#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>

#include <vector>

// An INI file's bytes with its header lines found in one pass, and the key lines of a section found in one pass
// over its body when it is first asked for; so the hundred reads of a start-up cost about one pass over a large
// file instead of one each, and sections nobody asks for cost only their header. value() gives what
// IniFile::readValue() gives. Only so many lines are indexed (a file of millions of tiny lines would otherwise
// take more memory than its bytes); past them the lines are searched when a name is asked for, and the answer is
// kept.
class IniIndex final {
public:
    // 8 to 16 bytes each: at most some 64 MB whatever the file holds.
    static constexpr qsizetype MaxLines = 4'000'000;

    explicit IniIndex(QByteArray content, qsizetype maxLines = MaxLines);

    const QByteArray& content() const { return m_content; }
    QByteArray value(const QByteArray& section, const QByteArray& key);

private:
    // Line offsets by a 32-bit hash of the line's name, in file order for each hash.
    class Lines {
    public:
        struct Entry {
            quint32 hash;
            quint32 offset;
        };
        explicit Lines(const std::vector<Entry>& inFileOrder);
        // The offsets filed under hash, in file order.
        std::pair<const Entry*, const Entry*> find(quint32 hash) const;

    private:
        quint32 m_mask = 0;
        std::vector<quint32> m_starts; // bucket b is m_entries[m_starts[b] .. m_starts[b + 1])
        std::vector<Entry> m_entries;
    };
    struct Body {
        qsizetype begin; // lines [begin, end) of the first section of a name
        qsizetype end;
        qsizetype keysEnd; // its key lines before this offset are indexed
        Lines keys;
    };

    QByteArrayView lineText(qsizetype pos) const;
    quint32 hashOf(QByteArrayView name) const;
    // The first header line named section; -1 when there is none among the indexed headers.
    qsizetype findHeader(QByteArrayView section) const;
    Body& bodyOf(qsizetype header);
    QByteArray search(QByteArrayView section, QByteArrayView key, qsizetype from, bool inBody);

    QByteArray m_content;
    int m_codePage;
    size_t m_seed;
    qsizetype m_linesLeft;
    qsizetype m_headersEnd = 0;           // every header line before this offset is indexed
    std::vector<quint32> m_headerOffsets; // in file order
    Lines m_headers;
    QHash<qsizetype, Body> m_bodies;          // by header offset, once asked for
    QHash<QByteArray, QByteArray> m_searched; // answers found by searching, by section and key
};
