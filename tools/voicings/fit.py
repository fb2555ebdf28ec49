"""Joint weighted complex least-squares fit of one voicing's gains over the rates it serves.

Unknowns are the 200 gains minus the fixed (quoted) entries. For each served rate the bank's
response is sampled on a log-spaced grid from 20 Hz to just below half the rate; each residual
is divided by the target's magnitude (relative error) and weighted by band (the 60 Hz-8 kHz
band counts most). Real and imaginary parts are stacked into one real problem with a light
Tikhonov term. The weights are then refined a few times: points whose level error exceeds the
goals get heavier, so the fit trades accuracy where the goals allow it for accuracy where
they do not (and never leaves a peak above the target near the top of the band).
"""
import numpy as np

from . import bank, targets

POINTS_PER_RATE = 320
LOW_EDGE = 20.0


def grid(fs):
    return np.geomspace(LOW_EDGE, 0.998 * fs / 2.0, POINTS_PER_RATE)


def band_weight(f):
    w = np.full(f.shape, 0.25)
    w[(f >= 45.0) & (f < 60.0)] = 0.6
    w[(f >= 60.0) & (f <= 8000.0)] = 1.0
    w[(f > 8000.0) & (f <= 16000.0)] = 0.5
    return w


def level_error_db(gains, target_grid, scale, fs, freqs):
    h = bank.response(gains, fs, freqs)
    t = scale * targets.at(target_grid, freqs)
    return 20 * np.log10(np.abs(h) + 1e-30) - 20 * np.log10(np.abs(t))


def fit(target_grid, rates, scale, fixed, refinements=6, reg=1e-7):
    """Returns the 200 gains. fixed maps entry index -> value kept exactly."""
    fixed_idx = np.array(sorted(fixed), dtype=int)
    fixed_val = np.array([fixed[i] for i in fixed_idx], dtype=float)
    free_idx = np.setdiff1d(np.arange(2 * bank.SECTIONS), fixed_idx)

    blocks = []
    for fs in rates:
        f = grid(fs)
        a = bank.basis(fs, f)
        t = scale * targets.at(target_grid, f)
        b = t - (a[:, fixed_idx] @ fixed_val if len(fixed_idx) else 0.0)
        blocks.append((fs, f, a[:, free_idx] / np.abs(t)[:, None], b / np.abs(t),
                       band_weight(f)))

    extra = [np.ones(len(f)) for _, f, _, _, _ in blocks]
    gains = np.zeros(2 * bank.SECTIONS)
    gains[fixed_idx] = fixed_val
    for it in range(refinements + 1):
        rows, rhs = [], []
        for (fs, f, a, b, bw), ex in zip(blocks, extra):
            w = (bw * ex)[:, None]
            rows += [w * a.real, w * a.imag]
            rhs += [w[:, 0] * b.real, w[:, 0] * b.imag]
        m = np.vstack(rows)
        y = np.concatenate(rhs)
        # Column scaling keeps the tiny low-section gains and the large top ones comparable.
        norms = np.linalg.norm(m, axis=0)
        mn = m / norms
        lam = reg * len(y)
        x = np.linalg.solve(mn.T @ mn + lam * np.eye(mn.shape[1]), mn.T @ y) / norms
        gains[free_idx] = x
        if it == refinements:
            break
        for k, (fs, f, _, _, _) in enumerate(blocks):
            e = level_error_db(gains, target_grid, scale, fs, f)
            over = np.maximum(e - 2.0, 0.0)
            inband = (f >= 60.0) & (f <= 8000.0)
            midband = (f > 8000.0) & (f <= 16000.0)
            miss = np.where(inband, np.maximum(np.abs(e) - 0.7, 0.0), 0.0)
            miss += np.where(midband, np.maximum(np.abs(e) - 2.2, 0.0), 0.0)
            extra[k] *= 1.0 + 1.5 * np.minimum(over + miss, 4.0)
    return gains
