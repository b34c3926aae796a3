#pragma once
// The base of every exception the program raises: it carries the text shown to the user.
#include <exception>
#include <string>

class Exception : public std::exception {
public:
  explicit Exception(std::string AMessage) : Message(std::move(AMessage)) {}
  const char* what() const noexcept override { return Message.c_str(); }

  std::string Message;
};

// The silent exception: an operation called off, not failed. The application's exception report
// shows nothing for it.
class EAbort : public Exception {
public:
  EAbort() : Exception("Operation aborted") {}
};
