// The container parser against a plain reading of the format: the same members with the same data, and damage
// reported exactly when the plain reading meets a short, negative or oversized length before the last member.
// The seeds are projects saved by the writer.

#include "FuzzSupport.h"
#include "project/ContainerFormat.h"
#include "services/CodePage.h"

#include <QtEndian>

using FuzzSupport::check;

namespace {

// The format read in the most direct way; false where the parser must report damage.
struct PlainMember {
    QByteArrayView name;
    QByteArrayView data;
};

bool readPlain(QByteArrayView bytes, QList<PlainMember>& members) {
    qsizetype pos = 0;
    const auto take = [&](qsizetype size, QByteArrayView& out) {
        if (size < 0 || size > bytes.size() - pos)
            return false;
        out = bytes.sliced(pos, size);
        pos += size;
        return true;
    };
    QByteArrayView field;
    if (!take(4, field))
        return false;
    const qint32 count = qFromLittleEndian<qint32>(field.data());
    if (count < 0)
        return false;
    for (qint32 i = 0; i < count; ++i) {
        PlainMember member;
        if (!take(2, field) || !take(qFromLittleEndian<qint16>(field.data()), member.name) || !take(4, field) ||
            !take(qFromLittleEndian<qint32>(field.data()), member.data))
            return false;
        members.append(member);
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char*** argv) {
    FuzzSupport::startApplication((*argv)[0]);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes = FuzzSupport::bytesOf(data, size);
    QList<PlainMember> plain;
    const bool whole = readPlain(bytes, plain);
    const ContainerFormat::Parsed parsed = ContainerFormat::parse(bytes);
    check(whole == (parsed.damage == nullptr), "damage reported exactly for a damaged container");
    check(parsed.members.size() == plain.size(), "every complete member and no other");
    for (qsizetype i = 0; i < plain.size(); ++i) {
        const ContainerFormat::Member& member = parsed.members[i];
        check(member.data == plain[i].data, "member data as stored");
        check(member.name == CodePage::fromAnsi(plain[i].name.toByteArray()), "member name as stored");
    }
    return 0;
}
