#!/usr/bin/python3
"""Fits the ten tube coefficient tables; see docs/tubes.md for the models and the method."""
import os
import pickle
import shutil
import subprocess
import sys
from pathlib import Path
import numpy as np
from scipy.optimize import least_squares

sys.path.insert(0, str(Path(__file__).resolve().parent))
from tubes.models import solve_pentode, solve_triode  # noqa: E402
from tubes.polyfit import (column_positions, eval_fill, eval_power_sum,  # noqa: E402
                           minimax_fit, round_to_float32)

ROOT = Path(__file__).resolve().parent.parent
OUT_DIR = ROOT / "Source" / "Tubes"
COLUMNS = 44100
DEGREE = 20

SCALES = {
    "triode1_Ig_maxabs": [0.0002782863, 0.0002715064, 0.00026525094, 0.00025921807, 0.00025325172,
                          0.00024727988, 0.00024126994, 0.00023520747, 0.00022908661, 0.00022290567],
    "triode1_Ip_maxabs": [0.0010588366, 0.0013533051, 0.0016249967, 0.0018870222, 0.002146157,
                          0.0024055308, 0.002666559, 0.0029298686, 0.0031957142, 0.00346417],
    "triode2_Ig_maxabs": [5.6538185e-05, 4.834727e-05, 4.0292383e-05, 3.230903e-05, 2.4374756e-05,
                          1.6524042e-05, 8.912656e-06, 2.2694644e-06, 2.4542347e-08, 5.6542306e-11],
    "triode2_Ip_maxabs": [0.00023765834, 0.00031929655, 0.0003995896, 0.00047918982, 0.0005583413,
                          0.0006367467, 0.0007129845, 0.0007803643, 0.0008073617, 0.0008139293],
    "triode1_poweramp_Ig_maxabs": [0.00032364036, 0.0003080575, 0.00029268413, 0.0002774063,
                                   0.00026216073, 0.00024691227, 0.00023164129, 0.00021633685,
                                   0.00020099297, 0.00018560658],
    "triode1_poweramp_Ip_maxabs": [0.002040824, 0.0022259387, 0.002408565, 0.0025900563,
                                   0.002771164, 0.0029523065, 0.003133716, 0.0033155235,
                                   0.0034977994, 0.0036805803],
    "triode2_poweramp_Ig_maxabs": [0.0024947668, 0.002275268, 0.0020574722, 0.0018421217,
                                   0.0016304456, 0.0014246255, 0.0012287913, 0.0010508341,
                                   0.0009027097, 0.00079004746],
    "triode2_poweramp_Ip_maxabs": [0.0022041288, 0.0024628688, 0.0027219392, 0.0029813007,
                                   0.0032410715, 0.0035007778, 0.0037495603, 0.003975633,
                                   0.0041638063, 0.0043069297],
    "pentode2_poweramp_Ip_maxabs": [0.0003339978, 0.00044531655, 0.0005566233, 0.00066791475,
                                    0.00077918766, 0.0008904385, 0.0010016636, 0.0011128591,
                                    0.0012240207, 0.0013351439],
}

PRET1IP_ROW0 = [4685.599, -154.04385, -23713.338, 1604.1838, 50746.832, -5073.6562, -59618.414,
                7661.158, 41759.92, -6315.8506, -17737.955, 2932.9458, 4458.774, -745.4771,
                -623.2345, 96.11646, 42.75334, -5.314973, -1.1169846, 0.43875867, 0.6765399]

# Table order of the fill: (coefficient table, scale table).
TABLES = [
    ("polycoefspret1Ig", "triode1_Ig_maxabs"),
    ("polycoefspret1Ip", "triode1_Ip_maxabs"),
    ("polycoefspret2Ig", "triode2_Ig_maxabs"),
    ("polycoefspret2Ip", "triode2_Ip_maxabs"),
    ("polycoefst1Ig", "triode1_poweramp_Ig_maxabs"),
    ("polycoefst1", "triode1_poweramp_Ip_maxabs"),
    ("polycoefst2Ig", "triode2_poweramp_Ig_maxabs"),
    ("polycoefst2", "triode2_poweramp_Ip_maxabs"),
    ("polycoefspoly1", "pentode2_poweramp_Ip_maxabs"),
    ("polycoefspoly2", "pentode2_poweramp_Ip_maxabs"),
]


