#pragma once

#include <string>
#include <utility>

// What kind of failure a status reports, for callers that act on it: a value or command the
// program declines (a typed entry it cannot take, a range without steps), a file or folder that
// is not there, content that is not what it should be, the system failing to read or write, or
// the user stopping a long command before its end (nothing to tell them then).
enum class StatusKind { Ok, Refused, NotFound, Damaged, Io, Cancelled };

// The outcome of an operation that can refuse: success, or a failure with its kind and its
// reason in words a user can read ("cannot open 'a.xml': No such file or directory"). The reason
// travels with the failure, so no caller reads errno afterwards.
class CStatus {
  public:
    static CStatus Ok() { return CStatus(); }
    static CStatus Error(std::string reason, StatusKind kind = StatusKind::Io) {
        return CStatus(kind, std::move(reason));
    }
    static CStatus Refused(std::string reason) {
        return CStatus(StatusKind::Refused, std::move(reason));
    }
    static CStatus NotFound(std::string reason) {
        return CStatus(StatusKind::NotFound, std::move(reason));
    }
    static CStatus Damaged(std::string reason) {
        return CStatus(StatusKind::Damaged, std::move(reason));
    }

    static CStatus Cancelled(std::string reason) {
        return CStatus(StatusKind::Cancelled, std::move(reason));
    }

    bool IsOk() const { return m_kind == StatusKind::Ok; }
    explicit operator bool() const { return IsOk(); }
    StatusKind Kind() const { return m_kind; }
    // Empty on success.
    const std::string& Reason() const { return m_reason; }

  private:
    CStatus() = default;
    CStatus(StatusKind kind, std::string reason) : m_kind(kind), m_reason(std::move(reason)) {}

    StatusKind m_kind = StatusKind::Ok;
    std::string m_reason;
};
