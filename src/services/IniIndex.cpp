#include "services/IniIndex.h"

#include "services/CodePage.h"
#include "services/IniLines.h"

#include <limits>

namespace {

// The header lines of the content in file order, up to linesLeft of them; end receives where the pass stopped.
std::vector<quint32> headerLines(QByteArrayView bytes, qsizetype& linesLeft, qsizetype& end) {
    std::vector<quint32> offsets;
    qsizetype pos = 0;
    while (pos < bytes.size() && linesLeft > 0) {
        const IniLines::Line line = IniLines::lineAt(bytes, pos);
        QByteArrayView name;
        if (IniLines::sectionName(bytes.sliced(line.begin, line.end - line.begin), &name)) {
            offsets.push_back(quint32(line.begin));
            --linesLeft;
        }
        pos = line.next;
    }
    end = pos;
    return offsets;
}

} // namespace

IniIndex::Lines::Lines(const std::vector<Entry>& inFileOrder) {
    // A counting sort by bucket keeps the file order within each bucket.
    quint32 buckets = 1;
    while (buckets < inFileOrder.size() && buckets < (1u << 30))
        buckets <<= 1;
    m_mask = buckets - 1;
    m_starts.assign(size_t(buckets) + 1, 0);
    for (const Entry& e : inFileOrder)
        ++m_starts[(e.hash & m_mask) + 1];
    for (size_t b = 1; b < m_starts.size(); ++b)
        m_starts[b] += m_starts[b - 1];
    std::vector<quint32> next(m_starts.begin(), m_starts.end() - 1);
    m_entries.resize(inFileOrder.size());
    for (const Entry& e : inFileOrder)
        m_entries[next[e.hash & m_mask]++] = e;
}

std::pair<const IniIndex::Lines::Entry*, const IniIndex::Lines::Entry*> IniIndex::Lines::find(quint32 hash) const {
    const quint32 b = hash & m_mask;
    return {m_entries.data() + m_starts[b], m_entries.data() + m_starts[b + 1]};
}

IniIndex::IniIndex(QByteArray content, qsizetype maxLines)
    : m_content(std::move(content)), m_codePage(CodePage::ansiCodePage()), m_seed(QHashSeed::globalSeed()),
      // Offsets are kept in 32 bits; a larger content is searched line by line.
      m_linesLeft(m_content.size() <= std::numeric_limits<quint32>::max() ? maxLines : 0),
      m_headerOffsets(headerLines(m_content, m_linesLeft, m_headersEnd)), m_headers([this] {
          std::vector<Lines::Entry> entries;
          entries.reserve(m_headerOffsets.size());
          for (quint32 offset : m_headerOffsets) {
              QByteArrayView name;
              IniLines::sectionName(lineText(offset), &name);
              entries.push_back({hashOf(name), offset});
          }
          return Lines(entries);
      }()) {}

QByteArrayView IniIndex::lineText(qsizetype pos) const {
    const IniLines::Line line = IniLines::lineAt(m_content, pos);
    return QByteArrayView(m_content).sliced(line.begin, line.end - line.begin);
}

quint32 IniIndex::hashOf(QByteArrayView name) const {
    return quint32(IniLines::nameHash(name, m_codePage, m_seed));
}

qsizetype IniIndex::findHeader(QByteArrayView section) const {
    const quint32 hash = hashOf(section);
    const auto [first, last] = m_headers.find(hash);
    for (auto e = first; e != last; ++e) {
        QByteArrayView name;
        if (e->hash == hash && IniLines::sectionName(lineText(e->offset), &name) && IniLines::sameName(name, section))
            return e->offset;
    }
    return -1;
}

IniIndex::Body& IniIndex::bodyOf(qsizetype header) {
    if (auto known = m_bodies.find(header); known != m_bodies.end())
        return *known;
    const auto next = std::upper_bound(m_headerOffsets.begin(), m_headerOffsets.end(), quint32(header));
    const qsizetype end = next != m_headerOffsets.end() ? qsizetype(*next) : m_content.size();
    // A body that runs on past the indexed headers ends at the next header line, wherever that is.
    const QByteArrayView bytes(m_content);
    std::vector<Lines::Entry> entries;
    qsizetype pos = IniLines::lineAt(bytes, header).next;
    const qsizetype begin = pos;
    while (pos < end && m_linesLeft > 0) {
        const IniLines::Line line = IniLines::lineAt(bytes, pos);
        const QByteArrayView text = bytes.sliced(line.begin, line.end - line.begin);
        QByteArrayView name;
        if (IniLines::sectionName(text, &name))
            break;
        if (IniLines::keyName(text, &name)) {
            entries.push_back({hashOf(name), quint32(line.begin)});
            --m_linesLeft;
        }
        pos = line.next;
    }
    return *m_bodies.emplace(header, Body{begin, end, pos, Lines(entries)});
}

QByteArray IniIndex::value(const QByteArray& sectionArg, const QByteArray& keyArg) {
    const QByteArrayView section = QByteArrayView(sectionArg).trimmed();
    const QByteArrayView key = QByteArrayView(keyArg).trimmed();
    const qsizetype header = findHeader(section);
    if (header < 0) // a section not indexed can only start after the indexed headers
        return m_headersEnd < m_content.size() ? search(section, key, m_headersEnd, false) : QByteArray();
    const Body& body = bodyOf(header);
    const quint32 hash = hashOf(key);
    const auto [first, last] = body.keys.find(hash);
    for (auto e = first; e != last; ++e) {
        const QByteArrayView text = lineText(e->offset);
        QByteArrayView name;
        if (e->hash == hash && IniLines::keyName(text, &name) && IniLines::sameName(name, key))
            return IniLines::value(text);
    }
    // The key's first line, if any, lies past what could be indexed of the body.
    return body.keysEnd < body.end ? search(section, key, body.keysEnd, true) : QByteArray();
}

QByteArray IniIndex::search(QByteArrayView section, QByteArrayView key, qsizetype from, bool inBody) {
    const QByteArray id = QByteArray::number(section.size()) + ':' + section.toByteArray() + key.toByteArray();
    if (const auto known = m_searched.constFind(id); known != m_searched.cend())
        return *known;
    QByteArray answer;
    // From inside the section's body the search goes on to its end; from anywhere else it finds the section first.
    const IniLines::Body body =
        inBody ? IniLines::Body{-1, from, m_content.size()} : IniLines::findSection(m_content, from, section);
    if (body.begin >= 0) {
        const qsizetype pos = IniLines::findKey(m_content, body.begin, body.end, key);
        if (pos >= 0)
            answer = IniLines::value(lineText(pos));
    }
    m_searched.insert(id, answer);
    return answer;
}
