#pragma once

#include <QString>

#include <cerrno>
#include <cstring>

// What a call that can fail returns: success, or the error's number and description, which the caller shows as
// the details of its error box ("Error number: 2, description: No such file or directory").
struct Outcome {
    int error = 0; // 0: success
    QString description;

    bool ok() const { return error == 0; }
    explicit operator bool() const { return ok(); }

    // The number and the system's text of a failed system call; a call that left errno at 0 failed all the same.
    static Outcome fromErrno(int errnoValue) {
        const int error = errnoValue ? errnoValue : EIO;
        return {error, QString::fromLocal8Bit(std::strerror(error))};
    }
};
