"""Target responses of the 28 voicings.

Every target is a speaker model times a microphone model (or a complex blend of several
microphones, each with its own small path difference), times the variant's shelf or peak.
All pieces are analog second-order responses evaluated at s = j*2*pi*f. The magnitude of the
product is then given its minimum phase (real-cepstrum folding on a dense grid), so that the
same target holds at every host rate and the bank, whose sections are causal resonators, can
follow it in phase as well as in magnitude.
"""
import numpy as np

# ---------------------------------------------------------------- analog building blocks


def _s(f):
    return 2j * np.pi * np.asarray(f, dtype=float)


def hp2(f, fc, q):
    s, w = _s(f), 2 * np.pi * fc
    return s * s / (s * s + s * w / q + w * w)


def hp1(f, fc):
    s, w = _s(f), 2 * np.pi * fc
    return s / (s + w)


def lp2(f, fc, q, floor_ratio=None):
    """Low-pass; with floor_ratio, a zero pair at fc*floor_ratio levels it off (a steep shelf)."""
    s, w = _s(f), 2 * np.pi * fc
    h = w * w / (s * s + s * w / q + w * w)
    if floor_ratio is not None:
        wz = w * floor_ratio
        h = h * (s * s + s * wz / 0.7 + wz * wz) / (wz * wz)
    return h


def peak(f, f0, gain_db, q):
    s, w = _s(f), 2 * np.pi * f0
    a = 10 ** (gain_db / 40.0)
    return (s * s + s * w * a / q + w * w) / (s * s + s * w / (a * q) + w * w)


def low_shelf(f, f0, gain_db, q=0.7):
    s, w = _s(f), 2 * np.pi * f0
    a = 10 ** (gain_db / 40.0)
    sa = np.sqrt(a)
    return a * (s * s + sa * w * s / q + a * w * w) / (a * s * s + sa * w * s / q + w * w)


def high_shelf(f, f0, gain_db, q=0.7):
    s, w = _s(f), 2 * np.pi * f0
    a = 10 ** (gain_db / 40.0)
    sa = np.sqrt(a)
    return a * (a * s * s + sa * w * s / q + w * w) / (s * s + sa * w * s / q + a * w * w)


def delay(f, seconds):
    return np.exp(-_s(f) * seconds)


# ---------------------------------------------------------------- speakers and microphones


def speaker_older(f):
    """Looser, darker cone: low resonance with a broad bump, early break-up, early roll-off."""
    return (hp2(f, 82.0, 1.6) * hp1(f, 45.0) * peak(f, 350.0, -2.0, 0.9)
            * peak(f, 1150.0, 3.0, 2.5) * peak(f, 1750.0, -3.5, 3.0)
            * peak(f, 2500.0, 4.5, 3.0) * peak(f, 3300.0, -3.0, 4.0)
            * peak(f, 4100.0, 2.5, 3.5)
            * lp2(f, 4600.0, 0.9, 4.0) * lp2(f, 5400.0, 0.6, 4.0))


def speaker_newer(f):
    """Tighter, brighter cone: higher, better damped resonance, break-up and roll-off later."""
    return (hp2(f, 95.0, 1.15) * hp1(f, 50.0) * peak(f, 400.0, -1.5, 1.0)
            * peak(f, 1400.0, 2.5, 2.5) * peak(f, 2100.0, -3.0, 3.0)
            * peak(f, 2900.0, 5.0, 3.0) * peak(f, 3800.0, -3.0, 4.0)
            * peak(f, 4700.0, 3.0, 3.5)
            * lp2(f, 5600.0, 0.9, 4.0) * lp2(f, 6400.0, 0.6, 4.0))


def mic_roy(f):
    """Ribbon: strong proximity bass, soft dark top."""
    return low_shelf(f, 220.0, 6.0) * high_shelf(f, 2800.0, -6.0) * lp2(f, 9000.0, 0.7)


def mic_senn(f):
    """Large dynamic: broad, flat presence, moderate proximity bass."""
    return low_shelf(f, 160.0, 2.5) * peak(f, 4000.0, 2.5, 0.6) * lp2(f, 14000.0, 0.7)


def mic_57(f):
    """Cardioid dynamic: lean bass, presence peak near 5 kHz."""
    return (low_shelf(f, 180.0, -2.0) * peak(f, 5000.0, 5.0, 1.6) * peak(f, 8500.0, -2.0, 2.0)
            * lp2(f, 13000.0, 0.7))


def mic_neu(f):
    """Large-diaphragm condenser: extended, slightly lifted top."""
    return low_shelf(f, 120.0, 1.0) * high_shelf(f, 7000.0, 3.0) * peak(f, 11000.0, 2.0, 1.5)


