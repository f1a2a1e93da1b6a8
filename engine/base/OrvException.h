#ifndef ORV_BASE_ORVEXCEPTION_H
#define ORV_BASE_ORVEXCEPTION_H

// The one error type the engine raises while it loads objects, render lines, textures and
// shaders. It owns a copy of its message, with the message's kind and subject (OrvMessageKind:
// what it is and what it is about, such as the file that would not load), so the text stays
// valid however far it travels and whoever catches it reports a whole record. Only the show's
// loading, the engine's loading region and the shader loader catch it; nothing lets it leave
// the library's exported functions.

#include "base/OrvMessageKind.h"

#include <exception>
#include <string>

class OrvException : public std::exception {
public:
    explicit OrvException(std::string message);
    OrvException(OrvMessageKind kind, std::string subject, std::string message);

    // The message exactly as it goes into the diagnostics.
    const char* what() const noexcept override;
    const std::string& Message() const noexcept;
    OrvMessageKind Kind() const noexcept { return kind; }
    const std::string& Subject() const noexcept { return subject; }

private:
    std::string message;
    OrvMessageKind kind;
    std::string subject;
};

#endif
