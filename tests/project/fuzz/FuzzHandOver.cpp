// loadbuff.dat as the running instance reads it: any bytes give one line without its line end, and a command
// line read from the file is handed over again unchanged. The seeds are files a second start writes and
// damaged ones.

#include "FuzzSupport.h"
#include "project/HandOverFile.h"

using FuzzSupport::check;

extern "C" int LLVMFuzzerInitialize(int*, char*** argv) {
    FuzzSupport::startApplication((*argv)[0]);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString line = HandOverFile::commandLine(FuzzSupport::bytesOf(data, size));
    check(!line.contains(QLatin1Char('\n')) && !line.endsWith(QLatin1Char('\r')), "one line without its end");
    check(HandOverFile::commandLine(HandOverFile::content(line)) == line, "a command line read is handed over again");
    return 0;
}
