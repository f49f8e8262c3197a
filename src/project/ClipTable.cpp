#include "project/ClipTable.h"

const QString ClipTable::EmptyClipText = QStringLiteral("Empty") + QString(6, QChar(0x00A0));

ClipTable::ClipTable(QObject* parent) : QObject(parent) {
    ClipMethod.fill(1);
    for (int i = 1; i <= ClipCount; ++i)
        m_clips[size_t(i)].text = EmptyClipText;
}

void ClipTable::setText(int i, const QString& text) {
    if (m_clips[size_t(i)].text == text)
        return;
    m_clips[size_t(i)].text = text;
    Q_EMIT clipChanged(i);
}

void ClipTable::setFormat(int i, const QString& format) {
    m_clips[size_t(i)].format = format;
    Q_EMIT clipChanged(i);
}

void ClipTable::setData(int i, const QString& data) {
    m_clips[size_t(i)].data = data;
}

void ClipTable::setPicture(int i, const QImage& picture) {
    m_clips[size_t(i)].picture = picture;
    Q_EMIT clipChanged(i);
}

void ClipTable::SwitchLock(int i, bool locked) {
    m_clips[size_t(i)].locked = locked;
    Q_EMIT clipChanged(i);
}

void ClipTable::setClip(int i, const Clip& clip) {
    m_clips[size_t(i)] = clip;
    Q_EMIT clipChanged(i);
}

bool ClipTable::isEmptyClip(int i) const {
    const Clip& c = m_clips[size_t(i)];
    return c.format == TxtSimple && (c.text == EmptyClipText || c.text.isEmpty());
}

void ClipTable::clearClip(int i) {
    Clip empty;
    empty.text = QString();
    setClip(i, empty);
}

void ClipTable::CleanUp() {
    for (int i = 1; i <= ClipCount; ++i) {
        Clip empty;
        empty.text = EmptyClipText;
        setClip(i, empty);
    }
}

void ClipTable::PlaceEmptyStrings() {
    for (int i = 1; i <= ClipCount; ++i)
        if (m_clips[size_t(i)].text.isEmpty())
            setText(i, EmptyClipText);
}

void ClipTable::swapClips(int source, int target) {
    if (!isValidIndex(source) || !isValidIndex(target) || source == target)
        return;
    Clip& buffer = m_clips[BufferIndex];
    buffer = m_clips[size_t(target)];
    m_clips[size_t(target)] = m_clips[size_t(source)];
    m_clips[size_t(source)] = buffer;
    buffer = Clip{};
    buffer.text.clear();
    Q_EMIT clipChanged(target);
    Q_EMIT clipChanged(source);
}
