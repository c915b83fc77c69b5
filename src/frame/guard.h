// The one guard every export passes through: whatever the body throws (any
// exception, bad_alloc included) stays inside and the export answers its
// failure result.
#pragma once

#include "frame/result.h"
#include "frame/text.h"

// Exports use stdcall with undecorated C names; the .def files pick them.
#define KX_EXPORT extern "C" __stdcall

namespace kx {

// The build's text of a script argument; a null pointer reads as empty.
inline Text Arg(const char* p) { return FromScript(p); }

template <class Body>
const char* GuardText(const char* failure, Body&& body) noexcept {
    try {
        return TextResult(body()).Deliver();
    } catch (...) {
        return failure;
    }
}

template <class Body>
int GuardInt(int failure, Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return failure;
    }
}

// Window procedures and shell callbacks: the system's frames lie between them
// and the export, so nothing may be thrown through them either.
template <class R, class Body>
R GuardCallback(R failure, Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return failure;
    }
}

template <class Body>
void GuardVoid(Body&& body) noexcept {
    try {
        body();
    } catch (...) {
    }
}

}  // namespace kx
