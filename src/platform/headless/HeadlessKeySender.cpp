#include "platform/headless/HeadlessKeySender.h"

void HeadlessKeySender::deliver(const KeyActions& keys) {
    deliveries.append({m_windows.foregroundWindow(), keys});
    complete(result);
}
