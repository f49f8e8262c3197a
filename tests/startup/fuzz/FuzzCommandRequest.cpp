// The request line a peer sends over the command socket. Any bytes give a request or a refusal with its reason;
// an accepted line is exactly the line of its request, so nothing a peer adds or changes is ever taken for a
// request silently. The seeds are valid and refused lines.

#include "FuzzSupport.h"
#include "startup/CommandRequest.h"

using FuzzSupport::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView line = FuzzSupport::bytesOf(data, size);
    QString error;
    const std::optional<CommandRequest> request = CommandRequest::parse(line, &error);
    if (!request) {
        check(!error.isEmpty(), "a refusal gives its reason");
        return 0;
    }
    check(request->toLine() == line, "an accepted line is its request's line");
    check((request->command == CommandRequest::Command::Paste) ==
              (request->clip >= CommandRequest::FirstClip && request->clip <= CommandRequest::LastClip),
          "a clip number exactly for paste");
    return 0;
}
