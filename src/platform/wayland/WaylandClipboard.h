#pragma once

#include "platform/Clipboard.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPointer>
#include <QString>

#include <memory>
#include <vector>

class QMimeData;
class ClipboardReader;
class WaylandConnection;
struct wl_proxy;

// The clipboard and primary selection through the compositor's data-control protocol (ext-data-control-v1, or
// its forerunner wlr-data-control-unstable-v1 version 2): this program is the selection's source for a clip's
// forms without needing the focus, answers each paste request by writing into the reader's pipe from the event
// loop (ClipboardWriter), and lets go when another client takes the selection.
class WaylandClipboard final : public Clipboard {
    Q_OBJECT
public:
    // The name of the data-control protocol the compositor offers (ext first), "" when none.
    static QString protocolOffered(const WaylandConnection& connection);

    explicit WaylandClipboard(WaylandConnection& connection, QObject* parent = nullptr);
    ~WaylandClipboard() override;

    bool isReady() const { return m_device != nullptr; }
    void setContent(std::unique_ptr<QMimeData> content, std::unique_ptr<QMimeData> primary = {}) override;
    void copyTextToPrimary() override;
    QString text() const override;
    void clear() override;

    // The longest text read from another client's selection; a longer one counts as no text.
    static constexpr qsizetype maxForeignTextBytes = 64 * 1024 * 1024;

    // One selection we serve: its source object and the content it offers.
    struct Served;

private:
    void serve(std::unique_ptr<QMimeData> content, bool primary);
    void forget(wl_proxy* source);
    void answer(wl_proxy* source, const char* type, int fd);
    void foreignOffer(wl_proxy* offer, bool primary);
    void newOffer(wl_proxy* offer);
    void destroyOffer(wl_proxy* offer);
    // Reads the text of another client's selection through a pipe, from the event loop.
    void readForeignText(wl_proxy* offer);
    void stopReading();

    WaylandConnection& m_connection;
    const struct DataControlProtocol* m_protocol = nullptr;
    wl_proxy* m_manager = nullptr;
    wl_proxy* m_device = nullptr;
    std::unique_ptr<Served> m_selection;
    std::unique_ptr<Served> m_primary;
    // Sources replaced by later ones, kept until the compositor confirms that they are no longer asked for.
    std::vector<std::unique_ptr<Served>> m_replaced;
    // The offers of the current selection and primary selection, destroyed once replaced.
    wl_proxy* m_foreign[2] = {nullptr, nullptr};
    // The MIME types each offer of another client announced.
    QHash<wl_proxy*, QList<QByteArray>> m_offerTypes;
    QString m_foreignText;
    QPointer<ClipboardReader> m_reading;

    friend struct DataControlEvents;
};
