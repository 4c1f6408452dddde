#include "link/CountingPort.h"

namespace t6 {

void CountingPort::write(const Bytes& bytes) {
    port_.write(bytes);
    sent_ += bytes.size();
    if (onTraffic_)
        onTraffic_();
}

void CountingPort::setReceiver(Receiver receiver) {
    if (!receiver) {
        port_.setReceiver({});
        return;
    }
    port_.setReceiver([this, receiver = std::move(receiver)](const Bytes& chunk) {
        received_ += chunk.size();
        // The count first: the chunk's handler may end the operation.
        if (onTraffic_)
            onTraffic_();
        receiver(chunk);
    });
}

} // namespace t6
