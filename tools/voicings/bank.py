"""The fixed pole set of the voicing bank and the bank's frequency response.

The poles reproduce the render side's set-up in float32: 100 sections from 50 Hz to 24 kHz,
limited to half the host rate, radius 0.82^(w/pi).
"""
import numpy as np

SECTIONS = 100


def section_poles(fs):
    """a1, a2 (float64 copies of the float32 values the render uses) for host rate fs."""
    s = np.arange(SECTIONS, dtype=np.float32)
    expo = np.float32(1.69897) + np.float32(2.6812415) * s * np.float32(0.01010101)
    f = np.power(np.float32(10.0), expo, dtype=np.float32)
    f = np.minimum(f, np.float32(fs / 2.0))
    w = np.float32(6.2831855) * f / np.float32(fs)
    r = np.power(np.float32(0.82), w / np.float32(3.1415927), dtype=np.float32)
    a1 = np.float32(-2.0) * r * np.cos(w, dtype=np.float32)
    a2 = (r * np.sin(w, dtype=np.float32)) ** 2 + (r * np.cos(w, dtype=np.float32)) ** 2
    return a1.astype(np.float64), a2.astype(np.float32).astype(np.float64)


def basis(fs, freqs):
    """Complex matrix (len(freqs), 200): column 2s is 1/D_s(z), column 2s+1 is z^-1/D_s(z)."""
    a1, a2 = section_poles(fs)
    z1 = np.exp(-2j * np.pi * np.asarray(freqs) / fs)[:, None]
    inv_d = 1.0 / (1.0 + a1[None, :] * z1 + a2[None, :] * z1 * z1)
    out = np.empty((len(freqs), 2 * SECTIONS), dtype=complex)
    out[:, 0::2] = inv_d
    out[:, 1::2] = z1 * inv_d
    return out


def response(gains, fs, freqs):
    return basis(fs, freqs) @ np.asarray(gains, dtype=np.float64)