# Each triode: tables (grid, plate), row and column ranges, scale tables, and the self-impedance
# entries fixed by the circuit (None = fitted). Values in ohms.
TRIODES = {
    "pre1": dict(tables=(0, 1), rows=(50.0, 200.0), cols=(-4.0, 20.0),
                 scales=("triode1_Ig_maxabs", "triode1_Ip_maxabs"), k=(None, None, None)),
    "pre2": dict(tables=(2, 3), rows=(50.0, 200.0), cols=(-4.0, 20.0),
                 scales=("triode2_Ig_maxabs", "triode2_Ip_maxabs"),
                 k=(None, -24909.49, -40062.984)),
    "ps1": dict(tables=(4, 5), rows=(200.0, 400.0), cols=(-30.0, 50.0),
                scales=("triode1_poweramp_Ig_maxabs", "triode1_poweramp_Ip_maxabs"),
                k=(None, None, None)),
    "ps2": dict(tables=(6, 7), rows=(200.0, 400.0), cols=(-15.0, 40.0),
                scales=("triode2_poweramp_Ig_maxabs", "triode2_poweramp_Ip_maxabs"),
                k=(None, None, None)),
}
PENTODE = dict(tables=(8, 9), rows=(100.0, 400.0), cols=(-70.0, -45.0),
               scale="pentode2_poweramp_Ip_maxabs", low_end=(0.39, 0.11))

FIT_POINTS = 1601  # per row, for the polynomial fits
LAW_KEYS = ("G", "mu", "C", "Gg", "Cg", "xi")


def row_values(layout):
    return np.linspace(layout["rows"][0], layout["rows"][1], 10)


def col_values(layout, x):
    lo, hi = layout["cols"]
    return lo + (np.asarray(x, float) + 1.0) * 0.5 * (hi - lo)


PLATE_START = np.array([np.log(3e-3), np.log(80.0), np.log(10.0)])
PLATE_LOW = np.array([-np.inf, np.log(10.0), np.log(0.5)])
PLATE_HIGH = np.array([np.inf, np.log(120.0), np.log(20.0)])
# Knees sharper than about a volt cannot be followed by a degree-20 polynomial over a row.
SMOOTH_PLATE_HIGH = np.array([np.inf, np.log(120.0), np.log(6.0)])
SMOOTH_GRID_HIGH = np.array([np.inf, np.log(4.0), 3.0])
PRE1_PLATE_HIGH = np.array([np.inf, np.log(120.0), np.log(14.0)])
PRE1_GRID_HIGH = np.array([np.inf, np.log(8.0), 3.0])
GRID_START = np.array([np.log(5e-4), np.log(20.0), 1.5])
GRID_LOW = np.array([-np.inf, np.log(1.0), 0.5])
GRID_HIGH = np.array([np.inf, np.log(80.0), 2.5])


def law_from(plate, grid):
    return dict(G=np.exp(plate[0]), mu=np.exp(plate[1]), C=np.exp(plate[2]), gamma=1.5,
                Gg=np.exp(grid[0]), Cg=np.exp(grid[1]), xi=grid[2])


def triode_with_gains(law, gain_p, gain_g):
    p = dict(law)
    p["G"] = law["G"] * gain_p
    p["Gg"] = law["Gg"] * gain_g
    return p


def solve_rows(law, k, layout, x, gains=None):
    """Self-loaded (I_g, I_p) on a 10 x len(x) grid."""
    rows = row_values(layout)[:, None]
    cols = col_values(layout, x)[None, :]
    if gains is None:
        gp = gg = np.ones((10, 1))
    else:
        gp, gg = gains[0][:, None], gains[1][:, None]
    p = triode_with_gains(law, gp, gg)
    ig, ip, resid = solve_triode(p, k, rows, cols)
    assert resid < 1e-6, (layout["cols"], resid)
    return ig, ip


