#include "platform/x11/SpareKeyLending.h"
#include "platform/PlatformLog.h"

#include <QSet>

#include <algorithm>

SpareKeyLending::SpareKeyLending(Clock clock) : m_clock(std::move(clock)) {}

void SpareKeyLending::chooseLevels(bool hasLevelThreeKey, bool hasFourLevelType) {
    m_levels = hasLevelThreeKey && hasFourLevelType ? 4 : 2;
}

void SpareKeyLending::keepTwoLevels() {
    m_levels = 2;
    for (Slot& slot : m_slots) {
        slot.key.symbols[2] = slot.key.symbols[3] = 0;
        slot.lastUse[2] = slot.lastUse[3] = -1;
    }
}

void SpareKeyLending::refresh(const QList<quint8>& spareKeycodes,
                              const std::function<bool(const KeyLevels&)>& stillShown) {
    QList<Slot> refreshed;
    QSet<quint8> taken;
    for (const Slot& slot : std::as_const(m_slots)) {
        if (stillShown(slot.key)) {
            refreshed.append(slot);
            taken.insert(slot.key.keycode);
        }
    }
    for (quint8 keycode : spareKeycodes) {
        if (!taken.contains(keycode)) {
            Slot slot;
            slot.key.keycode = keycode;
            refreshed.append(slot);
        }
    }
    std::sort(refreshed.begin(), refreshed.end(),
              [](const Slot& a, const Slot& b) { return a.key.keycode < b.key.keycode; });
    m_slots = refreshed;
}

bool SpareKeyLending::isSpareKey(quint8 keycode) const {
    return std::any_of(
        m_slots.cbegin(), m_slots.cend(), [keycode](const Slot& s) { return s.key.keycode == keycode; });
}

bool SpareKeyLending::findLent(Symbol symbol, int& slot, int& level) const {
    for (slot = 0; slot < m_slots.size(); ++slot) {
        for (level = 0; level < m_levels; ++level)
            if (m_slots.at(slot).key.symbols[level] == symbol)
                return true;
    }
    return false;
}

std::optional<SpareKeyLending::Place> SpareKeyLending::find(Symbol symbol) const {
    int slot = 0, level = 0;
    if (!findLent(symbol, slot, level))
        return std::nullopt;
    return Place{m_slots.at(slot).key.keycode, level};
}

void SpareKeyLending::plan(QList<Symbol> strokeSymbols) {
    m_strokes = std::move(strokeSymbols);
}

void SpareKeyLending::beginTyping() {
    m_typingStart = m_clock();
}

qsizetype SpareKeyLending::nextUse(Symbol symbol, qsizetype from) const {
    for (qsizetype i = from; i < m_strokes.size(); ++i)
        if (m_strokes.at(i) == symbol)
            return i;
    return m_strokes.size();
}

