#include "base/OrvException.h"

#include <utility>

OrvException::OrvException(std::string message) : message(std::move(message)) {}

const char* OrvException::what() const noexcept {
    return message.c_str();
}

const std::string& OrvException::Message() const noexcept {
    return message;
}
