// Helpers of the sound tests: tones, the frequency and level of rendered
// sound, and playing a movie as the control does (frames following the
// stream, output heard some latency after it is mixed).
#pragma once

#include <cmath>
#include <complex>
#include <cstdint>
#include <vector>

#include "flash/core/Player.h"
#include "tools/swfwriter/SoundWriter.h"

namespace fctest {

constexpr double kPi = 3.14159265358979323846;

// A sine of `freq` Hz at `amplitude` (0..1 of full scale), interleaved.
inline std::vector<int16_t> tone(double freq, double rate, double seconds, double amplitude,
                                 int channels = 1) {
    size_t n = static_cast<size_t>(rate * seconds);
    std::vector<int16_t> s;
    for (size_t i = 0; i < n; ++i) {
        int16_t v =
            static_cast<int16_t>(std::lround(32767 * amplitude * std::sin(2 * kPi * freq * i / rate)));
        for (int c = 0; c < channels; ++c) s.push_back(v);
    }
    return s;
}

// Frequency of the strongest component of one channel of 44.1 kHz stereo,
// from a 16384-point FFT of the samples from `from` on (Hann window,
// parabolic peak interpolation).
inline double peakFrequency(const std::vector<int16_t>& stereo, size_t from, int channel = 0) {
    const size_t n = 16384;
    std::vector<std::complex<double>> a(n);
    for (size_t i = 0; i < n; ++i) {
        size_t k = (from + i) * 2 + static_cast<size_t>(channel);
        double w = 0.5 - 0.5 * std::cos(2 * kPi * i / (n - 1));
        a[i] = k < stereo.size() ? stereo[k] * w : 0;
    }
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(a[i], a[j]);
    }
    for (size_t len = 2; len <= n; len <<= 1) {
        std::complex<double> wl = std::polar(1.0, -2 * kPi / len);
        for (size_t i = 0; i < n; i += len) {
            std::complex<double> w = 1;
            for (size_t j = 0; j < len / 2; ++j, w *= wl) {
                std::complex<double> u = a[i + j], v = a[i + j + len / 2] * w;
                a[i + j] = u + v;
                a[i + j + len / 2] = u - v;
            }
        }
    }
    size_t best = 1;
    for (size_t i = 1; i < n / 2; ++i)
        if (std::abs(a[i]) > std::abs(a[best])) best = i;
    double l = std::abs(a[best - 1]), c = std::abs(a[best]), r = std::abs(a[best + 1]);
    double shift = (l - 2 * c + r) != 0 ? 0.5 * (l - r) / (l - 2 * c + r) : 0;
    return (best + shift) * 44100.0 / n;
}

// Level in dB of full scale (RMS of a full-scale sine = 0 dB) of one channel.
inline double levelDb(const std::vector<int16_t>& stereo, size_t from, size_t frames, int channel = 0) {
    double sum = 0;
    size_t n = 0;
    for (size_t i = from; i < from + frames && 2 * i + 1 < stereo.size(); ++i, ++n) {
        double v = stereo[2 * i + static_cast<size_t>(channel)] / 32768.0;
        sum += v * v;
    }
    if (n == 0 || sum == 0) return -200;
    return 10 * std::log10(sum / n * 2);
}

// Renders `seconds` of the player's sound; frames advance at the movie's
// rate, or follow the stream while one leads. `latency` frames of output
// are mixed but not yet heard.
inline std::vector<int16_t> play(flash::Player& p, double seconds, uint64_t latency = 0) {
    const size_t chunk = 441;
    std::vector<int16_t> out, piece(chunk * 2);
    double owed = 0;
    for (double t = 0; t < seconds * 44100; t += chunk) {
        p.sound().render(piece.data(), chunk);
        out.insert(out.end(), piece.begin(), piece.end());
        uint64_t mixed = p.sound().rendered();
        owed += chunk / 44100.0 * p.frameRate();
        int due = p.streamFramesDue(mixed > latency ? mixed - latency : 0);
        if (due >= 0) {
            owed = 0;
        } else {
            due = static_cast<int>(owed);
            owed -= due;
        }
        for (int i = 0; i < due; ++i) p.tick();
    }
    return out;
}

// A movie of `frames` frames whose stream holds `pcm` (16-bit mono at a
// SWF rate code), cut into per-frame blocks as authoring programs cut it:
// block k holds the samples from round(k * rate / fps) on.
inline swfw::Movie streamMovie(const std::vector<int16_t>& pcm, int rateCode, double fps, int codec = 3) {
    static const double kRates[4] = {5512.5, 11025, 22050, 44100};
    swfw::Movie m;
    m.frameRate = fps;
    double rate = kRates[rateCode];
    m.add(swfw::soundStreamHead(swfw::soundFormat(codec, rateCode, true, false),
                                static_cast<uint16_t>(rate / fps)));
    size_t frames = static_cast<size_t>(std::ceil(pcm.size() * fps / rate));
    for (size_t k = 0; k < frames; ++k) {
        size_t a = static_cast<size_t>(std::llround(k * rate / fps));
        size_t b = std::min(pcm.size(), static_cast<size_t>(std::llround((k + 1) * rate / fps)));
        std::vector<int16_t> part(pcm.begin() + static_cast<long>(a), pcm.begin() + static_cast<long>(b));
        swfw::Bytes data;
        if (codec == 1) {
            data = swfw::encodeAdpcm(part, 1, 4);
        } else {
            for (int16_t s : part) {
                data.push_back(static_cast<uint8_t>(s & 0xFF));
                data.push_back(static_cast<uint8_t>((s >> 8) & 0xFF));
            }
        }
        m.add(swfw::soundStreamBlock(data));
        m.showFrame();
    }
    return m;
}

// A movie whose stream is the MP3 frames of `mp3` (mono, rate code as in
// the format byte): each block takes the frames due by its frame's end, as
// authoring programs cut them; lame's delay (1105 samples) is the first
// block's seek samples and the head's latency.
inline swfw::Movie mp3StreamMovie(const swfw::Bytes& mp3, int rateCode, double fps) {
    static const double kRates[4] = {5512.5, 11025, 22050, 44100};
    const double rate = kRates[rateCode];
    std::vector<swfw::Mp3Frame> frames = swfw::splitMp3(mp3);
    swfw::Movie m;
    m.frameRate = fps;
    m.add(swfw::soundStreamHead(swfw::soundFormat(2, rateCode, true, false),
                                static_cast<uint16_t>(rate / fps), true, 1105));
    size_t next = 0;
    long written = 0;  // samples in the blocks so far
    for (int k = 0; next < frames.size(); ++k) {
        long due = std::lround((k + 1) * rate / fps) + 1105;
        swfw::Bytes data;
        long count = 0;
        while (next < frames.size() && written + count < due) {
            data.insert(data.end(), frames[next].data.begin(), frames[next].data.end());
            count += frames[next++].samples;
        }
        m.add(swfw::soundStreamBlockMp3(static_cast<uint16_t>(count), k == 0 ? 1105 : 0, data));
        written += count;
        m.showFrame();
    }
    return m;
}

}  // namespace fctest
