// The spare-key lending decisions on a clock the test moves: which symbols get keys ahead of use, which symbol
// gives way, when a lent level may change and when the keys go back.

#include "platform/x11/SpareKeyLending.h"
#include "TestSupport.h"

#include <QLoggingCategory>

#include <random>

using Symbol = SpareKeyLending::Symbol;
using L = SpareKeyLending;
using TestSupport::columns;
using TestSupport::fetch;

namespace {

constexpr quint8 kFirstSpareKeycode = 200;

// Strokes written as text: "." is a key of the layout, any other character a symbol the layout lacks.
QList<Symbol> strokes(const QString& text) {
    QList<Symbol> list;
    for (QChar c : text)
        list.append(c == u'.' ? 0 : Symbol(c.unicode()));
    return list;
}

Symbol sym(char c) {
    return Symbol(uchar(c));
}

QString dots(qsizetype n) {
    return QString(n, u'.');
}

// A lending over `keys` spare keys with consecutive keycodes, nothing lent yet, on the test's clock.
struct Fixture {
    qint64 now = 0;
    SpareKeyLending lending{[this] { return now; }};

    Fixture(int keys, int levels) {
        QList<quint8> spare;
        for (int i = 0; i < keys; ++i)
            spare.append(quint8(kFirstSpareKeycode + i));
        lending.chooseLevels(levels == 4, levels == 4);
        lending.refresh(spare, [](const KeyLevels&) { return false; });
    }
    // Plans the strokes and lends ahead from `from`; the clock is moved past the pause after the mapping.
    void start(const QString& text, qsizetype from = 0) {
        lending.plan(strokes(text));
        lending.beginTyping();
        lending.lendAhead(from);
        now += L::kMappingSettleMs;
    }
};

} // namespace

class SpareKeyLendingTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QLoggingCategory::setFilterRules(QStringLiteral("zolpane.platform.debug=false")); }

    void lendsAheadOfUse_data() {
        columns<QString, int, QString>("text", "keys", "lent"); // lent: the symbols lent from the first stroke on
        QTest::newRow("every symbol the keys hold") << "ab.c.a" << 2 << "abc";
        QTest::newRow("keys run out: the first used first") << "cabab" << 1 << "ca";
        QTest::newRow("first missing symbol just near enough") << dots(L::kLendAheadStrokes) + "a" << 1 << "a";
        QTest::newRow("first missing symbol still too far") << dots(L::kLendAheadStrokes + 1) + "a" << 1 << "";
        QTest::newRow("nothing beyond the lookahead") << "a" + dots(L::kLookaheadStrokes - 1) + "b" << 2 << "a";
        QTest::newRow("keys of the layout only") << "...." << 2 << "";
    }
    void lendsAheadOfUse() {
        const auto [text, keys, lent] = fetch<QString, int, QString>("text", "keys", "lent");
        Fixture f(keys, 2);
        f.lending.plan(strokes(text));
        const QList<KeyLevels> written = f.lending.lendAhead(0);
        QSet<Symbol> onWrittenKeys;
        for (const KeyLevels& key : written)
            onWrittenKeys.unite(QSet<Symbol>(key.symbols.begin(), key.symbols.end()));
        for (Symbol s : strokes(text)) {
            if (s) {
                QCOMPARE(f.lending.find(s).has_value(), lent.contains(QChar(char16_t(s))));
                QCOMPARE(onWrittenKeys.contains(s), lent.contains(QChar(char16_t(s))));
            }
        }
        // Lent symbols keep their places: lending again changes nothing.
        QVERIFY(f.lending.lendAhead(0).isEmpty());
    }

    void givesWayToTheSymbolNeededLatest_data() {
        // waits: for b to be read, as the symbol kept is needed soon
        columns<QString, char, char, bool>("text", "givesWay", "keeps", "waits");
        const QString next = "abc" + dots(L::kLookaheadStrokes - 1); // a and b again only after the lookahead
        QTest::newRow("a needed after b") << next + "ba" << 'a' << 'b' << false;
        QTest::newRow("b needed after a") << next + "ab" << 'b' << 'a' << false;
        QTest::newRow("a never again") << next + "b" << 'a' << 'b' << false;
        QTest::newRow("b never again") << next + "a" << 'b' << 'a' << false;
        QTest::newRow("a needed right after c") << QStringLiteral("abca") << 'b' << 'a' << true;
    }
    void givesWayToTheSymbolNeededLatest() {
        const auto [text, givesWay, keeps, waits] =
            fetch<QString, char, char, bool>("text", "givesWay", "keeps", "waits");
        // a and b hold the two levels of the only key and c comes next; a is read long before b.
        Fixture f(1, 2);
        f.start(text);
        const auto gone = f.lending.find(sym(givesWay));
        const auto kept = f.lending.find(sym(keeps));
        QVERIFY(gone && kept && f.lending.use(0));
        f.now += 2 * L::kRemapAfterUseMs;
        QVERIFY(f.lending.use(1));
        f.now += L::kRemapAfterUseMs - 1;
        if (waits)
            QVERIFY(f.lending.lendAhead(2).isEmpty());
        f.now += 1;
        QCOMPARE(f.lending.lendAhead(2).size(), 1);
        QCOMPARE(f.lending.find(sym('c'))->level, gone->level);
        QVERIFY(!f.lending.find(sym(givesWay)));
        QCOMPARE(f.lending.find(sym(keeps))->level, kept->level);
    }

    void waitsUntilTheLastUseIsRead_data() {
        // typed: where a and b are typed (-1: not); aReadBy: when even a slow target has read a; backAt: when the keys
        // may go back (-1: never, nothing lent).
        columns<QString, int, qint64, qint64>("text", "typed", "aReadBy", "backAt");
        // a and b are typed kMappingSettleMs after the sending began.
        const qint64 typedAt = L::kMappingSettleMs;
        const auto slowReadBy = [](int stroke) { return qint64(stroke + 1) * L::kSlowTargetMsPerKey; };
        QTest::newRow("nothing lent") << "..." << -1 << qint64(-1) << qint64(-1);
        QTest::newRow("lent, never typed") << "a" << -1 << qint64(-1) << typedAt + L::kRevertDelayMs;
        QTest::newRow("early in a sending: a while after the use")
            << "abc" << 0 << typedAt + L::kRemapAfterUseMs << typedAt + L::kRemapAfterUseMs + L::kRevertDelayMs;
        QTest::newRow("late in a long sending: a slow target's pace")
            << dots(1000) + "abc" << 1000 << slowReadBy(1000) << slowReadBy(1001) + L::kRevertDelayMs;
    }
    void waitsUntilTheLastUseIsRead() {
        const auto [text, typed, aReadBy, backAt] =
            fetch<QString, int, qint64, qint64>("text", "typed", "aReadBy", "backAt");
        // One key of two levels holds a and b; c needs a place, and neither a nor b is needed again.
        Fixture f(1, 2);
        f.start(text, std::max(typed, 0));
        if (typed >= 0) {
            const auto a = f.lending.use(typed);
            QVERIFY(a && f.lending.use(typed + 1));
            f.now = aReadBy - 1;
            QVERIFY(f.lending.lendAhead(typed + 2).isEmpty());
            QVERIFY(!f.lending.find(sym('c')));
            QVERIFY(f.lending.waitBefore(typed + 2) > 0);
            f.now = aReadBy;
            QCOMPARE(f.lending.lendAhead(typed + 2).size(), 1);
            QCOMPARE(f.lending.find(sym('c'))->level, a->level);
        }
        // The keys go back once the last use of any lent level (here b's) is read.
        const qint64 delay = f.lending.giveBackDelay();
        QCOMPARE(delay < 0 ? qint64(-1) : f.now + delay, backAt);
        const QList<KeyLevels> back = f.lending.giveBack();
        QCOMPARE(back.size(), backAt < 0 ? 0 : 1);
        for (const KeyLevels& key : back)
            QVERIFY(key.isEmpty());
        QVERIFY(!f.lending.find(sym('a')));
        QCOMPARE(f.lending.giveBackDelay(), -1);
        QVERIFY(f.lending.giveBack().isEmpty());
    }

    void levels_data() {
        columns<bool, bool, QString>("levelThreeKey", "fourLevelType", "lent"); // lent: of abcd on one key, by level
        QTest::newRow("Level 3 key and four-level type") << true << true << "abcd";
        QTest::newRow("no four-level type") << true << false << "ab";
        QTest::newRow("no Level 3 key") << false << true << "ab";
    }
    void levels() {
        const auto [levelThreeKey, fourLevelType, lent] =
            fetch<bool, bool, QString>("levelThreeKey", "fourLevelType", "lent");
        Fixture f(1, 2);
        f.lending.chooseLevels(levelThreeKey, fourLevelType);
        QCOMPARE(f.lending.levels(), int(lent.size()));
        f.lending.plan(strokes("abcd"));
        const QList<KeyLevels> written = f.lending.lendAhead(0);
        QCOMPARE(written.size(), 1);
        for (int level = 0; level < KeyLevels::kMaxLevels; ++level) {
            const Symbol expected = level < lent.size() ? Symbol(lent.at(level).unicode()) : 0;
            QCOMPARE(written.first().symbols[level], expected);
            if (expected)
                QCOMPARE(f.lending.find(expected)->level, level);
        }
    }

    void twoLevelsOnlyForgetsLevelThreeAndFour() {
        Fixture f(1, 4);
        f.start("abcdc");
        QVERIFY(f.lending.find(sym('d')));
        f.lending.keepTwoLevels();
        QCOMPARE(f.lending.levels(), 2);
        QVERIFY(f.lending.find(sym('a')) && f.lending.find(sym('b')));
        QVERIFY(!f.lending.find(sym('c')) && !f.lending.find(sym('d')));
        // c waits for a place on the first two levels.
        QVERIFY(f.lending.waitBefore(2) > 0);
    }

    void neverLendsAHigherLevelWithoutTheFirst() {
        // a is typed and the key given back at once: its first level is empty but a may not have been read yet,
        // so b waits rather than go to the free second level.
        Fixture f(1, 2);
        f.start("a");
        QVERIFY(f.lending.use(0));
        QCOMPARE(f.lending.giveBack().size(), 1);
        f.lending.plan(strokes("b"));
        QVERIFY(f.lending.lendAhead(0).isEmpty());
        QVERIFY(!f.lending.find(sym('b')));
        f.now += 10 * L::kRemapAfterUseMs;
        QCOMPARE(f.lending.lendAhead(0).size(), 1);
        QCOMPARE(f.lending.find(sym('b'))->level, 0);
    }

    void keepsKeysTheServerStillShows_data() {
        QTest::addColumn<bool>("shown");
        QTest::newRow("server still shows our symbols") << true;
        QTest::newRow("someone else changed the key") << false;
    }
    void keepsKeysTheServerStillShows() {
        QFETCH(bool, shown);
        Fixture f(2, 2);
        f.start("ab");
        const auto a = f.lending.find(sym('a'));
        QVERIFY(a);
        // A key with our symbols is no spare key in the layout's eyes: only the other one is listed.
        const quint8 other = a->keycode == kFirstSpareKeycode ? kFirstSpareKeycode + 1 : kFirstSpareKeycode;
        f.lending.refresh({other}, [&](const KeyLevels& key) { return shown && key.keycode == a->keycode; });
        QCOMPARE(f.lending.find(sym('a')).has_value(), shown);
        QCOMPARE(f.lending.isSpareKey(a->keycode), shown);
        QVERIFY(f.lending.isSpareKey(other));
    }

    void typesLongTextsThroughFewKeys_data() {
        columns<int, int, int, bool>("keys", "levels", "distinct", "lentAgain"); // distinct: symbols the layout lacks
        // Xvfb has 19 keycodes without symbols.
        QTest::newRow("19 keys, 30 symbols: lent once") << 19 << 2 << 30 << false;
        QTest::newRow("19 keys, 65 symbols: lent in turns") << 19 << 2 << 65 << true;
        QTest::newRow("19 keys of four levels, 65 symbols: lent once") << 19 << 4 << 65 << false;
        QTest::newRow("19 keys of four levels, 100 symbols: lent in turns") << 19 << 4 << 100 << true;
        QTest::newRow("one key, 5 symbols") << 1 << 2 << 5 << true;
    }
    void typesLongTextsThroughFewKeys() {
        const auto [keys, levels, distinct, lentAgain] =
            fetch<int, int, int, bool>("keys", "levels", "distinct", "lentAgain");
        // Sends 2,000 strokes as the sender does (bursts of 8 a 2 ms tick, waiting when told) and checks each lent
        // stroke against a target that learns of a mapping change within kMappingSettleMs of it and reads key i
        // within kRemapAfterUseMs of its sending, or, when slower, by kSlowTargetMsPerKey * (i + 1) after the start.
        std::mt19937 random(1250);
        QList<Symbol> text;
        for (int i = 0; i < 2000; ++i)
            text.append(random() % 10 < 3 ? 0 : 0x1000100 + random() % distinct);
        Fixture f(keys, levels);
        f.lending.plan(text);
        f.lending.beginTyping();
        struct Change {
            qint64 at;
            Symbol symbol;
        };
        QHash<int, QList<Change>> changes; // by keycode * 4 + level
        struct Use {
            int place;
            qsizetype stroke;
            qint64 at;
        };
        QList<Use> uses;
        const auto write = [&](const QList<KeyLevels>& written) {
            for (const KeyLevels& key : written) {
                for (int level = 0; level < KeyLevels::kMaxLevels; ++level) {
                    QList<Change>& history = changes[key.keycode * 4 + level];
                    if (history.isEmpty() ? key.symbols[level] != 0 : history.last().symbol != key.symbols[level])
                        history.append({f.now, key.symbols[level]});
                }
            }
        };
        qsizetype next = 0;
        for (int round = 0; next < text.size(); ++round) {
            QVERIFY2(round < 100000, "the sending does not get on");
            write(f.lending.lendAhead(next));
            bool waiting = false;
            for (int burst = 0; burst < 8 && next < text.size(); ++burst, ++next) {
                if (const qint64 wait = f.lending.waitBefore(next); wait > 0) {
                    f.now += wait;
                    waiting = true;
                    break;
                }
                if (text.at(next)) {
                    const auto place = f.lending.use(next);
                    QVERIFY(place);
                    uses.append({place->keycode * 4 + place->level, next, f.now});
                }
            }
            if (!waiting)
                f.now += 2;
        }
        bool changedAgain = false;
        for (const Use& use : std::as_const(uses)) {
            const QList<Change>& history = changes.value(use.place);
            qsizetype current = history.size() - 1;
            while (current >= 0 && history.at(current).at > use.at)
                --current;
            QVERIFY(current >= 0);
            QCOMPARE(history.at(current).symbol, text.at(use.stroke));
            QVERIFY2(history.at(current).at + L::kMappingSettleMs <= use.at, "typed before the target saw the mapping");
            const qint64 readBy = std::max(use.at + L::kRemapAfterUseMs, (use.stroke + 1) * L::kSlowTargetMsPerKey);
            if (current + 1 < history.size())
                QVERIFY2(history.at(current + 1).at >= readBy, "the level changed before the target read the key");
            changedAgain = changedAgain || current > 0;
        }
        QCOMPARE(changedAgain, lentAgain);
    }
};

ZP_TEST_CLASS(SpareKeyLendingTest)
#include "SpareKeyLendingTest.moc"