def fit_triode_pair(names, extra_residuals=None, fixed_plate=None, plate_start=PLATE_START,
                    grid_start=GRID_START, k_start=50e3, plate_high=PLATE_HIGH,
                    grid_high=GRID_HIGH, plate_low=PLATE_LOW):
    """Fits one plate law (shared by the named triodes, the two halves of one tube), a grid
    law per triode and their unknown self-impedances to the top-of-row currents given by the
    scale tables. Returns the law and K of each triode."""
    specs = [TRIODES[n] for n in names]
    unknown = [[i for i, kv in enumerate(s["k"]) if kv is None] for s in specs]
    n_plate = 0 if fixed_plate is not None else 3

    def split(v):
        plate = fixed_plate if fixed_plate is not None else v[:3]
        pos = n_plate
        laws, ks = [], []
        for s, u in zip(specs, unknown):
            laws.append(law_from(plate, v[pos:pos + 3]))
            pos += 3
            k = list(s["k"])
            for i in u:
                k[i] = -np.exp(v[pos])
                pos += 1
            ks.append(tuple(k))
        return laws, ks

    def residuals(v):
        laws, ks = split(v)
        out = []
        for s, law, k in zip(specs, laws, ks):
            ig, ip, _ = solve_triode(law, k, row_values(s), np.full(10, s["cols"][1]), 200)
            out.append(10 * np.log(np.maximum(ig, 1e-30) / np.array(SCALES[s["scales"][0]])))
            out.append(10 * np.log(np.maximum(ip, 1e-30) / np.array(SCALES[s["scales"][1]])))
        if extra_residuals is not None:
            out.append(extra_residuals(laws, ks))
        return np.concatenate(out)

    v0 = [] if fixed_plate is not None else [plate_start]
    lo = [] if fixed_plate is not None else [plate_low]
    hi = [] if fixed_plate is not None else [plate_high]
    for u in unknown:
        v0 += [grid_start, np.full(len(u), np.log(k_start))]
        lo += [GRID_LOW, np.full(len(u), np.log(1000.0))]
        hi += [grid_high, np.full(len(u), np.log(2e6))]
    lo, hi = np.concatenate(lo), np.concatenate(hi)
    v0 = np.clip(np.concatenate(v0), lo + 1e-6, hi - 1e-6)
    sol = least_squares(residuals, v0, bounds=(lo, hi), x_scale="jac", max_nfev=500)
    laws, ks = split(sol.x)
    return laws, ks, (sol.x[:3] if fixed_plate is None else fixed_plate)


def row_gains(law, k, layout):
    """Per-row perveance corrections (plate and grid) that make each row's largest current
    equal its scale-table entry; they absorb what the smooth law misses. The two currents
    interact through the self-load, so each row takes a damped 2x2 Newton step on the
    logarithms, its Jacobian from finite differences."""
    x = np.linspace(-1.0, 1.0, 241)
    target = np.log(np.array([SCALES[layout["scales"][1]], SCALES[layout["scales"][0]]]))
    logg = np.zeros((2, 10))

    def measure(lg):
        ig, ip = solve_rows(law, k, layout, x, np.exp(lg))
        return np.log(np.array([np.max(np.abs(ip), axis=1), np.max(np.abs(ig), axis=1)]))

    h = 1e-4
    for _ in range(40):
        m = measure(logg)
        err = target - m
        if np.max(np.abs(err)) < 1e-6:
            break
        jp = (measure(logg + np.array([[h], [0.0]])) - m) / h
        jg = (measure(logg + np.array([[0.0], [h]])) - m) / h
        det = jp[0] * jg[1] - jg[0] * jp[1]
        step_p = (err[0] * jg[1] - jg[0] * err[1]) / det
        step_g = (jp[0] * err[1] - jp[1] * err[0]) / det
        logg += np.clip(np.array([step_p, step_g]), -0.3, 0.3)
    return np.exp(logg)


def pentode_law_from(v):
    return dict(kp=np.exp(v[0]), mu=np.exp(v[1]), x=v[2], kg=np.exp(v[3]), kvb=np.exp(v[4]))


def fit_pentode():
    rows = row_values(PENTODE)
    scale = np.array(SCALES[PENTODE["scale"]])
    lo_c, hi_c = PENTODE["cols"]

    def residuals(v):
        p, kpp = pentode_law_from(v[:5]), -np.exp(v[5])
        top, _ = solve_pentode(p, kpp, rows, np.full(10, hi_c), 80)
        low, _ = solve_pentode(p, kpp, rows[[0, 9]], np.full(2, lo_c), 80)
        return np.concatenate([10 * np.log(top / scale),
                               10 * np.log(low / scale[[0, 9]] / np.array(PENTODE["low_end"]))])

    v0 = np.array([np.log(30.0), np.log(10.0), 1.4, np.log(1000.0), np.log(20.0), np.log(3e5)])
    sol = least_squares(residuals, v0, x_scale="jac", max_nfev=400)
    return pentode_law_from(sol.x[:5]), -np.exp(sol.x[5])


