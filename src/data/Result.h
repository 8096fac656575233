// The one result of whatever can fail: a value, or the error that names the file and the cause.
//
// A call that gives nothing back returns FileError itself (ok() on success); a call that gives a value back
// returns Result<T>. Both are [[nodiscard]], and neither leaves anything behind in a thread-local: the error
// travels back to the caller that reports it.
#pragma once

#include "FileError.h"

#include <optional>
#include <utility>

namespace kip {

template <class T> class [[nodiscard]] Result
{
public:
    Result(T value) : m_value(std::move(value)) {}
    // An error; an error that says NoError is made a driver error, so that a failure never reads as a success.
    Result(FileError error) : m_error(std::move(error))
    {
        if (m_error.ok())
            m_error = makeError(DriverError);
    }

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }

    // The value; only when ok().
    const T& value() const& { return *m_value; }
    T& value() & { return *m_value; }
    T&& value() && { return std::move(*m_value); }
    const T& operator*() const& { return *m_value; }
    T& operator*() & { return *m_value; }
    const T* operator->() const { return &*m_value; }
    T* operator->() { return &*m_value; }
    T valueOr(T fallback) const { return m_value ? *m_value : std::move(fallback); }

    // The error; NoError when ok().
    const FileError& error() const { return m_error; }

private:
    std::optional<T> m_value;
    FileError m_error;
};

} // namespace kip