QList<KeyLevels> SpareKeyLending::lendAhead(qsizetype next) {
    // The symbols the coming strokes need, in order of first use, as many as the spare keys hold. Those already
    // lent keep their places; the others are wanted.
    const qsizetype capacity = m_slots.size() * m_levels;
    const qsizetype horizon = std::min<qsizetype>(m_strokes.size(), next + kLookaheadStrokes);
    QList<Symbol> needed;
    qsizetype firstWanted = -1;
    QList<Symbol> wanted;
    int slot = 0, level = 0;
    for (qsizetype i = next; i < horizon && needed.size() < capacity; ++i) {
        const Symbol s = m_strokes.at(i);
        if (!s || needed.contains(s))
            continue;
        needed.append(s);
        if (!findLent(s, slot, level)) {
            wanted.append(s);
            if (firstWanted < 0)
                firstWanted = i;
        }
    }
    if (wanted.isEmpty() || firstWanted > next + kLendAheadStrokes)
        return {};

    // Free places: levels whose symbol is not among the needed ones. A place is ready once the target has surely
    // read its last use (safeAt); among ready places the symbol needed again latest is given up first.
    struct Free {
        int slot;
        int level;
        qsizetype nextUse;
    };
    const qint64 now = m_clock();
    QList<Free> ready;
    m_nextReadyAt = now + kRemapAfterUseMs;
    for (int i = 0; i < m_slots.size(); ++i) {
        const Slot& s = m_slots.at(i);
        for (int l = 0; l < m_levels; ++l) {
            const Symbol held = s.key.symbols[l];
            if (held && needed.contains(held))
                continue;
            const qint64 readyAt = s.lastUse[l] < 0 ? 0 : s.safeAt[l];
            if (readyAt > now)
                m_nextReadyAt = std::min(m_nextReadyAt, readyAt);
            else
                ready.append({i, l, held ? nextUse(held, next) : m_strokes.size() + 1});
        }
    }
    std::stable_sort(ready.begin(), ready.end(), [](const Free& a, const Free& b) { return a.nextUse > b.nextUse; });

    QList<int> changed;
    qsizetype lent = 0;
    for (Symbol s : std::as_const(wanted)) {
        // A key never carries a higher level without a first.
        const auto usable = std::find_if(ready.cbegin(), ready.cend(), [this](const Free& p) {
            return p.level == 0 || m_slots.at(p.slot).key.symbols[0];
        });
        if (usable == ready.cend())
            break; // the rest waits until more places are ready
        const Free place = *usable;
        ready.erase(usable);
        Slot& target = m_slots[place.slot];
        target.key.symbols[place.level] = s;
        target.usableAt[place.level] = now + kMappingSettleMs;
        target.lastUse[place.level] = -1;
        if (!changed.contains(place.slot))
            changed.append(place.slot);
        ++lent;
    }
    std::sort(changed.begin(), changed.end());
    QList<KeyLevels> keys;
    for (int index : std::as_const(changed))
        keys.append(m_slots.at(index).key);
    if (!keys.isEmpty())
        qCDebug(lcPlatform) << "lent" << lent << "symbols to" << keys.size() << "spare keys";
    return keys;
}

qint64 SpareKeyLending::waitBefore(qsizetype stroke) const {
    const Symbol symbol = m_strokes.value(stroke);
    if (!symbol)
        return 0;
    // A symbol not lent yet waits for a free level, a newly lent one for the end of its pause.
    int slot = 0, level = 0;
    const qint64 now = m_clock();
    const qint64 wait = findLent(symbol, slot, level) ? m_slots.at(slot).usableAt[level] - now
                                                      : std::max<qint64>(m_nextReadyAt - now, 1);
    return std::max<qint64>(wait, 0);
}

std::optional<SpareKeyLending::Place> SpareKeyLending::placeOf(qsizetype stroke) const {
    const Symbol symbol = m_strokes.value(stroke);
    return symbol ? find(symbol) : std::nullopt;
}

std::optional<SpareKeyLending::Place> SpareKeyLending::use(qsizetype stroke) {
    const Symbol symbol = m_strokes.value(stroke);
    int slot = 0, level = 0;
    if (!symbol || !findLent(symbol, slot, level))
        return std::nullopt;
    Slot& used = m_slots[slot];
    const qint64 now = m_clock();
    used.lastUse[level] = now;
    used.safeAt[level] = std::max(now + kRemapAfterUseMs, m_typingStart + (stroke + 1) * qint64(kSlowTargetMsPerKey));
    return Place{used.key.keycode, level};
}

qint64 SpareKeyLending::giveBackDelay() const {
    qint64 latest = -1;
    for (const Slot& slot : std::as_const(m_slots)) {
        for (int level = 0; level < KeyLevels::kMaxLevels; ++level)
            if (slot.key.symbols[level])
                latest = std::max(latest, slot.lastUse[level] < 0 ? 0 : slot.safeAt[level]);
    }
    if (latest < 0)
        return -1; // nothing lent
    return std::max<qint64>(latest - m_clock(), 0) + kRevertDelayMs;
}

QList<KeyLevels> SpareKeyLending::giveBack() {
    QList<KeyLevels> keys;
    for (Slot& slot : m_slots) {
        if (!slot.key.isEmpty()) {
            slot.key.symbols.fill(0);
            keys.append(slot.key);
        }
    }
    return keys;
}
