#pragma once

#include <QColor>
#include <QIcon>
#include <QWidget>

// The program's flat icon button: shows only an icon, lights up under the mouse, looks pressed while the
// left button is held and draws its icon in grey when disabled. Click is raised only for the left button.
class isButton final : public QWidget {
    Q_OBJECT
public:
    enum State { Normal = 1, Hover = 2, Pressed = 3, Disabled = 4 };

    explicit isButton(QWidget* parent = nullptr);

    QIcon Icon() const { return m_icon; }
    void setIcon(const QIcon& icon);
    int IconSize() const { return m_iconSize; }
    void setIconSize(int size);
    int IconAlign() const { return m_iconAlign; }
    void setIconAlign(int align);
    bool Enabled() const { return isEnabled(); }
    void setButtonEnabled(bool enabled);
    QColor BackColor() const { return m_backColor; }
    void setBackColor(const QColor& color);
    QColor HighlightColor() const { return m_highlightColor; }
    void setHighlightColor(const QColor& color);
    QString ToolTipText() const { return toolTip(); }
    void setToolTipText(const QString& text);

    // A disabled button is always in the disabled state, whatever the mouse did last.
    int state() const { return isEnabled() ? m_state : int(Disabled); }
    // Where the icon is drawn in the current state (before the hover lift), for tests and painting.
    QPoint iconPosition() const;

    // The colour-lightening rule of the button's looks.
    static QColor Lighten(const QColor& colour, int amount);
    // The grey conversion of a disabled icon: listed greys stay, others become v = g*0.59 + r*0.33 + b*0.11.
    static QRgb grayPixel(QRgb pixel);
    static QImage grayImage(const QImage& image);

    // Access-key activation: behaves as a left click.
    void activateByKey();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    void Click();
    void MouseEnter();
    void MouseLeave();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // Lays out the whole button face (background, shadow, icon) into an image of the widget's size.
    QImage renderFace();
    void clickStep();

    QIcon m_icon;
    int m_iconSize = 16;
    int m_iconAlign = 1;
    QColor m_backColor;
    QColor m_highlightColor;
    int m_state = Normal;
    bool m_mouseInside = false;
    int m_lastButton = 0;
    bool m_shown = false;
};
