#pragma once

#include <string>
#include <utility>

// The outcome of an operation that can refuse: success, or a failure with its reason in words a
// user can read ("cannot open 'a.xml': No such file or directory"). The reason travels with the
// failure, so no caller reads errno afterwards.
class CStatus {
  public:
    static CStatus Ok() { return CStatus(); }
    static CStatus Error(std::string reason) { return CStatus(std::move(reason)); }

    bool IsOk() const { return m_ok; }
    explicit operator bool() const { return m_ok; }
    // Empty on success.
    const std::string& Reason() const { return m_reason; }

  private:
    CStatus() = default;
    explicit CStatus(std::string reason) : m_ok(false), m_reason(std::move(reason)) {}

    bool m_ok = true;
    std::string m_reason;
};
