"""Tube laws and their self-loaded solution.

Triode: cathode current I_k = G*(softplus(C*(V_p/mu + V_g))/C)**gamma, grid-diode current
I_g = Gg*(softplus(Cg*V_g)/Cg)**xi, plate current I_p = I_k - I_g (voltages from the cathode).
Pentode (screen held at 375 V, no grid current):
E1 = (Vs/kp)*softplus(kp*(1/mu + V_g/Vs)), I_p = (E1**x/kg)*(2/pi)*atan(V_p/kvb).

Self-load: the circuit leaves a tube's own currents out of its own coordinates, so with
stored currents I = (I_g, I_p) the tube sees V_g = col + Kgg*I_g + Kgp*I_p and
V_p = row + Kgp*I_g + Kpp*I_p, K being the (negative) instantaneous self-impedance of the
network at the grid and plate. Solving these together with the law gives the stored currents.
"""
import numpy as np

SCREEN = 375.0


def softplus(v):
    return np.logaddexp(0.0, v)


def sigmoid(v):
    return 0.5 * (1.0 + np.tanh(0.5 * v))


def triode_currents(p, vg, vp):
    """Grid and plate current and their derivatives d/dVg, d/dVp."""
    u = vp / p["mu"] + vg
    s = softplus(p["C"] * u) / p["C"]
    s = np.maximum(s, 1e-300)
    ik = p["G"] * s ** p["gamma"]
    dik = p["G"] * p["gamma"] * s ** (p["gamma"] - 1.0) * sigmoid(p["C"] * u)
    sg = np.maximum(softplus(p["Cg"] * vg) / p["Cg"], 1e-300)
    ig = p["Gg"] * sg ** p["xi"]
    dig = p["Gg"] * p["xi"] * sg ** (p["xi"] - 1.0) * sigmoid(p["Cg"] * vg)
    return ig, ik - ig, dig, dik - dig, dik / p["mu"]


def solve_triode(p, k, row, col, iterations=400):
    """Self-loaded currents (I_g, I_p) for arrays of row/column coordinates."""
    kgg, kgp, kpp = k
    row, col = np.broadcast_arrays(np.asarray(row, float), np.asarray(col, float))
    vg = np.minimum(col, 0.0).copy()
    vp = row.copy()
    with np.errstate(all="ignore"):
        return _newton(p, kgg, kgp, kpp, row, col, vg, vp, iterations)


def _residual(p, kgg, kgp, kpp, row, col, vg, vp):
    ig, ip, dig, dipg, dipp = triode_currents(p, vg, vp)
    f1 = vg - col - kgg * ig - kgp * ip
    f2 = vp - row - kgp * ig - kpp * ip
    return f1, f2, dig, dipg, dipp


def _newton(p, kgg, kgp, kpp, row, col, vg, vp, iterations):
    """Damped Newton with backtracking on the residual norm, element by element."""
    f1, f2, dig, dipg, dipp = _residual(p, kgg, kgp, kpp, row, col, vg, vp)
    for _ in range(iterations):
        norm = np.hypot(f1, f2 / 10.0)
        if np.max(np.abs(f1)) < 1e-10 and np.max(np.abs(f2)) < 1e-10:
            break
        j11 = 1.0 - kgg * dig - kgp * dipg
        j12 = -kgp * dipp
        j21 = -kgp * dig - kpp * dipg
        j22 = 1.0 - kpp * dipp
        det = j11 * j22 - j12 * j21
        good = np.isfinite(det) & (np.abs(det) > 1e-12)
        det = np.where(good, det, 1.0)
        dvg = np.where(good, (f1 * j22 - f2 * j12) / det, 0.5 * f1)
        dvp = np.where(good, (f2 * j11 - f1 * j21) / det, 0.5 * f2)
        scale = np.maximum(1.0, np.maximum(np.abs(dvg) / 5.0, np.abs(dvp) / 50.0))
        alpha = 1.0 / scale
        accepted = np.zeros(vg.shape, bool)
        new_vg, new_vp = vg.copy(), vp.copy()
        new = (f1, f2, dig, dipg, dipp)
        for _ in range(30):
            tg = vg - alpha * dvg
            tp = vp - alpha * dvp
            r = _residual(p, kgg, kgp, kpp, row, col, tg, tp)
            ok = ~accepted & np.isfinite(r[0]) & np.isfinite(r[1]) & \
                (np.hypot(r[0], r[1] / 10.0) < norm)
            new_vg = np.where(ok, tg, new_vg)
            new_vp = np.where(ok, tp, new_vp)
            new = tuple(np.where(ok, a, b) for a, b in zip(r, new))
            accepted |= ok
            if accepted.all():
                break
            alpha = np.where(accepted, alpha, alpha * 0.5)
        vg, vp = new_vg, new_vp
        f1, f2, dig, dipg, dipp = new
    ig, ip, *_ = triode_currents(p, vg, vp)
    resid = max(np.max(np.abs(vg - col - kgg * ig - kgp * ip)),
                np.max(np.abs(vp - row - kgp * ig - kpp * ip)))
    return ig, ip, resid


def pentode_current(p, vg, vp):
    e1 = SCREEN / p["kp"] * softplus(p["kp"] * (1.0 / p["mu"] + vg / SCREEN))
    base = e1 ** p["x"] / p["kg"]
    i = base * (2.0 / np.pi) * np.arctan(vp / p["kvb"])
    di = base * (2.0 / np.pi) / p["kvb"] / (1.0 + (vp / p["kvb"]) ** 2)
    return i, di


def solve_pentode(p, kpp, row, col, iterations=200):
    """Self-loaded plate current: V_p = row + Kpp*I_p (the grid draws no current)."""
    row, col = np.broadcast_arrays(np.asarray(row, float), np.asarray(col, float))
    vp = row.copy()
    # The residual is increasing in V_p, so bisection on [low, row] is safe.
    lo = np.zeros_like(row)
    hi = row.copy()
    for _ in range(iterations):
        vp = 0.5 * (lo + hi)
        i, _ = pentode_current(p, col, vp)
        f = vp - row - kpp * i
        hi = np.where(f > 0, vp, hi)
        lo = np.where(f > 0, lo, vp)
    i, _ = pentode_current(p, col, vp)
    return i, np.max(np.abs(vp - row - kpp * i))
