#!/usr/bin/env python3
"""Expected texts for FormatFixed and FormatExp, computed with exact decimal
arithmetic independently of the C++ code. Run once offline; its output is
pasted into tests/support/Format_test.cpp. CI never runs it.

Each input is given as
  x:<decimal>  the 80-bit extended value nearest to the decimal literal
  d:<decimal>  the IEEE double nearest to it (as a long double it is exact)
  inf, -inf, nan
and is written to C++ as an exact hexadecimal long double literal.

The rules reproduced here: the exact binary value is first reduced to 18
significant digits (nearest, halves to even); that is then rounded half away
from zero at the wanted place (FormatFixed: decimals after the point, 0..18;
FormatExp: significant digits, 2..18). FormatFixed falls back to an
exponent form (shortest mantissa of the 18 digits) from 10^18 on.
"""
from decimal import Decimal, localcontext, ROUND_HALF_EVEN, ROUND_HALF_UP
from fractions import Fraction

MANT_BITS = 64
MIN_EXP = -16445  # exponent of the smallest subnormal extended value


def nearest_extended(q: Fraction):
    """(sign, m, e) with |q| ~ m * 2^e, m < 2^64, nearest with ties to even."""
    if q == 0:
        return (1 if q < 0 else 0), 0, 0
    sign = 1 if q < 0 else 0
    q = abs(q)
    e = q.numerator.bit_length() - q.denominator.bit_length() - MANT_BITS
    while q / Fraction(2) ** e >= 2 ** MANT_BITS:
        e += 1
    while q / Fraction(2) ** e < 2 ** (MANT_BITS - 1):
        e -= 1
    e = max(e, MIN_EXP)
    scaled = q / Fraction(2) ** e
    m = scaled.numerator // scaled.denominator
    rest = scaled - m
    if rest > Fraction(1, 2) or (rest == Fraction(1, 2) and m % 2 == 1):
        m += 1
    if m == 2 ** MANT_BITS:
        m //= 2
        e += 1
    return sign, m, e


def parse_input(src):
    if src in ("inf", "-inf", "nan"):
        return src
    kind, text = src.split(":", 1)
    if kind == "x":
        q = Fraction(Decimal(text))
    elif kind == "d":
        q = Fraction(float(text))
    else:
        raise ValueError(src)
    neg_zero = text.strip().startswith("-") and q == 0
    sign, m, e = nearest_extended(q)
    return (1 if neg_zero else sign), m, e


def cpp_literal(v):
    if v == "inf":
        return "kInf"
    if v == "-inf":
        return "-kInf"
    if v == "nan":
        return "kNaN"
    sign, m, e = v
    return ("-" if sign else "") + "0x%XP%dL" % (m, e)


def exact_decimal(v):
    sign, m, e = v
    with localcontext() as ctx:
        ctx.prec = 6000
        x = Decimal(m) * (Decimal(2) ** e) if e >= 0 else Decimal(m) / (Decimal(2) ** -e)
    return -x if sign else x


def reduce18(x):
    with localcontext() as ctx:
        ctx.prec = 6000
        return x.quantize(Decimal(1).scaleb(x.adjusted() - 17), rounding=ROUND_HALF_EVEN)


def special(v):
    return {"inf": "INF", "-inf": "-INF", "nan": "NAN"}.get(v) if isinstance(v, str) else None


def exp_text(coef_digits, exp10, negative):
    out = ("-" if negative else "") + coef_digits[0] + "." + coef_digits[1:]
    return out + ("E-" if exp10 < 0 else "E+") + "%02d" % abs(exp10)


def round_sig(r, n, rounding):
    """r rounded to n significant digits: (digit string, exponent)."""
    with localcontext() as ctx:
        ctx.prec = 6000
        q = r.quantize(Decimal(1).scaleb(r.adjusted() - (n - 1)), rounding=rounding)
        coef = abs(int(q.scaleb(-(q.adjusted() - (n - 1)))))
        return str(coef)[:n], q.adjusted()


def format_fixed(decimals, v):
    s = special(v)
    if s:
        return s
    d = min(max(decimals, 0), 18)
    x = exact_decimal(v)
    if x == 0:
        return "0" + ("." + "0" * d if d else "")
    r = reduce18(x)
    if abs(r) >= Decimal(10) ** 18:
        digits, e = round_sig(abs(r), 18, ROUND_HALF_EVEN)
        digits = digits.rstrip("0") or "0"
        out = ("-" if r < 0 else "") + digits[0]
        if len(digits) > 1:
            out += "." + digits[1:]
        return out + ("E-" if e < 0 else "E+") + "%02d" % abs(e)
    with localcontext() as ctx:
        ctx.prec = 100
        f = r.quantize(Decimal(1).scaleb(-d), rounding=ROUND_HALF_UP)
    text = "{:f}".format(abs(f))
    return ("-" if f < 0 and f != 0 else "") + text


def format_exp(digits, v):
    s = special(v)
    if s:
        return s
    n = min(max(digits, 2), 18)
    x = exact_decimal(v)
    if x == 0:
        return exp_text("0" * n, 0, False)
    coef, e = round_sig(reduce18(x), n, ROUND_HALF_UP)
    return exp_text(coef, e, x < 0)


