// Generated WAV tones for the Son directory.
#include "Sounds.h"

#include <QFile>
#include <cmath>
#include <numbers>

namespace kip::gen {

namespace {
void putLe(QByteArray& out, quint32 v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out += char((v >> (8 * i)) & 0xff);
}
} // namespace

bool writeTone(const QString& path, int hertz, int ms, int beeps)
{
    constexpr int Rate = 8000;
    const int toneSamples = Rate * ms / 1000;
    QByteArray samples;
    for (int b = 0; b < beeps; ++b) {
        for (int i = 0; i < toneSamples; ++i) {
            // A short fade at both ends keeps the tone from clicking.
            const double fade = std::min(1.0, std::min(i, toneSamples - i) / 80.0);
            const double v = std::sin(2 * std::numbers::pi * hertz * i / Rate) * fade * 0.6;
            samples += char(quint8(128 + std::lround(v * 127)));
        }
        if (b + 1 < beeps)
            samples += QByteArray(toneSamples, char(128));
    }
    QByteArray out("RIFF");
    putLe(out, quint32(36 + samples.size()), 4);
    out += "WAVEfmt ";
    putLe(out, 16, 4); // format chunk size
    putLe(out, 1, 2);  // PCM
    putLe(out, 1, 2);  // mono
    putLe(out, Rate, 4);
    putLe(out, Rate, 4); // bytes per second
    putLe(out, 1, 2);    // block align
    putLe(out, 8, 2);    // bits per sample
    out += "data";
    putLe(out, quint32(samples.size()), 4);
    out += samples;
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(out) == out.size();
}

} // namespace kip::gen
