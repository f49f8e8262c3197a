#pragma once

#include "richtext/CodePageConverter.h"

#include <QPlainTextEdit>
#include <QTextEdit>

// The editor's two text boxes. Both hold at most MaxChars characters, as a rich edit control's maximum length
// does: typing stops at the limit and pasted, dropped or loaded text is cut there. Line counts are the lines
// as the box shows them, wrapped lines included.
namespace TextBoxes {
constexpr int MaxChars = 100000;

// Characters in the box (paragraph ends count one).
int charCount(const QTextDocument& document);
// The number of shown lines and the 1-based shown line of the caret.
int lineCount(const QTextDocument& document);
int caretLine(const QTextCursor& cursor);
} // namespace TextBoxes

// The plain text box `txtClipTXT`.
class PlainTextBox final : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit PlainTextBox(QWidget* parent = nullptr);

    // The text with CR LF line ends, as clips keep it; setting cuts at the limit (true when it did).
    QString text() const;
    bool setText(const QString& text);
    QColor textColor() const;
    void setTextColor(const QColor& color);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
};

// The rich text box `txtClipRTF`: its RTF source goes in and out through the RTF reader and writer. Paste and
// drop take RTF (through the reader) or plain text, never HTML.
class RichTextBox final : public QTextEdit {
    Q_OBJECT
public:
    RichTextBox(richtext::CodePageConverter codePages, int codePage, QWidget* parent = nullptr);

    QByteArray rtf() const;
    // Cuts the text at the limit; true when it did.
    bool setRtf(const QByteArray& rtf);
    // The RTF of the selection, "" when nothing is selected.
    QByteArray selectionRtf() const;
    // Replaces the selection with RTF, cut at the limit.
    void insertRtf(const QByteArray& rtf);
    // The plain text with CR LF line ends.
    QString plainText() const;
    bool setPlainTextLimited(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    QMimeData* createMimeDataFromSelection() const override;

private:
    int room() const;

    richtext::CodePageConverter m_codePages;
    int m_codePage;
};
