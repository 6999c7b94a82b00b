#!/usr/bin/env python3
"""Runs the program on every case of cases.py and compares its standard
output, standard error and exit status byte for byte.

The POSIX build runs with an environment of the case's own. The Windows
program runs under Wine with a prefix of its own: Wine names C:\\windows in
SystemRoot, so the configuration goes into the prefix's drive_c/windows and
the log is named by its Z: path.
"""

import argparse
import os
import resource
import shutil
import subprocess
import sys
import tempfile
import threading

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from awk_diff import megabytes  # noqa: E402
from cases import CASES, INI, Case  # noqa: E402


class Posix:
    name = "posix"

    def __init__(self, program, scratch, sanitized=False):
        self.program = program
        self.scratch = scratch
        self.sanitized = sanitized

    def config_dir(self, case_dir):
        return os.path.join(case_dir, "sys")

    def config_path(self, case_dir):
        return os.path.join(self.config_dir(case_dir), "olva30.ini")

    def log_location(self, case_dir, name):
        """(path for the program, path on this machine) of a log file."""
        path = os.path.join(case_dir, name)
        return path, path

    def dir_text(self, case_dir):
        return case_dir + "/"

    def command(self):
        return [self.program]

    def environment(self, case, case_dir):
        env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin")}
        if self.sanitized:
            # The program leaves its memory to the end of the process.
            env["ASAN_OPTIONS"] = "detect_leaks=0"
        pairs = case.env if case and case.env is not None else [("SYSTEMROOT", "@SYS@")]
        for name, value in pairs:
            env[name] = value.replace("@SYS@", self.config_dir(case_dir))
        return env

    def expected(self, text):
        return text

    def close(self):
        pass


