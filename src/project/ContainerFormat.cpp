#include "project/ContainerFormat.h"

#include "services/CodePage.h"

#include <QtEndian>

#include <utility>

namespace {

template <typename T> QByteArray littleEndian(T value) {
    QByteArray out(sizeof(T), Qt::Uninitialized);
    qToLittleEndian<T>(value, out.data());
    return out;
}

} // namespace

namespace ContainerFormat {

std::optional<Member> Decoder::take(QByteArray bytes) {
    if (bytes.size() != m_wanted) { // a caller's mistake; nothing more is read
        stop("unexpected end");
        return std::nullopt;
    }
    step(std::move(bytes));
    return std::exchange(m_done, std::nullopt);
}

void Decoder::step(QByteArray bytes) {
    m_left -= bytes.size();
    switch (m_step) {
    case Step::Count: {
        const qint32 count = qFromLittleEndian<qint32>(bytes.constData());
        if (count < 0) {
            stop("negative member count");
            return;
        }
        m_membersLeft = count;
        nextMember();
        return;
    }
    case Step::NameLength:
        expectLength(qFromLittleEndian<qint16>(bytes.constData()), Step::Name);
        return;
    case Step::Name:
        m_member.name = CodePage::fromAnsi(bytes);
        expect(4, Step::DataLength);
        return;
    case Step::DataLength: {
        const qint32 size = qFromLittleEndian<qint32>(bytes.constData());
        // A length within the file but beyond what is read stops before a byte of it is read: a sparse file can
        // hold 2 GB without taking disk space.
        if (size >= 0 && size <= m_left && (size > m_maxData || size > m_dataLeft))
            stop(size > m_maxData ? "member too large" : "project too large");
        else
            expectLength(size, Step::Data);
        return;
    }
    case Step::Data:
        m_dataLeft -= bytes.size();
        m_member.data = std::move(bytes);
        m_member.data.detach(); // parse() hands over views of its input
        m_done = std::exchange(m_member, {});
        nextMember();
        return;
    case Step::Done:
        return;
    }
}

void Decoder::expect(qint64 size, Step next) {
    if (size > m_left) {
        stop("unexpected end");
        return;
    }
    m_step = next;
    m_wanted = size;
    // Empty names and data take no bytes: their step is done at once.
    if (size == 0)
        step({});
}

void Decoder::expectLength(qint64 size, Step next) {
    if (size < 0 || size > m_left)
        stop(size < 0 ? "negative length" : "length past the end");
    else
        expect(size, next);
}

void Decoder::stop(const char* damage) {
    m_damage = damage;
    m_step = Step::Done;
    m_wanted = 0;
}

void Decoder::nextMember() {
    if (m_membersLeft == 0) {
        m_step = Step::Done;
        m_wanted = 0;
    } else {
        --m_membersLeft;
        expect(2, Step::NameLength);
    }
}

Parsed parse(QByteArrayView bytes) {
    Parsed parsed;
    Decoder decoder(bytes.size());
    for (qsizetype pos = 0; decoder.wanted() > 0;) {
        const qsizetype size = qsizetype(decoder.wanted());
        // A view of the input, not a copy: only a member's data is copied, by the decoder.
        if (std::optional<Member> member = decoder.take(QByteArray::fromRawData(bytes.data() + pos, size)))
            parsed.members.append(std::move(*member));
        pos += size;
    }
    parsed.damage = decoder.damage();
    return parsed;
}

QByteArray countBytes(qint32 count) {
    return littleEndian<qint32>(count);
}

QByteArray memberHead(const QByteArray& ansiName, qint32 dataSize) {
    return littleEndian<qint16>(qint16(ansiName.size())) + ansiName + littleEndian<qint32>(dataSize);
}

} // namespace ContainerFormat
