#pragma once

#include <QImage>
#include <QObject>
#include <QString>

#include <array>

// The 30 numbered clips of the open project. The main window shows them as rows; the project reader and
// writer, the paste engine and the editor hand-over work on this table. Element 31 is the exchange buffer
// used when two rows swap.
class ClipTable final : public QObject {
    Q_OBJECT
public:
    static constexpr int ClipCount = 30;
    static constexpr int BufferIndex = 31;
    // "Empty" followed by six no-break spaces: the shown text of an empty row.
    static const QString EmptyClipText;

    static inline const QString TxtSimple = QStringLiteral("TXT-SIMPLE");
    static inline const QString TxtLong = QStringLiteral("TXT-LONG");
    static inline const QString Rtf = QStringLiteral("RTF");
    static inline const QString Img = QStringLiteral("IMG");

    struct Clip {
        QString format = TxtSimple; // the row's Tag
        QString text;               // shown text: a simple clip's text, otherwise its caption
        QString data;               // ClipData: long text or RTF source
        QImage picture;             // imgContainer: the picture of an IMG clip
        bool locked = false;
    };

    explicit ClipTable(QObject* parent = nullptr);

    static bool isValidIndex(int i) { return i >= 1 && i <= ClipCount; }
    const Clip& clip(int i) const { return m_clips[size_t(i)]; }

    void setText(int i, const QString& text);
    void setFormat(int i, const QString& format);
    void setData(int i, const QString& data);
    void setPicture(int i, const QImage& picture);
    void SwitchLock(int i, bool locked);
    void setClip(int i, const Clip& clip);

    // An empty clip shows EmptyClipText (or "" while being edited) and is a simple text.
    bool isEmptyClip(int i) const;
    // Clearing: simple format, no text, no data, no picture, unlocked.
    void clearClip(int i);
    // Every clip empty (the paste methods stay: the project reader sets them).
    void CleanUp();
    // Rows whose text is "" show EmptyClipText.
    void PlaceEmptyStrings();
    // Exchanges two rows through the buffer; paste methods and hotkeys stay with the row numbers.
    void swapClips(int source, int target);

    // The paste method of each clip, indexed 1..30 (index 0 unused).
    std::array<quint8, ClipCount + 1> ClipMethod{};

Q_SIGNALS:
    // A clip's text, format, data, picture or lock state changed.
    void clipChanged(int i);

private:
    std::array<Clip, ClipCount + 2> m_clips{};
};