class Wine(Posix):
    name = "wine"

    def __init__(self, program, scratch):
        super().__init__(program, scratch)
        self.prefix = os.path.join(scratch, "wineprefix")
        self.base_env = {
            "PATH": os.environ.get("PATH", "/usr/bin:/bin"),
            "HOME": scratch,
            "WINEPREFIX": self.prefix,
            "WINEDEBUG": "-all",
            "WINEDLLOVERRIDES": "mscoree,mshtml=",
        }
        subprocess.run(["wineboot", "-i"], env=self.base_env, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # A resident server saves its start-up on every case; the one that
        # wineboot started is let go first.
        subprocess.run(["wineserver", "-w"], env=self.base_env, check=True)
        subprocess.run(["wineserver", "-p"], env=self.base_env, check=True)
        # Wine's own services start with the first program and would hold
        # that program's output pipes open: start them here, on nothing.
        subprocess.run(["wine", "cmd", "/c", "exit"], env=self.base_env, check=True,
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        self.windows = os.path.join(self.prefix, "drive_c", "windows")

    def config_dir(self, case_dir):
        return self.windows

    def log_location(self, case_dir, name):
        parts = name.split("\\")
        host = os.path.join(case_dir, *parts)
        os.makedirs(os.path.dirname(host), exist_ok=True)
        return self.dir_text(case_dir) + name, host

    def dir_text(self, case_dir):
        return "Z:" + case_dir.replace("/", "\\") + "\\"

    def command(self):
        return ["wine", self.program]

    def environment(self, case, case_dir):
        return dict(self.base_env)

    def expected(self, text):
        return text.replace(b"\n", b"\r\n")

    def close(self):
        subprocess.run(["wineserver", "-k"], env=self.base_env)


def remove(path):
    if os.path.isdir(path) and not os.path.islink(path):
        shutil.rmtree(path)
    elif os.path.lexists(path):
        os.remove(path)


def prepare(case, platform, case_dir):
    """Lays out the case's files; returns the placeholders' values."""
    log_name = case.log_path or "conn.log"
    if log_name.startswith("/"):
        log_text, log_host = log_name, log_name
    else:
        log_text, log_host = platform.log_location(
            case_dir, log_name.replace("@DIR@", ""))
    values = {b"@LOG@": log_text.encode(), b"@INI@": platform.config_path(case_dir).encode()}
    if isinstance(platform, Wine):
        values[b"@INI@"] = b"C:\\windows\\olva30.ini"

    ini_host = os.path.join(platform.config_dir(case_dir), "olva30.ini")
    os.makedirs(os.path.dirname(ini_host), exist_ok=True)
    remove(ini_host)
    if case.ini_kind == "directory":
        os.mkdir(ini_host)
    elif case.ini_kind == "file":
        with open(ini_host, "wb") as f:
            f.write(substitute(INI if case.ini is None else case.ini, values))

    if case.log_kind == "directory":
        os.mkdir(log_host)
    elif case.log_kind == "sparse":
        with open(log_host, "wb") as f:
            f.truncate(case.log_size)
            f.seek(case.log_size)
            f.write(case.log or b"")
    elif case.log_kind == "file" and case.log is not None and not log_name.startswith("/"):
        with open(log_host, "wb") as f:
            f.write(case.log)
    return values


def substitute(text, values):
    for name, value in values.items():
        text = text.replace(name, value)
    return text


def run_case(case, platform, scratch):
    case_dir = tempfile.mkdtemp(dir=scratch)
    try:
        values = prepare(case, platform, case_dir)
        limit = case.memory_limit

        def limit_memory():
            if limit:
                resource.setrlimit(resource.RLIMIT_AS, (limit, limit))

        stdin = subprocess.PIPE if case.log_kind == "pipe" else subprocess.DEVNULL
        stdout = open(case.stdout_to, "wb") if case.stdout_to else subprocess.PIPE
        try:
            proc = subprocess.Popen(platform.command() + case.args, cwd=case_dir,
                                    env=platform.environment(case, case_dir), stdin=stdin,
                                    stdout=stdout, stderr=subprocess.PIPE,
                                    preexec_fn=limit_memory)
            out, err = proc.communicate(case.log if case.log_kind == "pipe" else None,
                                        timeout=60)
        finally:
            if case.stdout_to:
                stdout.close()
        got = (out or b"", err, proc.returncode)
        want = tuple(platform.expected(substitute(t, values))
                     for t in (case.stdout, case.stderr)) + (case.status,)
        return [f"  {what}: expected {w!r}\n  {' ' * len(what)}       got {g!r}"
                for what, w, g in zip(("stdout", "stderr", "status"), want, got) if w != g]
    finally:
        shutil.rmtree(case_dir, ignore_errors=True)


def check_growing_log(platform, scratch):
    """A log that another process appends to while it is read: the table is
    that of a whole-record prefix of the file, at least as long as the log was
    when the run started."""
    record = b"2026-12-01 08:00:00 10.0.0.1 ann http www.example.com 80 1 1\r\n"
    initial = 50000
    case_dir = tempfile.mkdtemp(dir=scratch)
    try:
        values = prepare(Case("growing", log=record * initial), platform, case_dir)
        log_host = os.path.join(case_dir, "conn.log")
        fd = os.open(log_host, os.O_WRONLY | os.O_APPEND)
        appended = 0
        done = threading.Event()

        def append():
            nonlocal appended
            while not done.is_set():
                os.write(fd, record * 10)  # whole records, each write at the end
                appended += 10

        writer = threading.Thread(target=append)
        writer.start()
        try:
            proc = subprocess.run(platform.command(), cwd=case_dir, capture_output=True,
                                  env=platform.environment(None, case_dir), timeout=60)
        finally:
            done.set()
            writer.join()
            os.close(fd)
        out = proc.stdout.replace(b"\r\n", b"\n")
        head = (b"OLVA v.3 Connection Log Summator\n\nUsing log file: " + values[b"@LOG@"]
                + b"\nLog started: 2026-12-01 08:00:00\n\n")
        lines = out[len(head):].split(b"\n")
        requests = int(lines[1].split()[1]) if len(lines) > 1 and lines[1] else -1
        mb = megabytes(requests).encode()  # one kilobyte a record
        want = (head + b"User IP               N req.      MBytes sent      Usage\n"
                + b"%-16s %11d %16s %9d%%\n" % (b"10.0.0.1", requests, mb, 100)
                + b"\n%-16s %11d %16s\n" % (b"Total:", requests, mb))
        problems = []
        if proc.returncode != 0 or out != want:
            problems.append(f"  expected a one-row table, status 0; got {proc.returncode}:"
                            f" {out[-400:]!r}")
        if not initial <= requests <= initial + appended:
            problems.append(f"  {requests} records summed, not between {initial} and "
                            f"{initial + appended}")
        return problems
    finally:
        shutil.rmtree(case_dir, ignore_errors=True)


CHECKS = [("log appended to while it is read", check_growing_log)]


def skip_reason(case, platform, sanitized):
    """Why the case does not run here, or None."""
    if isinstance(platform, Wine):
        return "POSIX only: needs control of the environment or Linux files" \
            if case.posix_only else None
    if case.wine_only:
        return "Windows only: the 32-bit program's memory"
    if case.native_only and sanitized:
        return "not under sanitizers: they reserve address space of their own"
    if case.log_path and case.log_path.startswith("/sys/") and not os.path.exists(case.log_path):
        return f"{case.log_path} is not on this machine"
    return None


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--wine", action="store_true", help="the program is for Windows")
    parser.add_argument("--sanitized", action="store_true", help="built with sanitizers")
    parser.add_argument("-k", default="", help="run only cases whose name contains this")
    args = parser.parse_args()

    scratch = tempfile.mkdtemp(prefix="olvasum-e2e-")
    passed = failed = skipped = 0
    platform = None
    try:
        program = os.path.abspath(args.program)
        platform = Wine(program, scratch) if args.wine else Posix(program, scratch, args.sanitized)
        runs = [(case.name, case, run_case) for case in CASES]
        runs += [(name, None, lambda _, platform, scratch, check=check: check(platform, scratch))
                 for name, check in CHECKS]
        for name, case, run in runs:
            if args.k not in name:
                continue
            reason = case and skip_reason(case, platform, args.sanitized)
            if reason:
                skipped += 1
                print(f"skip {name} ({reason})")
                continue
            problems = run(case, platform, scratch)
            if problems:
                failed += 1
                print(f"FAIL {name}\n" + "\n".join(problems))
            else:
                passed += 1
                print(f"ok   {name}")
    finally:
        if platform:
            platform.close()
        shutil.rmtree(scratch, ignore_errors=True)
    print(f"{platform.name if platform else 'e2e'}: {passed} passed, {failed} failed, "
          f"{skipped} skipped")
    return 1 if failed or not passed else 0


if __name__ == "__main__":
    sys.exit(main())
