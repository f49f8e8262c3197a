#pragma once

#include "platform/x11/KeyLevels.h"

#include <QList>

#include <functional>
#include <optional>

// Decides which spare keys (keys without symbols) are lent to which symbols a sending needs but the layout
// lacks, when a lent level may be given another symbol, and when the lent keys may be given back. It knows
// nothing of the X server: the caller writes the keys it returns and tells it the time through the clock.
//
// A target looks a key's symbol up when it reads the key, which may be long after the key was sent, and it
// learns of a changed mapping only when it next reads events. So symbols are lent ahead of their use, a newly
// lent level is typed only after a pause, and a level that was typed keeps its symbol until even a slow target
// has read that key.
class SpareKeyLending final {
public:
    using Symbol = KeyLevels::Symbol;
    using Clock = std::function<qint64()>; // milliseconds, never going back

    // A changed mapping reaches the target as a notification it acts on when it next reads events; keys sent
    // before it has done so would be looked up in its old table. 30 ms was reliable when measured.
    static constexpr int kMappingSettleMs = 30;
    // Symbols missing from the layout are lent keys ahead of their use, once the first of them is this near, so
    // that the pause after a mapping change passes while the keys before them are typed.
    static constexpr int kLendAheadStrokes = 64;
    // How far ahead the symbols to keep are looked for; bounds the work per burst on long texts.
    static constexpr int kLookaheadStrokes = 512;
    // A lent key's level gets another symbol only this long after its last use. Xlib looks a key up in the key
    // table it fetches after reading the mapping change, which may come before it has handled the keys read in
    // the same batch: every key typed with the old symbol must have been handled by then. 120 ms still lost
    // characters to a target starved by a loaded processor (two cores, load 9); 300 ms did not.
    static constexpr int kRemapAfterUseMs = 300;
    // The spare keys go back to having no symbol this long after the target has surely read the last key, for
    // the same reason; a sending that starts before reuses the lent keys as they are.
    static constexpr int kRevertDelayMs = 1000;
    // Keys go out faster than a starved target reads them: a text typed in one second was still being read
    // three seconds later by a Tk window on two loaded cores (about 900 keys a second). A lent level is given
    // another symbol, and the lent keys given back, only once even a target reading no more than one key in this
    // time since the sending began has read the key's last use.
    static constexpr int kSlowTargetMsPerKey = 2;

    // Where a lent symbol is typed: level 1 and 3 need Shift, level 2 and 3 the Level 3 key.
    struct Place {
        quint8 keycode = 0;
        int level = 0;
    };

    explicit SpareKeyLending(Clock clock);

    // A lent key has two levels (plain, Shift), or four (also Level 3 and Shift+Level 3) when the layout has a
    // Level 3 key and a four-level key type: twice the characters at once, so keys are lent again less often.
    void chooseLevels(bool hasLevelThreeKey, bool hasFourLevelType);
    int levels() const { return m_levels; }
    // The mapping could only be written with two levels a key: what was lent on Level 3 and 4 is forgotten (the
    // strokes that need it wait for places on the first two levels), and lending goes on with two levels.
    void keepTwoLevels();

    // Takes the spare keys of the layout as it is now. Keys still lent from an earlier sending stay lent when
    // stillShown says the server still has our symbols on them; every other spare key is free.
    void refresh(const QList<quint8>& spareKeycodes, const std::function<bool(const KeyLevels&)>& stillShown);
    bool hasSpareKeys() const { return !m_slots.isEmpty(); }
    bool isSpareKey(quint8 keycode) const;
    // Where a symbol is lent now, on the levels in use.
    std::optional<Place> find(Symbol symbol) const;

    // Starts a sending: per stroke the symbol it types on a lent key, 0 for a stroke on a key of the layout.
    void plan(QList<Symbol> strokeSymbols);
    // Marks the moment the sending's keys begin to go out.
    void beginTyping();
    // Lends spare keys to the symbols the strokes from `next` on need soon; returns the keys to write, in the
    // order of their keycodes (empty when nothing changes).
    QList<KeyLevels> lendAhead(qsizetype next);
    // How long the stroke must wait before it may be typed: for its symbol to be lent, or for a newly lent
    // level's pause. 0 when it may go now.
    qint64 waitBefore(qsizetype stroke) const;
    // Where the stroke would be typed now, without marking a use. nullopt as for use().
    std::optional<Place> placeOf(qsizetype stroke) const;
    // The stroke is typed now: where, and from when its level may be lent again. nullopt for a stroke that needs
    // no lent key, or whose symbol is not lent.
    std::optional<Place> use(qsizetype stroke);

    // How long after now the lent keys may be given back; -1 when none is lent.
    qint64 giveBackDelay() const;
    // Gives every lent key back; returns them (all levels empty) for writing.
    QList<KeyLevels> giveBack();

private:
    struct Slot {
        KeyLevels key;
        std::array<qint64, KeyLevels::kMaxLevels> lastUse = {-1, -1, -1, -1}; // the last key event, -1 never
        std::array<qint64, KeyLevels::kMaxLevels> usableAt = {}; // from when a newly lent level may be typed
        std::array<qint64, KeyLevels::kMaxLevels> safeAt = {};   // by when the target has read the last use
    };
    bool findLent(Symbol symbol, int& slot, int& level) const;
    qsizetype nextUse(Symbol symbol, qsizetype from) const;

    Clock m_clock;
    int m_levels = 2;
    QList<Slot> m_slots;
    QList<Symbol> m_strokes;
    qint64 m_typingStart = 0;
    qint64 m_nextReadyAt = 0; // when the next level becomes free for another symbol
};