def pentode_rows(p, kpp, x, gains=None):
    rows = row_values(PENTODE)[:, None]
    cols = np.asarray(x, float)[None, :]
    cols = PENTODE["cols"][0] + (cols + 1.0) * 0.5 * (PENTODE["cols"][1] - PENTODE["cols"][0])
    q = dict(p)
    if gains is not None:
        q["kg"] = p["kg"] / gains[:, None]
    i, resid = solve_pentode(q, kpp, rows, cols)
    assert resid < 1e-6, (layout["cols"], resid)
    return i


def pentode_gains(p, kpp):
    gains = np.ones(10)
    scale = np.array(SCALES[PENTODE["scale"]])
    for _ in range(30):
        gains *= scale / pentode_rows(p, kpp, np.array([-1.0, 1.0]), gains).max(axis=1)
    return gains


def c_literal(value):
    """Shortest decimal that reads back as the same float32."""
    f = np.float32(value)
    if f == 0 or 1e-4 <= abs(f) < 1e6:
        text = np.format_float_positional(f, unique=True, trim="0")
    else:
        text = np.format_float_scientific(f, unique=True, trim="0")
    return text + "f"


def write_sources(coefs):
    hdr = ["// Generated by tools/fit_tubes.py — do not edit.",
           "// Tube characteristics: per row of the plate-side coordinate, 21 polynomial coefficients",
           "// (highest power first) of the current normalised by the row's scale, then two zeros.",
           "#pragma once", "",
           "inline constexpr int kRovuRizaPolyDegree = 20;",
           "inline constexpr int kRovuRizaPolyCoefs = 21;",
           "inline constexpr int kRovuRizaPolyTableFloats = 10 * 21 + 2;",
           "inline constexpr int kRovuRizaScaleTableFloats = 10 + 2;", ""]
    src = ["// Generated by tools/fit_tubes.py — do not edit.",
           '#include "Tubes/RovuRiza_TubeCoefficients.h"', ""]
    for name, _ in TABLES:
        hdr.append(f"extern const float {name}[kRovuRizaPolyTableFloats];")
        src.append(f"const float {name}[kRovuRizaPolyTableFloats] = {{")
        for r in range(10):
            src.append("    " + ", ".join(c_literal(c) for c in coefs[name][r]) + ",")
        src.append("    0.0f, 0.0f};")
        src.append("")
    hdr.append("")
    for name, vals in SCALES.items():
        hdr.append(f"extern const float {name}[kRovuRizaScaleTableFloats];")
    hdr += ["",
            "// Coefficients and scale of each tube table, in table order.",
            "struct RovuRiza_TubeTableSource",
            "{",
            "    const float* coefficients; // 10 rows of kRovuRizaPolyCoefs",
            "    const float* scale;        // 10 rows",
            "};",
            "extern const RovuRiza_TubeTableSource kRovuRizaTubeTableSources[10];"]
    src.append("const RovuRiza_TubeTableSource kRovuRizaTubeTableSources[10] = {")
    for name, scale in TABLES:
        src.append(f"    {{{name}, {scale}}},")
    src += ["};", ""]
    for name, vals in SCALES.items():
        src.append(f"const float {name}[kRovuRizaScaleTableFloats] = {{")
        src.append("    " + ", ".join(c_literal(v) for v in vals) + ", 0.0f, 0.0f};")
        src.append("")
    (OUT_DIR / "RovuRiza_TubeCoefficients.h").write_text("\n".join(hdr) + "\n")
    (OUT_DIR / "RovuRiza_TubeCoefficients.cpp").write_text("\n".join(src))
    if shutil.which("clang-format"):
        subprocess.run(["clang-format", "-i", str(OUT_DIR / "RovuRiza_TubeCoefficients.h"),
                        str(OUT_DIR / "RovuRiza_TubeCoefficients.cpp")], check=True, cwd=ROOT)


def memo(key, compute):
    """Development aid: with FIT_TUBES_LAWS naming a file, law fits are kept there by key and
    reused (delete an entry or the file after changing that fit)."""
    path = os.environ.get("FIT_TUBES_LAWS")
    store = {}
    if path and os.path.exists(path):
        with open(path, "rb") as f:
            store = pickle.load(f)
    if key not in store:
        store[key] = compute()
        if path:
            with open(path, "wb") as f:
                pickle.dump(store, f)
    return store[key]


