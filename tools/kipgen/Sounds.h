// The two short sounds of a generated installation, made here as plain PCM WAV files.
#pragma once

#include <QString>

namespace kip::gen {

// Writes `beeps` tones of `hertz` lasting `ms` each, separated by as much silence; 8 kHz, 8-bit mono.
bool writeTone(const QString& path, int hertz, int ms, int beeps);

} // namespace kip::gen
