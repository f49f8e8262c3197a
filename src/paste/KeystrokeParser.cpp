#include "paste/KeystrokeParser.h"

#include <QHash>

namespace {

const QHash<QString, SpecialKey>& keyNames() {
    static const QHash<QString, SpecialKey> names = [] {
        QHash<QString, SpecialKey> n{
            {QStringLiteral("ENTER"), SpecialKey::Enter},
            {QStringLiteral("TAB"), SpecialKey::Tab},
            {QStringLiteral("ESC"), SpecialKey::Escape},
            {QStringLiteral("ESCAPE"), SpecialKey::Escape},
            {QStringLiteral("BACKSPACE"), SpecialKey::Backspace},
            {QStringLiteral("BS"), SpecialKey::Backspace},
            {QStringLiteral("BKSP"), SpecialKey::Backspace},
            {QStringLiteral("DELETE"), SpecialKey::Delete},
            {QStringLiteral("DEL"), SpecialKey::Delete},
            {QStringLiteral("INSERT"), SpecialKey::Insert},
            {QStringLiteral("INS"), SpecialKey::Insert},
            {QStringLiteral("HOME"), SpecialKey::Home},
            {QStringLiteral("END"), SpecialKey::End},
            {QStringLiteral("PGUP"), SpecialKey::PageUp},
            {QStringLiteral("PGDN"), SpecialKey::PageDown},
            {QStringLiteral("LEFT"), SpecialKey::Left},
            {QStringLiteral("RIGHT"), SpecialKey::Right},
            {QStringLiteral("UP"), SpecialKey::Up},
            {QStringLiteral("DOWN"), SpecialKey::Down},
        };
        for (int f = 1; f <= 12; ++f)
            n.insert(QStringLiteral("F%1").arg(f), SpecialKey(int(SpecialKey::F1) + f - 1));
        return n;
    }();
    return names;
}

// The code point at i (a surrogate pair counts as one); i moves past it.
char32_t takeCodePoint(const QString& s, qsizetype& i) {
    const QChar c = s.at(i++);
    if (c.isHighSurrogate() && i < s.size() && s.at(i).isLowSurrogate())
        return QChar::surrogateToUcs4(c, s.at(i++));
    return c.unicode();
}

class Parser {
public:
    explicit Parser(const QString& keys) : m_keys(keys) { m_result.actions.reserve(keys.size()); }

    KeystrokeParseResult run() {
        while (m_i < m_keys.size() && m_result.ok())
            step();
        if (m_result.ok() && m_pending)
            fail(m_keys.size(), QStringLiteral("a modifier without a key at the end"));
        if (m_result.ok() && !m_groups.isEmpty())
            fail(m_keys.size(), QStringLiteral("a group opened with \"(\" is not closed"));
        if (!m_result.ok())
            m_result.actions.clear();
        return m_result;
    }

private:
    void step() {
        const qsizetype at = m_i;
        const QChar c = m_keys.at(m_i);
        switch (c.unicode()) {
        case '+':
            ++m_i;
            m_pending |= ShiftModifier;
            return;
        case '^':
            ++m_i;
            m_pending |= ControlModifier;
            return;
        case '%':
            ++m_i;
            m_pending |= AltModifier;
            return;
        case '(':
            ++m_i;
            m_groups.append(quint8(groupModifiers() | m_pending));
            m_pending = 0;
            return;
        case ')':
            ++m_i;
            if (m_groups.isEmpty())
                return fail(at, QStringLiteral("\")\" without \"(\""));
            if (m_pending)
                return fail(at, QStringLiteral("a modifier without a key before \")\""));
            m_groups.removeLast();
            return;
        case '~':
            ++m_i;
            return push(KeyAction::special(SpecialKey::Enter));
        case '{':
            return braced();
        case '}':
            return fail(at, QStringLiteral("\"}\" without \"{\""));
        case '\r':
            ++m_i;
            if (m_i < m_keys.size() && m_keys.at(m_i) == u'\n')
                ++m_i;
            return push(KeyAction::special(SpecialKey::Enter));
        case '\n':
            ++m_i;
            return push(KeyAction::special(SpecialKey::Enter));
        case '\t':
            ++m_i;
            return push(KeyAction::special(SpecialKey::Tab));
        default:
            return push(KeyAction::typed(takeCodePoint(m_keys, m_i)));
        }
    }

    void braced() {
        const qsizetype open = m_i++;
        // The first character after "{" always belongs to the name, so "{}}" is a literal "}".
        const qsizetype close = m_i < m_keys.size() ? m_keys.indexOf(u'}', m_i + 1) : -1;
        if (close < 0)
            return fail(open, QStringLiteral("\"{\" without \"}\""));
        QString name = m_keys.mid(m_i, close - m_i);
        m_i = close + 1;
        int count = 1;
        if (const qsizetype blank = name.lastIndexOf(u' '); blank > 0) {
            bool number = false;
            count = name.mid(blank + 1).toInt(&number);
            if (!number || count < 0 || count > KeystrokeParser::maxRepeat)
                return fail(open, QStringLiteral("a bad repeat count in \"{%1}\"").arg(name));
            name.truncate(blank);
        }
        KeyAction action;
        qsizetype j = 0;
        const char32_t first = takeCodePoint(name, j);
        if (j == name.size())
            action = KeyAction::typed(first);
        else if (const auto it = keyNames().constFind(name.toUpper()); it != keyNames().cend())
            action = KeyAction::special(*it);
        else
            return fail(open, QStringLiteral("an unknown key name \"{%1}\"").arg(name));
        push(action, count);
    }

    quint8 groupModifiers() const { return m_groups.isEmpty() ? 0 : m_groups.last(); }

    // count copies of action (none for a repeat count of 0), each with the pending and the group's modifiers.
    void push(KeyAction action, int count = 1) {
        action.modifiers |= quint8(m_pending | groupModifiers());
        m_pending = 0;
        m_result.actions.insert(m_result.actions.size(), count, action);
    }

    void fail(qsizetype at, const QString& message) {
        m_result.error = message;
        m_result.position = at;
        m_i = m_keys.size();
    }

    const QString& m_keys;
    qsizetype m_i = 0;
    quint8 m_pending = 0;
    QList<quint8> m_groups;
    KeystrokeParseResult m_result;
};

} // namespace

KeystrokeParseResult KeystrokeParser::parse(const QString& keys) {
    return Parser(keys).run();
}
