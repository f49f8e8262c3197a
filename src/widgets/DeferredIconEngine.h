#pragma once

#include <QIcon>
#include <QIconEngine>

#include <functional>
#include <memory>

// An icon whose picture is made when it is first drawn or measured: finding a theme icon and reading an SVG file
// cost start-up time, and most icons (menus, the main window's buttons) are not seen until much later, if ever.
// Copies of the QIcon share one engine, so the picture is made once.
class DeferredIconEngine final : public QIconEngine {
public:
    using Maker = std::function<QIcon()>;
    explicit DeferredIconEngine(Maker make);

    // A QIcon that makes its picture with make when first needed.
    static QIcon icon(Maker make);

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override;
    QString iconName() override;
    bool isNull() override;
    QString key() const override;
    QIconEngine* clone() const override;

private:
    // Made once and shared with the clones, so a detached copy does not make it again.
    struct Made {
        Maker make;
        QIcon icon;
        bool done = false;
    };
    const QIcon& made();

    std::shared_ptr<Made> m_made;
};
