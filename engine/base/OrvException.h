#ifndef ORV_BASE_ORVEXCEPTION_H
#define ORV_BASE_ORVEXCEPTION_H

// The one error type the engine raises while it loads objects, render lines, textures and
// shaders. It owns a copy of its message, so the text stays valid however far it travels.
// Only the engine's loading region and the shader loader catch it; nothing lets it leave the
// library's exported functions.

#include <exception>
#include <string>

class OrvException : public std::exception {
public:
    explicit OrvException(std::string message);

    // The message exactly as it goes into the diagnostics.
    const char* what() const noexcept override;
    const std::string& Message() const noexcept;

private:
    std::string message;
};

#endif