MICS = {"Roy": mic_roy, "Senn": mic_senn, "57": mic_57, "Neu": mic_neu}

# Complex blends: each microphone's weight and path difference (seconds) to the cone.
# The small differences give the partial comb of two close-placed microphones.
BLENDS = {
    ("Roy", "57"): [("Roy", 0.5, 0.0), ("57", 0.5, 40e-6)],
    ("Senn", "57"): [("Senn", 0.5, 0.0), ("57", 0.5, 25e-6)],
    ("Roy", "Senn"): [("Roy", 0.5, 0.0), ("Senn", 0.5, 55e-6)],
    ("Roy", "57", "Senn"): [("Roy", 0.4, 0.0), ("57", 0.3, 30e-6), ("Senn", 0.3, 50e-6)],
}

VARIANTS = {
    "Neutral": lambda f: np.ones_like(_s(f)),
    "Brighter": lambda f: high_shelf(f, 2500.0, 3.5),
    "Darker": lambda f: high_shelf(f, 2200.0, -3.5),
    "Darkest": lambda f: high_shelf(f, 1800.0, -7.0),
    "Fat": lambda f: low_shelf(f, 260.0, 4.0) * peak(f, 140.0, 2.0, 1.0),
    "Light": lambda f: low_shelf(f, 320.0, -5.0),
    # Behind the open back: the cone's rear wave, more bass and box, far less top.
    "Back": lambda f: (low_shelf(f, 200.0, 4.0) * peak(f, 650.0, 2.5, 1.2)
                       * high_shelf(f, 1500.0, -7.0)),
    "Old": lambda f: np.ones_like(_s(f)),
}


# Above a few kHz the microphones' signals stop being coherent (each sees a different part of
# the cone and the room), so a blend goes from a complex sum to a power sum instead of keeping
# ever finer comb notches up to the ultrasonic range.
COHERENCE_CORNER = 9000.0


def blend(f, parts):
    coherent = sum(w * MICS[m](f) * delay(f, d) for m, w, d in parts)
    power = sum(np.abs(w * MICS[m](f)) ** 2 for m, w, d in parts)
    c = np.exp(-(np.asarray(f, dtype=float) / COHERENCE_CORNER) ** 2)
    # Magnitude only: the minimum-phase step below gives the phase.
    return np.sqrt(c * np.abs(coherent) ** 2 + (1.0 - c) * power)


def parse_name(name):
    """'4 Roy + 57 + Senn - Older' -> (('Roy','57','Senn'), 'Older')."""
    body = name.split(" ", 1)[1]
    mics, word = body.rsplit(" - ", 1)
    return tuple(m.strip() for m in mics.split("+")), word


def analog_response(name, f):
    mics, word = parse_name(name)
    if len(mics) > 1:
        speaker = speaker_older if word == "Older" else speaker_newer
        mic = blend(f, BLENDS[mics])
        variant = 1.0
    else:
        # Single microphones on the amp's own (older) cone; "Old" names it explicitly.
        speaker = speaker_older
        mic = MICS[mics[0]](f)
        variant = VARIANTS[word](f)
    return speaker(f) * mic * variant


def describe(name):
    mics, word = parse_name(name)
    if len(mics) > 1:
        parts = ", ".join(f"{m} x{w:g} ({d * 1e6:.0f} us)" for m, w, d in BLENDS[mics])
        return f"{word.lower()} cone; blend {parts}"
    return f"older cone; {mics[0]} microphone; variant {word}"


# ---------------------------------------------------------------- minimum phase

_GRID_RATE = 768000.0
_GRID_N = 1 << 19


def minimum_phase(name):
    """(freqs, complex minimum-phase response) on a dense linear grid up to 384 kHz."""
    f = np.arange(_GRID_N // 2 + 1) * (_GRID_RATE / _GRID_N)
    mag = np.abs(analog_response(name, np.maximum(f, 1.0)))
    logmag = np.log(np.maximum(mag, 1e-9))
    full = np.concatenate([logmag, logmag[-2:0:-1]])
    cep = np.fft.ifft(full).real
    fold = np.zeros_like(cep)
    fold[0] = cep[0]
    fold[1:_GRID_N // 2] = 2 * cep[1:_GRID_N // 2]
    fold[_GRID_N // 2] = cep[_GRID_N // 2]
    layout = np.exp(np.fft.fft(fold))[: _GRID_N // 2 + 1]
    return f, layout


def at(grid, freqs):
    """Interpolates a minimum-phase grid (from minimum_phase) at freqs: log-magnitude and phase."""
    f, layout = grid
    lm = np.interp(freqs, f, np.log(np.abs(layout)))
    ph = np.interp(freqs, f, np.unwrap(np.angle(layout)))
    return np.exp(lm + 1j * ph)
