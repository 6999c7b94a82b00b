#!/usr/bin/env python3
"""Differential check: on generated well-formed logs (single spaces, nine
fields, numbers that fit), the program's per-address requests and megabytes
and its totals equal what an awk one-liner sums from the same file.

    awk_diff.py --program PATH [--awk mawk] [--logs N] [--seed S]
"""

import argparse
import os
import random
import subprocess
import sys
import tempfile

AWK = "{r[$3]+=$8; k[$3]+=$9} END {for (a in r) printf \"%s %.0f %.0f\\n\", a, r[a], k[a]}"


def megabytes(kilobytes):
    hundredths, rest = divmod(kilobytes * 100, 1024)
    if rest > 512 or (rest == 512 and hundredths % 2):
        hundredths += 1
    return f"{hundredths // 100}.{hundredths % 100:02d}"


def make_log(rng):
    pool_size = rng.randint(1, 300)
    # Addresses that share prefixes, as real ones do (10.0.0.1, 10.0.0.10, ...).
    pool = [f"{rng.choice([10, 172, 192])}.{rng.randint(0, 3)}.{rng.randint(0, 20)}."
            f"{rng.randint(0, 255)}" for _ in range(pool_size)]
    line_end = rng.choice(["\r\n", "\n"])
    lines = []
    for _ in range(rng.randint(1, 4000)):
        fields = [
            f"2026-12-{rng.randint(1, 28):02d}",
            f"{rng.randint(0, 23):02d}:{rng.randint(0, 59):02d}:00",
            rng.choice(pool),
            rng.choice(["ann", "bob", "-"]),
            rng.choice(["http", "ftp", "https"]),
            rng.choice(["www.example.com", "ftp.example.net", "a.b"]),
            str(rng.choice([21, 80, 443])),
            str(rng.randint(0, 5000)),
            str(rng.randint(0, 99999)),
        ]
        lines.append(" ".join(fields) + line_end)
    return "".join(lines).encode()


def olvasum_table(out):
    lines = out.decode().split("\n")
    start = lines.index("User IP               N req.      MBytes sent      Usage") + 1
    end = lines.index("", start)
    rows = {}
    for line in lines[start:end]:
        address, requests, mb, _ = line.split()
        rows[address] = (int(requests), mb)
    _, requests, mb = lines[end + 1].split()
    return rows, (int(requests), mb)


def awk_table(out):
    rows = {}
    for line in out.decode().splitlines():
        address, requests, kilobytes = line.split()
        rows[address] = (int(requests), int(kilobytes))
    total = (sum(r for r, _ in rows.values()), megabytes(sum(k for _, k in rows.values())))
    return {a: (r, megabytes(k)) for a, (r, k) in rows.items()}, total


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--awk", default="mawk")
    parser.add_argument("--logs", type=int, default=40)
    parser.add_argument("--seed", type=int, default=2026)
    args = parser.parse_args()

    rng = random.Random(args.seed)
    passed = failed = 0
    with tempfile.TemporaryDirectory() as scratch:
        log = os.path.join(scratch, "conn.log")
        with open(os.path.join(scratch, "olva30.ini"), "wb") as f:
            f.write(b"[Connect Log]\r\nFile Name=" + log.encode() + b"\r\n")
        for number in range(args.logs):
            with open(log, "wb") as f:
                f.write(make_log(rng))
            # A sanitized build must not count as leaks the memory that the
            # program leaves to the end of the process.
            env = {"SYSTEMROOT": scratch, "ASAN_OPTIONS": "detect_leaks=0"}
            ours = subprocess.run([args.program], env=env,
                                  capture_output=True, check=True).stdout
            theirs = subprocess.run([args.awk, AWK, log], capture_output=True, check=True).stdout
            if olvasum_table(ours) == awk_table(theirs):
                passed += 1
            else:
                failed += 1
                print(f"FAIL log {number} (seed {args.seed}): sums differ from {args.awk}'s")
    print(f"awk: {passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