FIXED = [
    ("2.5 at 2", 2, "x:2.5"),
    ("2.5 at 0 rounds up", 0, "x:2.5"),
    ("-2.5 at 0 rounds away", 0, "x:-2.5"),
    ("3.5 at 0", 0, "x:3.5"),
    ("0.04 at 1", 1, "x:0.04"),
    ("-0.004 at 2 has no sign", 2, "x:-0.004"),
    ("0.0005 at 3", 3, "x:0.0005"),
    ("extended 1.005 at 2", 2, "x:1.005"),
    ("double 1.005 at 2", 2, "d:1.005"),
    ("extended 2.675 at 2", 2, "x:2.675"),
    ("double 2.675 at 2", 2, "d:2.675"),
    ("extended 0.95 at 1", 1, "x:0.95"),
    ("double 0.95 at 1", 1, "d:0.95"),
    ("9.996 at 2 carries", 2, "x:9.996"),
    ("9.875 exact tie", 2, "x:9.875"),
    ("-9.875 exact tie", 2, "x:-9.875"),
    ("0.125 exact tie", 2, "x:0.125"),
    ("-0.125 exact tie", 2, "x:-0.125"),
    ("99.5 at 0 carries", 0, "x:99.5"),
    ("999.9999 at 2", 2, "x:999.9999"),
    ("zero at 2", 2, "x:0"),
    ("negative zero at 2", 2, "x:-0"),
    ("negative zero at 0", 0, "x:-0"),
    ("-0.4 at 0", 0, "x:-0.4"),
    ("-0.5 at 0", 0, "x:-0.5"),
    ("1/3 asked for 20 gives 18", 20, "x:0.33333333333333333333333"),
    ("0.1 extended at 18", 18, "x:0.1"),
    ("0.1 double at 18", 18, "d:0.1"),
    ("digits past 18 print as zeros", 18, "x:1234567890.123456789012"),
    ("place before first digit", 3, "x:0.0004"),
    ("tiny at 2", 2, "x:4e-10"),
    ("tiny negative at 2", 2, "x:-4e-10"),
    ("5e-19 at 18 rounds to last place", 18, "x:5e-19"),
    ("4.9e-19 at 18", 18, "x:4.9e-19"),
    ("1e-300 at 18", 18, "x:1e-300"),
    ("18 integer digits", 0, "x:123456789012345678"),
    ("18 integer digits at 2", 2, "x:123456789012345678"),
    ("largest fixed", 0, "x:999999999999999999"),
    ("negative largest fixed", 3, "x:-999999999999999999"),
    ("17 nines and a half", 0, "x:99999999999999999.5"),
    ("tie at 18th digit to even up", 2, "x:12345678901234567.75"),
    ("tie at 18th digit to even down", 2, "x:12345678901234567.25"),
    ("tie at 18th digit at 0", 0, "x:12345678901234567.75"),
    ("1e17 at 1", 1, "x:1e17"),
    ("1e18 goes to exponent form", 2, "x:1e18"),
    ("18 nines and a half round to 1e18", 0, "x:999999999999999999.5"),
    ("-1.5e20", 2, "x:-1.5e20"),
    ("24 digits", 0, "x:123456789012345678901234"),
    ("largest extended", 2, "x:1.18973149535723176502e4932"),
    ("infinity", 2, "inf"),
    ("minus infinity", 2, "-inf"),
    ("not a number", 2, "nan"),
    ("123.456 at 0", 0, "x:123.456"),
    ("-123.456 at 1", 1, "x:-123.456"),
    ("0.45 extended at 1", 1, "x:0.45"),
    ("59.9999 at 3", 3, "x:59.9999"),
]

EXP = [
    ("solution report", 8, "x:1.2345678e-5"),
    ("solution report tie", 8, "x:1.23456785e-5"),
    ("zero", 8, "x:0"),
    ("negative zero", 8, "x:-0"),
    ("carry into exponent", 3, "x:9.9999999999"),
    ("extended -9.995 at 3", 3, "x:-9.995"),
    ("double -9.995 at 3", 3, "d:-9.995"),
    ("1 digit taken as 2", 1, "x:3.14159"),
    ("25 digits taken as 18", 25, "x:3.14159"),
    ("three-digit exponent", 5, "x:1e100"),
    ("negative three-digit exponent", 5, "x:1.5e-300"),
    ("largest extended", 8, "x:1.18973149535723176502e4932"),
    ("125 exact tie", 2, "x:125"),
    ("-125 exact tie", 2, "x:-125"),
    ("12345", 2, "x:12345"),
    ("0.1 double at 18", 18, "d:0.1"),
    ("0.1 extended at 18", 18, "x:0.1"),
    ("one", 8, "x:1"),
    ("-0.000123456", 4, "x:-0.000123456"),
    ("tie at 18th digit", 18, "x:12345678901234567.75"),
    ("infinity", 8, "inf"),
    ("minus infinity", 8, "-inf"),
    ("not a number", 8, "nan"),
]


def emit(name, rows, fn):
    print("// clang-format off")
    print("const NumberCase %s[] = {" % name)
    for label, arg, src in rows:
        v = parse_input(src)
        print('    {"%s (%s)", %d, %s, "%s"},' % (label, src, arg, cpp_literal(v), fn(arg, v)))
    print("};")
    print("// clang-format on")


if __name__ == "__main__":
    emit("kFixedCases", FIXED, format_fixed)
    print()
    emit("kExpCases", EXP, format_exp)
