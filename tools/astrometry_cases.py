#!/usr/bin/python3
"""Offline generator of the reference numbers in tests/astrometry/.

Run by hand (Debian: python3-erfa); CI never runs it. Prints C++ tables that
are pasted into the tests:

  lstsq     least-squares systems with exactly representable entries and
            their solutions, solved exactly in rational arithmetic
            (normal equations over Fractions: no rounding at all)
  gnomonic  tangent-plane projections and their inverses from ERFA
            (eraTpxes, eraTpsts)
"""
import random
import sys
from decimal import Decimal, getcontext
from fractions import Fraction

getcontext().prec = 40


def exact_lstsq(rows):
    """rows: list of (coefficients, rhs) with Fraction entries."""
    n = len(rows[0][0])
    ata = [[sum(r[0][i] * r[0][j] for r in rows) for j in range(n)] for i in range(n)]
    atb = [sum(r[0][i] * r[1] for r in rows) for i in range(n)]
    # Gauss-Jordan in exact arithmetic.
    m = [ata[i] + [atb[i]] for i in range(n)]
    for c in range(n):
        p = next(r for r in range(c, n) if m[r][c] != 0)
        m[c], m[p] = m[p], m[c]
        for r in range(n):
            if r != c and m[r][c] != 0:
                f = m[r][c] / m[c][c]
                m[r] = [a - f * b for a, b in zip(m[r], m[c])]
    return [m[i][n] / m[i][i] for i in range(n)]


def dec(f):
    return format(Decimal(f.numerator) / Decimal(f.denominator), ".25e")


def lit(f):
    # Entries are dyadic, so their decimal expansion is exact and short.
    d = Decimal(f.numerator) / Decimal(f.denominator)
    return format(d.normalize(), "f")


def lstsq_cases():
    rnd = random.Random(20261210)
    cases = []
    for name, m, n in (("random8x3", 8, 3), ("random15x4", 15, 4), ("random30x6", 30, 6)):
        rows = []
        for _ in range(m):
            coeff = [Fraction(rnd.randint(-400, 400), 8) for _ in range(n)]
            rhs = Fraction(rnd.randint(-4000, 4000), 16)
            rows.append((coeff, rhs))
        cases.append((name, rows))
    # A quadratic plate design: pixel positions in 1/64 pixel, columns
    # x, y, xy, x^2, y^2, 1, right-hand side of standard-coordinate size.
    rows = []
    for _ in range(14):
        x = Fraction(rnd.randint(0, 765 * 64), 64)
        y = Fraction(rnd.randint(0, 510 * 64), 64)
        rhs = Fraction(rnd.randint(-2 ** 22, 2 ** 22), 2 ** 30)
        rows.append(([x, y, x * y, x * x, y * y, Fraction(1)], rhs))
    cases.append(("plate14x6", rows))
    out = []
    for name, rows in cases:
        sol = exact_lstsq(rows)
        out.append("  {\"%s\", %d, %d,\n   {" % (name, len(rows), len(rows[0][0])))
        for coeff, rhs in rows:
            out.append("    " + ", ".join(lit(v) + "L" for v in coeff + [rhs]) + ",")
        out.append("   },\n   {" + ", ".join(dec(v) + "L" for v in sol) + "}},")
    return "\n".join(out)


def gnomonic_cases():
    import erfa
    import math
    h = math.pi / 12.0
    d = math.pi / 180.0
    # (name, star RA h, Dec deg, centre RA h, Dec deg)
    rows = [
        ("midfield", 5.5912, 22.0145, 5.5750, 22.0000),
        ("across0h_west", 23.9950, 1.2500, 0.0040, 1.2000),
        ("across0h_east", 0.0090, -0.7500, 23.9980, -0.8000),
        ("nearNorthPole", 7.2000, 89.8500, 1.0000, 89.9000),
        ("nearSouthPole", 19.0000, -89.7000, 15.5000, -89.8000),
        ("southField", 12.2510, -35.5000, 12.2400, -35.4200),
        ("wideOffset", 3.1000, 45.9000, 3.0000, 45.0000),
    ]
    out = []
    for name, ra, de, ra0, de0 in rows:
        xi, eta = erfa.tpxes(ra * h, de * d, ra0 * h, de0 * d)
        a, b = erfa.tpsts(xi, eta, ra0 * h, de0 * d)
        a = a % (2 * math.pi)
        out.append("  {\"%s\", %.17g, %.17g, %.17g, %.17g, %.17g, %.17g, %.17g, %.17g}," %
                   (name, ra, de, ra0, de0, xi, eta, a / h, b / d))
    return "\n".join(out)


if __name__ == "__main__":
    what = sys.argv[1] if len(sys.argv) > 1 else "all"
    if what in ("lstsq", "all"):
        print("// name, rows, unknowns, {row coefficients..., rhs}, exact solution")
        print(lstsq_cases())
    if what in ("gnomonic", "all"):
        print("// name, star RA h, Dec deg, centre RA h, Dec deg, xi, eta (rad),")
        print("// tpsts RA h, Dec deg")
        print(gnomonic_cases())