def fit_models():
    """Returns, per tube table, the normalised model curve on the fit grid and the fit details."""
    x = np.linspace(-1.0, 1.0, FIT_POINTS)
    xr = np.linspace(-1.0, 1.0, 97)
    given_row0 = np.polyval(PRET1IP_ROW0, xr)
    pre1 = TRIODES["pre1"]

    def row0_shape(laws, ks):
        _, ip = solve_triode(laws[0], ks[0], np.full_like(xr, pre1["rows"][0]), col_values(pre1, xr),
                             200)[:2]
        return 3.0 * (ip / SCALES["triode1_Ip_maxabs"][0] - given_row0)

    # Stage 1 is also held cut off at the negative end of every row.
    def row0_shape_and_cut_off(laws, ks):
        _, ip = solve_triode(laws[0], ks[0], row_values(pre1), np.full(10, pre1["cols"][0]),
                             200)[:2]
        cut = 100.0 * ip / np.array(SCALES["triode1_Ip_maxabs"])
        return np.concatenate([row0_shape(laws, ks), cut])

    (law_pre1,), (k_pre1,), _ = memo("pre1", lambda: fit_triode_pair(
        ["pre1"], row0_shape_and_cut_off, plate_high=PRE1_PLATE_HIGH, grid_high=PRE1_GRID_HIGH))
    # The second stage needs its own perveance: with its circuit-given self-impedances its
    # largest plate currents are far below what the first stage's law would draw.
    (law_pre2,), (k_pre2,), _ = memo("pre2", lambda: fit_triode_pair(
        ["pre2"], plate_start=np.array([np.log(5e-4), np.log(100.0), np.log(5.0)]),
        grid_start=np.array([np.log(1e-3), np.log(25.0), 1.5]), k_start=243e3,
        plate_high=np.array([np.inf, np.log(120.0), np.log(6.0)])))
    def splitter_shape(laws, ks):
        # Both halves must be cut off at the negative end of their rows and reach their
        # largest currents at the positive end (a grid drawing more than the cathode gives
        # would otherwise make the plate current fall at the top of the row).
        xs = np.linspace(-1.0, 1.0, 41)
        out = []
        for name, law, k in zip(("ps1", "ps2"), laws, ks):
            layout = TRIODES[name]
            ig, ip = solve_triode(law, k, row_values(layout)[:, None], col_values(layout, xs)[None, :],
                                  200)[:2]
            sp = np.array(SCALES[layout["scales"][1]])
            out.append(100.0 * ip[:, 0] / sp)
            out.append(30.0 * np.log(np.max(ip, axis=1) / np.maximum(ip[:, -1], 1e-30)))
            out.append(30.0 * np.log(np.max(ig, axis=1) / np.maximum(ig[:, -1], 1e-30)))
        return np.concatenate(out)

    (law_ps1, law_ps2), (k_ps1, k_ps2), _ = memo("ps", lambda: fit_triode_pair(
        ["ps1", "ps2"], splitter_shape, plate_high=SMOOTH_PLATE_HIGH))
    report = {"laws": {"pre1": law_pre1, "pre2": law_pre2, "ps1": law_ps1, "ps2": law_ps2},
              "K": {}, "gains": {}}
    curves = {}
    for name, law, k in (("pre1", law_pre1, k_pre1), ("pre2", law_pre2, k_pre2),
                         ("ps1", law_ps1, k_ps1), ("ps2", law_ps2, k_ps2)):
        layout = TRIODES[name]
        gains = row_gains(law, k, layout)
        ig, ip = solve_rows(law, k, layout, x, gains)
        g_t, p_t = layout["tables"]
        curves[g_t] = ig / np.array(SCALES[layout["scales"][0]])[:, None]
        curves[p_t] = ip / np.array(SCALES[layout["scales"][1]])[:, None]
        report["K"][name] = k
        report["gains"][name] = gains
    pent, kpp = memo("pentode", fit_pentode)
    pg = pentode_gains(pent, kpp)
    ipent = pentode_rows(pent, kpp, x, pg) / np.array(SCALES[PENTODE["scale"]])[:, None]
    curves[8] = curves[9] = ipent
    report["laws"]["pentode"] = pent
    report["K"]["pentode"] = kpp
    report["gains"]["pentode"] = pg
    return x, curves, report


