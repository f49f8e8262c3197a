#include "paste/PasteEngine.h"

#include "paste/ClipboardContent.h"
#include "paste/KeystrokeParser.h"
#include "paste/KeystrokeText.h"
#include "paste/LastWindowRecord.h"
#include "paste/PasteLog.h"
#include "paste/PasteMethod.h"
#include "platform/Clipboard.h"
#include "platform/Platform.h"
#include "project/ClipTable.h"
#include "services/Settings.h"

#include <QMimeData>
#include <QTimer>

PasteEngine::PasteEngine(ClipTable& table, Settings& settings, WindowSystem& windows, KeySender& keys,
                         LastWindowRecord& record, Clipboard& clipboard, QObject* parent)
    : QObject(parent), m_table(table), m_settings(settings), m_windows(windows), m_keys(keys), m_record(record),
      m_clipboard(clipboard) {
    connect(&m_keys, &KeySender::finished, this, &PasteEngine::keysFinished);
}

int PasteEngine::putOnClipboard(int n) {
    const ClipTable::Clip& clip = m_table.clip(n);
    const int method = PasteMethod::effective(m_table.ClipMethod[size_t(n)], m_settings.DefaultPasteMethod);
    ClipboardContent content = clipboardContent(clip, method, m_windows.userName());
    m_clipboard.setContent(std::move(content.clipboard), std::move(content.selection));
    if (!content.status.isEmpty())
        Q_EMIT statusMessage(content.status);
    return method;
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
    const int method = putOnClipboard(n);
    markLastClip(n);

    if (m_settings.AutoPaste) {
        if (!m_record.ActivateLastApplication()) {
            Q_EMIT statusMessage(QStringLiteral("Can't activate last active application."));
        } else {
            const ClipTable::Clip& clip = m_table.clip(n);
            PasteMethod::Send send = PasteMethod::forClip(method, clip.format);
            // The pasted status comes with the key sender's result, once the keys have reached the window.
            if (send == PasteMethod::Send::ClipText) {
                QString typed = withLfLineEnds(clip.format == ClipTable::TxtLong ? clip.data : clip.text);
                ExpandPlaceholders(typed, m_windows.userName());
                EscapeKeystrokes(typed);
                // A desktop that types through the user's layout would type something else for a character the
                // layout lacks; the clip is on the clipboard already, so it goes in whole by Ctrl+V instead.
                const KeystrokeParseResult parsed = KeystrokeParser::parse(typed);
                if (parsed.ok() && !m_keys.typesAll(parsed.actions)) {
                    qCInfo(lcPaste) << "clip" << n << "has characters the keyboard layout lacks: pasted by Ctrl+V";
                    send = PasteMethod::Send::ControlV;
                } else {
                    sendParsed(parsed, n);
                }
            }
            if (send != PasteMethod::Send::ClipText && send != PasteMethod::Send::Nothing)
                SendKeystrokes(PasteMethod::keysFor(send), n);
        }
    }
    if (m_settings.HideOnCopy)
        Q_EMIT hideWindowRequested();
    else if (m_settings.MinimizeOnCopy)
        Q_EMIT minimizeWindowRequested();
}

bool PasteEngine::SendKeystrokes(const QString& keys, int clip) {
    return sendParsed(KeystrokeParser::parse(keys), clip);
}

bool PasteEngine::sendParsed(const KeystrokeParseResult& parsed, int clip) {
    if (!parsed.ok()) {
        qCWarning(lcPaste) << "keystrokes not sent:" << parsed.error << "at" << parsed.position;
        return false;
    }
    m_sendings.push_back(clip);
    m_keys.send(m_record.activatedWindow(), parsed.actions);
    return true;
}

void PasteEngine::keysFinished(KeySender::Result result) {
    // The key sender reports its sendings in the order they were queued; this engine is its only user.
    if (m_sendings.empty())
        return;
    const int clip = m_sendings.front();
    m_sendings.pop_front();
    QString status, reason;
    switch (result) {
    case KeySender::Result::Sent:
        if (clip)
            Q_EMIT statusMessage(QStringLiteral("Clip %1 pasted.").arg(clip));
        return;
    case KeySender::Result::NotActive:
        status = QStringLiteral("Can't activate last active application.");
        reason = QStringLiteral("the last active application did not get the focus");
        break;
    case KeySender::Result::Failed:
        status = QStringLiteral("Clip %1 not pasted: the keys could not be sent.").arg(clip);
        reason = QStringLiteral("the keys could not be sent");
        break;
    case KeySender::Result::Cancelled:
        status = QStringLiteral("Clip %1 not pasted.").arg(clip);
        reason = QStringLiteral("the sending was cancelled");
        break;
    }
    qCWarning(lcPaste).noquote() << (clip ? QStringLiteral("clip %1").arg(clip) : QStringLiteral("the clipboard"))
                                 << "not pasted:" << reason;
    // The paste after the clipboard menu's commands shows no status, whatever happened.
    if (clip)
        Q_EMIT statusMessage(status);
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
    const PasteMethod::Send send = PasteMethod::forClipboard(m_settings.ReadPasteMethod());
    // Terminals paste the primary selection on Shift+Insert: it gets the clipboard's new text too.
    if (send == PasteMethod::Send::ShiftInsert)
        m_clipboard.copyTextToPrimary();
    const QString keys = PasteMethod::keysFor(send);
    if (!keys.isEmpty())
        SendKeystrokes(keys);
}
