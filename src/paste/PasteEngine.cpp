#include "paste/PasteEngine.h"

#include "paste/KeystrokeParser.h"
#include "paste/KeystrokeText.h"
#include "paste/LastWindowRecord.h"
#include "paste/PasteLog.h"
#include "paste/PasteMethod.h"
#include "platform/KeySender.h"
#include "platform/Platform.h"
#include "project/ClipTable.h"
#include "services/CodePage.h"
#include "services/Settings.h"

#include <QClipboard>
#include <QMimeData>
#include <QTimer>

PasteEngine::PasteEngine(ClipTable& table, Settings& settings, WindowSystem& windows, KeySender& keys,
                         LastWindowRecord& record, QClipboard* clipboard, QObject* parent)
    : QObject(parent), m_table(table), m_settings(settings), m_windows(windows), m_keys(keys), m_record(record),
      m_clipboard(clipboard) {}

void PasteEngine::putOnClipboard(int n) {
    const ClipTable::Clip& clip = m_table.clip(n);
    auto* mime = new QMimeData;
    QString status;
    if (clip.format == ClipTable::Rtf) {
        // Rich text only: a plain-text target gets nothing rather than the RTF source as text.
        mime->setData(QStringLiteral("text/rtf"), CodePage::toAnsi(clip.data));
        status = QStringLiteral("Text copied.");
    } else if (clip.format == ClipTable::Img) {
        mime->setImageData(clip.picture);
    } else {
        QString text = clip.format == ClipTable::TxtLong ? clip.data : clip.text;
        ExpandPlaceholders(text, m_windows.userName());
        mime->setText(text);
        status = QStringLiteral("Text copied.");
    }
    // The new content replaces every format of the old one at once, so exactly one format is on the clipboard
    // afterwards, as when it is emptied first; emptying it on its own would cost the paste two round trips to
    // the X server.
    m_clipboard->setMimeData(mime);
    if (!status.isEmpty())
        Q_EMIT statusMessage(status);
}

void PasteEngine::markLastClip(int n) {
    LastClip = n;
    Q_EMIT lastClipMarked(n);
}

void PasteEngine::CopyClip(int n) {
    if (!ClipTable::isValidIndex(n))
        return;
    Q_EMIT copyStarted();
    const QString& text = m_table.clip(n).text;
    if (text.isEmpty() || text == ClipTable::EmptyClipText) {
        Q_EMIT statusMessage(QStringLiteral("Textbox is empty!"));
        return;
    }
    putOnClipboard(n);
    markLastClip(n);

    if (m_settings.AutoPaste) {
        if (!m_record.ActivateLastApplication()) {
            Q_EMIT statusMessage(QStringLiteral("Can't activate last active application."));
        } else {
            const ClipTable::Clip& clip = m_table.clip(n);
            const int method = PasteMethod::effective(m_table.ClipMethod[size_t(n)], m_settings.DefaultPasteMethod);
            const PasteMethod::Send send = PasteMethod::forClip(method, clip.format);
            bool sent = false;
            if (send == PasteMethod::Send::ClipText) {
                QString typed = clip.format == ClipTable::TxtLong ? clip.data : clip.text;
                ExpandPlaceholders(typed, m_windows.userName());
                EscapeKeystrokes(typed);
                sent = SendKeystrokes(typed);
            } else if (send != PasteMethod::Send::Nothing) {
                sent = SendKeystrokes(PasteMethod::keysFor(send));
            }
            if (sent)
                Q_EMIT statusMessage(QStringLiteral("Clip %1 pasted.").arg(n));
        }
    }
    if (m_settings.HideOnCopy)
        Q_EMIT hideWindowRequested();
    else if (m_settings.MinimizeOnCopy)
        Q_EMIT minimizeWindowRequested();
}

bool PasteEngine::SendKeystrokes(const QString& keys) {
    const KeystrokeParseResult parsed = KeystrokeParser::parse(keys);
    if (!parsed.ok()) {
        qCWarning(lcPaste) << "keystrokes not sent:" << parsed.error << "at" << parsed.position;
        return false;
    }
    m_keys.send(m_record.activatedWindow(), parsed.actions);
    return true;
}

void PasteEngine::PasteNext(bool down) {
    int wraps = 0;
    while (true) {
        LastClip += down ? 1 : -1;
        if (LastClip > ClipTable::ClipCount) {
            LastClip = 1;
            ++wraps;
        } else if (LastClip < 1) {
            LastClip = ClipTable::ClipCount;
            ++wraps;
        }
        if (wraps == 2)
            return; // every clip is empty
        const QString& text = m_table.clip(LastClip).text;
        if (!text.isEmpty() && text != ClipTable::EmptyClipText)
            break;
    }
    const int clip = LastClip;
    QTimer::singleShot(pasteNextDelayMs, this, [this, clip] { HotkeyTrigger(clip); });
}

void PasteEngine::PasteClipboardToLastApplication() {
    if (m_settings.ReadNumber(QStringLiteral("Zolpane"), QStringLiteral("AutoPasteOther")) == 0 ||
        !m_settings.AutoPaste)
        return;
    if (!m_record.ActivateLastApplication())
        return;
    const QString keys = PasteMethod::keysFor(PasteMethod::forClipboard(m_settings.ReadPasteMethod()));
    if (!keys.isEmpty())
        SendKeystrokes(keys);
}