def main():
    x, curves, report = fit_models()
    coefs = {}
    lines = []
    xcol = column_positions()
    for index, (name, scale) in enumerate(TABLES):
        rows = []
        for r in range(10):
            if index == 1 and r == 0:
                c32 = np.array(PRET1IP_ROW0, np.float32)
            elif index == 9:
                c32 = coefs[TABLES[8][0]][r]
            else:
                c32 = round_to_float32(minimax_fit(x, curves[index][r]), x, curves[index][r])
            rows.append(c32)
            fitted = eval_fill(c32, x)
            err = np.max(np.abs(fitted - curves[index][r]))
            dense = eval_fill(c32, xcol)
            powsum = eval_power_sum(c32, xcol)
            lines.append((name, r, err, dense.max(), dense.min(), dense[0],
                          np.max(np.abs(powsum - dense))))
        coefs[name] = rows
    write_sources(coefs)
    write_samples(curves, x)
    print_report(report, lines)


def write_samples(curves, x):
    """Model samples for the tests: 101 columns per row, every 16th point of the fit grid."""
    pick = np.arange(0, FIT_POINTS, (FIT_POINTS - 1) // 100)
    out = ["// Generated by tools/fit_tubes.py — do not edit.",
           "// The self-loaded tube models, normalised by the row scale, at x = -1 + 2*i/100.",
           "#pragma once", "",
           "inline constexpr int kTubeModelSampleCount = 101;",
           "inline constexpr float kTubeModelSamples[10][10][kTubeModelSampleCount] = {"]
    for t in range(10):
        out.append("    {")
        for r in range(10):
            out.append("        {" + ", ".join(c_literal(v) for v in curves[t][r][pick]) + "},")
        out.append("    },")
    out.append("};")
    path = ROOT / "tests" / "tubes" / "RovuRiza_TubeModelSamples.h"
    path.parent.mkdir(parents=True, exist_ok=True)
    path.write_text("\n".join(out) + "\n")
    if shutil.which("clang-format"):
        subprocess.run(["clang-format", "-i", str(path)], check=True)


def print_report(report, lines):
    text = ["# Tube fit report (generated by tools/fit_tubes.py)", "", "## Laws", ""]
    for name, law in report["laws"].items():
        text.append(f"- {name}: " + ", ".join(f"{k}={v:.6g}" for k, v in law.items()))
    text += ["", "## Self-impedances (ohms; triodes K_gg, K_gp, K_pp)", ""]
    for name, k in report["K"].items():
        ks = k if isinstance(k, tuple) else (k,)
        text.append(f"- {name}: " + ", ".join(f"{v:.1f}" for v in ks))
    text += ["", "## Per-row perveance corrections (plate; grid)", ""]
    for name, g in report["gains"].items():
        if np.ndim(g) == 2:
            text.append(f"- {name}: plate {np.min(g[0]):.4f}..{np.max(g[0]):.4f}, "
                        f"grid {np.min(g[1]):.4g}..{np.max(g[1]):.4g}")
        else:
            text.append(f"- {name}: {np.min(g):.4f}..{np.max(g):.4f}")
    text += ["", "## Per table (normalised by the row scale; worst row)", "",
             "| table | fit residual | row max (min over rows..max) | lowest value | column 0 rows 0/9 |"
             " power-sum vs exact |", "|---|---|---|---|---|---|"]
    for name, _ in TABLES:
        rows = [l for l in lines if l[0] == name]
        fitted = rows[1:] if name == "polycoefspret1Ip" else rows
        text.append(f"| {name} | {max(l[2] for l in fitted):.4f} | "
                    f"{min(l[3] for l in rows):.4f}..{max(l[3] for l in rows):.4f} | "
                    f"{min(l[4] for l in rows):.4f} | {rows[0][5]:.4f} / {rows[9][5]:.4f} | "
                    f"{max(l[6] for l in rows):.2e} |")
    text += ["", "Worst polynomial residual per row (rows 0-9):", ""]
    for name, _ in TABLES:
        text.append(f"- {name}: " + " ".join(f"{l[2]:.4f}" for l in lines if l[0] == name))
    text.append("")
    given = [l for l in lines if l[0] == "polycoefspret1Ip"][0]
    text.append("Row 0 of polycoefspret1Ip is the given polynomial, kept as it is; its largest "
                f"deviation from the fitted law is {given[2]:.4f}, its maximum {given[3]:.4f} "
                f"and its lowest value {given[4]:.4f} (the fit residual column covers rows 1-9).")
    (ROOT / "docs" / "tubes-fit-report.md").write_text("\n".join(text) + "\n")
    print("\n".join(text))


if __name__ == "__main__":
    sys.exit(main())

