"""Degree-20 polynomial fits of normalised tube curves, rounded to float32.

Each row is fitted by linear programming: minimise the largest deviation t subject to
|p(x_i) - y_i| <= t on a dense grid, p(x_i) >= FLOOR everywhere (a curve that dips below zero at
cut-off would make a grid behind a large resistance draw false current) and bounded monomial
coefficients (so that a power-by-power float32 evaluation agrees with an exact one). The LP
works in the Chebyshev basis for conditioning. The monomial coefficients are then rounded to
float32 one at a time, highest power first, refitting the remaining ones in least squares after
each rounding, so that the rounding errors of the large coefficients are absorbed by the others.
Both ends are held within END_TOLERANCE of the curve: column 0 is the cut-off value and the last
column the row's scale.
"""
import numpy as np
from numpy.polynomial import chebyshev as cheb
from scipy.optimize import linprog

DEGREE = 20
FLOOR = -0.0012
END_TOLERANCE = 0.001  # column 0 (cut-off) and the last column (the row's scale) stay exact
COEF_BOUND = 30000.0


def _cheb_to_monomial_matrix():
    m = np.zeros((DEGREE + 1, DEGREE + 1))
    for k in range(DEGREE + 1):
        mono = cheb.cheb2poly([0.0] * k + [1.0])  # ascending powers
        m[: len(mono), k] = mono
    return m


def minimax_fit(x, y):
    """Returns monomial coefficients, highest power first (float64)."""
    tch = cheb.chebvander(x, DEGREE)
    to_mono = _cheb_to_monomial_matrix()
    n = DEGREE + 1
    ones = np.ones((len(x), 1))
    a_ub = np.vstack([
        np.hstack([tch, -ones]),            # p - y <= t
        np.hstack([-tch, -ones]),           # y - p <= t
        np.hstack([-tch, np.zeros_like(ones)]),  # p >= FLOOR
        np.hstack([to_mono, np.zeros((n, 1))]),
        np.hstack([-to_mono, np.zeros((n, 1))]),
    ])
    ends = tch[[0, -1]]
    a_ub = np.vstack([a_ub, np.hstack([ends, np.zeros((2, 1))]),
                      np.hstack([-ends, np.zeros((2, 1))])])
    b_ub = np.concatenate([y, -y, -FLOOR * np.ones(len(x)), COEF_BOUND * np.ones(2 * n),
                           y[[0, -1]] + END_TOLERANCE, -y[[0, -1]] + END_TOLERANCE])
    cost = np.zeros(n + 1)
    cost[-1] = 1.0
    res = linprog(cost, A_ub=a_ub, b_ub=b_ub, bounds=[(None, None)] * n + [(0, None)],
                  method="highs")
    if res.status != 0:
        raise RuntimeError(res.message)
    return (to_mono @ res.x[:n])[::-1]


def round_to_float32(coefs, x, y):
    """Sequential rounding with least-squares refit of the not yet rounded coefficients."""
    c = np.array(coefs, dtype=np.float64)
    v = np.vander(x, DEGREE + 1)
    target = np.polyval(c, x)
    for k in range(DEGREE + 1):
        c[k] = float(np.float32(c[k]))
        if k < DEGREE:
            fixed = v[:, : k + 1] @ c[: k + 1]
            rest = v[:, k + 1:]
            c[k + 1:], *_ = np.linalg.lstsq(rest, target - fixed, rcond=None)
    return c.astype(np.float32)


def eval_fill(coefs32, x32):
    """Exact (float64 Horner) value of float32 coefficients at float32 column positions."""
    return np.polyval(np.asarray(coefs32, np.float64), np.asarray(x32, np.float64))


def eval_power_sum(coefs32, x32):
    """The power-by-power float32 evaluation, term order as in the set-up fill."""
    p = np.asarray(coefs32, np.float32)
    x = np.asarray(x32, np.float32)
    q = p[18] * x * x + p[19] * x + (p[20] + np.float32(0))
    for k in range(3, 21):
        q = (p[20 - k] * np.power(x, np.float32(k))).astype(np.float32) + q
    return q


def column_positions():
    j = np.arange(44100, dtype=np.float32)
    return (j * np.float32(4.5352503e-05) - np.float32(1)).astype(np.float32)
