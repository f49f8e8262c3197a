#include "widgets/DeferredIconEngine.h"

#include <QPainter>

DeferredIconEngine::DeferredIconEngine(Maker make) : m_made(std::make_shared<Made>()) {
    m_made->make = std::move(make);
}

QIcon DeferredIconEngine::icon(Maker make) {
    return QIcon(new DeferredIconEngine(std::move(make)));
}

const QIcon& DeferredIconEngine::made() {
    if (!m_made->done) {
        m_made->done = true;
        if (m_made->make)
            m_made->icon = m_made->make();
        m_made->make = nullptr;
    }
    return m_made->icon;
}

void DeferredIconEngine::paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) {
    made().paint(painter, rect, Qt::AlignCenter, mode, state);
}

QPixmap DeferredIconEngine::pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) {
    return made().pixmap(size, mode, state);
}

QSize DeferredIconEngine::actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) {
    return made().actualSize(size, mode, state);
}

QList<QSize> DeferredIconEngine::availableSizes(QIcon::Mode mode, QIcon::State state) {
    return made().availableSizes(mode, state);
}

QString DeferredIconEngine::iconName() {
    return made().name();
}

bool DeferredIconEngine::isNull() {
    return made().isNull();
}

QString DeferredIconEngine::key() const {
    return QStringLiteral("DeferredIconEngine");
}

QIconEngine* DeferredIconEngine::clone() const {
    auto* copy = new DeferredIconEngine(nullptr);
    copy->m_made = m_made;
    return copy;
}
