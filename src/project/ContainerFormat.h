#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

// The project container: a folder of small files packed into one file.
//
//   int32  member count N
//   N times: int16 name length L, L bytes of name (ANSI code page, no terminator),
//            int32 data length D, D bytes of data
//
// All integers are little-endian; members follow each other without gaps. Everything here works on bytes in
// memory; reading and writing files is ProjectContainer's work. Files from outside are untrusted: every
// length is checked against what is left of the container before anything is allocated or read.
namespace ContainerFormat {

// How an empty row's text (ClipTable::EmptyClipText) is stored in the index and its data file: raw bytes
// whatever the code page. Its six no-break spaces have no place in the double-byte code pages, where "A0 A0"
// may even decode to another character, so readers compare these bytes before decoding.
inline const QByteArray EmptyClipBytes = QByteArrayLiteral("Empty\xA0\xA0\xA0\xA0\xA0\xA0");

// The longest name and data a member can have.
constexpr qint64 MaxNameSize = 0x7fff;
constexpr qint64 MaxDataSize = 0x7fffffff;
// The most a reader takes of one member's data and of all of them: far beyond what a clip holds (a picture of
// 50 megapixels is 150 MB as a bitmap), far below what would exhaust memory. A file that really holds a member of
// 2 GB, or gigabytes in all, is damaged as far as the reader goes: it stops there.
constexpr qint64 MaxReadDataSize = qint64(256) << 20;
constexpr qint64 MaxReadTotalSize = qint64(1) << 30;

struct Member {
    QString name; // decoded from the ANSI code page
    QByteArray data;
};

// Reads a container handed over in pieces, so that a file can be read one member at a time: the caller
// passes exactly wanted() bytes to take() until wanted() is 0. A length is checked against what is left of
// the container before its bytes are wanted, so a caller never reads or allocates beyond the end.
class Decoder {
public:
    explicit Decoder(qint64 size, qint64 maxData = MaxReadDataSize, qint64 maxTotal = MaxReadTotalSize)
        : m_left(size), m_maxData(maxData), m_dataLeft(maxTotal) {
        expect(4, Step::Count);
    }

    qint64 wanted() const { return m_wanted; }
    // The member these bytes completed, if any.
    std::optional<Member> take(QByteArray bytes);
    // Why reading stopped early ("unexpected end", "negative length", "member too large", ...); null when it has
    // not.
    const char* damage() const { return m_damage; }

private:
    enum class Step { Count, NameLength, Name, DataLength, Data, Done };
    void step(QByteArray bytes);
    void expect(qint64 size, Step next);
    void expectLength(qint64 size, Step next);
    void nextMember();
    void stop(const char* damage);

    qint64 m_left;
    qint64 m_maxData;
    qint64 m_dataLeft;
    qint64 m_wanted = 0;
    Step m_step = Step::Done;
    qint32 m_membersLeft = 0;
    const char* m_damage = nullptr;
    Member m_member;
    std::optional<Member> m_done;
};

struct Parsed {
    QList<Member> members; // up to the first damaged one
    const char* damage = nullptr;
};

Parsed parse(QByteArrayView bytes);

// The bytes that open a container of count members, and those that come before a member's data. The caller
// keeps names and data within MaxNameSize and MaxDataSize.
QByteArray countBytes(qint32 count);
QByteArray memberHead(const QByteArray& ansiName, qint32 dataSize);

} // namespace ContainerFormat
