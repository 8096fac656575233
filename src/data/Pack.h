// The exact little-endian byte layout of each record type (the "record length" of a file).
#pragma once

#include "Cp1252.h"
#include "Records.h"

#include <QByteArray>
#include <cstring>

namespace kip {

namespace detail {

class Packer
{
public:
    explicit Packer(QByteArray& out) : m_out(out) {}
    template <class T> void field(const char*, const T& v)
    {
        unsigned char b[sizeof(T)];
        auto u = static_cast<std::make_unsigned_t<T>>(v);
        for (size_t i = 0; i < sizeof(T); ++i)
            b[i] = static_cast<unsigned char>(u >> (8 * i));
        m_out.append(reinterpret_cast<const char*>(b), sizeof(T));
    }
    void text(const char*, const QString& v, int size)
    {
        QByteArray bytes = toCp1252(v.left(size));
        bytes.append(QByteArray(size - bytes.size(), ' '));
        m_out.append(bytes);
    }
    template <class T, size_t N> void array(const char* name, const std::array<T, N>& a)
    {
        for (const T& v : a)
            field(name, v);
    }
    template <size_t N> void textArray(const char* name, const std::array<QString, N>& a, int size)
    {
        for (const QString& v : a)
            text(name, v, size);
    }

private:
    QByteArray& m_out;
};

class Unpacker
{
public:
    explicit Unpacker(const char* data) : m_p(data) {}
    template <class T> void field(const char*, T& v)
    {
        std::make_unsigned_t<T> u = 0;
        for (size_t i = 0; i < sizeof(T); ++i)
            u |= static_cast<std::make_unsigned_t<T>>(static_cast<unsigned char>(m_p[i])) << (8 * i);
        v = static_cast<T>(u);
        m_p += sizeof(T);
    }
    void text(const char*, QString& v, int size)
    {
        v = clipField(fromCp1252(m_p, size), size);
        m_p += size;
    }
    template <class T, size_t N> void array(const char* name, std::array<T, N>& a)
    {
        for (T& v : a)
            field(name, v);
    }
    template <size_t N> void textArray(const char* name, std::array<QString, N>& a, int size)
    {
        for (QString& v : a)
            text(name, v, size);
    }

private:
    const char* m_p;
};

} // namespace detail

template <class R> QByteArray pack(const R& record)
{
    QByteArray out;
    out.reserve(R::Size);
    detail::Packer p(out);
    const_cast<R&>(record).visit(p);
    return out;
}

// Fills the record from exactly R::Size bytes; returns false when the size is wrong.
template <class R> bool unpack(const QByteArray& bytes, R& record)
{
    if (bytes.size() != R::Size)
        return false;
    detail::Unpacker u(bytes.constData());
    record.visit(u);
    return true;
}

} // namespace kip
