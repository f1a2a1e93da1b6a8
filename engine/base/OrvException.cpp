#include "base/OrvException.h"

#include <utility>

OrvException::OrvException(std::string message)
    : message(std::move(message)), kind(OrvMessageKind::Other) {}

OrvException::OrvException(OrvMessageKind kind, std::string subject, std::string message)
    : message(std::move(message)), kind(kind), subject(std::move(subject)) {}

const char* OrvException::what() const noexcept {
    return message.c_str();
}

const std::string& OrvException::Message() const noexcept {
    return message;
}
