"""End-to-end cases: a configuration, a log, and the exact bytes expected.

Placeholders stand for what differs between the POSIX and the Windows run:
@INI@ the configuration file's path, @LOG@ the log's path, @SYS@ the
directory the environment names (POSIX only). Expected texts are written
with "\n"; the Windows program's text-mode streams turn each into CR LF.
"""

from dataclasses import dataclass, field
from typing import Optional


@dataclass
class Case:
    name: str
    log: Optional[bytes] = None  # None: no log file at all
    ini: Optional[bytes] = None  # None: the standard configuration
    stdout: bytes = b""
    stderr: bytes = b""
    status: int = 0
    # Everything below is what a few cases need; most leave it as it is.
    env: Optional[list] = None  # None: SYSTEMROOT names @SYS@
    log_kind: str = "file"  # file, directory, pipe, sparse
    ini_kind: str = "file"  # file, directory, missing
    log_size: int = 0  # for sparse logs: NUL bytes up to here, then `log`
    log_path: Optional[str] = None  # a fixed path instead of @LOG@
    args: list = field(default_factory=list)
    memory_limit: int = 0  # address-space limit in bytes
    stdout_to: Optional[str] = None
    posix_only: bool = False  # needs control of the environment or Linux files
    wine_only: bool = False
    native_only: bool = False  # not under sanitizers (address-space limits)


BANNER = b"OLVA v.3 Connection Log Summator\n\n"
READING = b"Reading data..."
LOADED = READING + b"\r" + b" " * 15 + b"\r"
SWEPT = b"\r" + b" " * 18 + b"\r"
HEADER = b"User IP               N req.      MBytes sent      Usage\n"
EMPTY_TABLE = HEADER + b"\nTotal:                     0             0.00\n"

INI = (
    b"[General]\r\nPort=3128\r\n\r\n"
    b"[Connect Log]\r\nEnabled=1\r\nFile Name=@LOG@\r\nMax Size=0\r\n"
)


def using(path=b"@LOG@"):
    return b"Using log file: " + path + b"\n"


def started(stamp):
    return b"Log started: " + stamp + b"\n\n"


def working(*percents):
    return b"".join(b"\rWorking... %d%%" % p for p in percents)


def row(address, requests, megabytes, usage):
    return b"%-16s %11d %16s %9d%%\n" % (address, requests, megabytes, usage)


def total(requests, megabytes):
    return b"\n%-16s %11d %16s\n" % (b"Total:", requests, megabytes)


def fatal(message, detail=b""):
    return b"\r" + message + detail + b"\n"


def run_before_log(message, detail=b""):
    """Output of a run that ends while the configuration is read."""
    return BANNER + fatal(message, detail)


def run_at_log(message, detail=b"@LOG@"):
    """Output of a run that ends while the log loads."""
    return BANNER + using() + fatal(message, detail)


def rec(address, requests, kilobytes, rest=b"u p h 80"):
    """A short record: date, time, address, four fields, requests, kilobytes."""
    def text(value):
        return value if isinstance(value, bytes) else b"%d" % value
    return b"d t %s %s %s %s\r\n" % (address, rest, text(requests), text(kilobytes))


def summed(log, table, stderr=LOADED + SWEPT):
    """A run that sums the whole log."""
    return dict(log=log, stdout=BANNER + using() + started(log[:19].split(b"\0")[0]) + table,
                stderr=stderr)


# A realistic log of some size, with its indicator.
LONG_RECORDS = [
    b"2026-12-01 08:00:01 10.0.0.2 ann http www.example.com 80 3 120\r\n",
    b"2026-12-01 08:00:05 10.0.0.10 bob http mail.example.com 80 12 2048\r\n",
    b"2026-12-01 08:01:17 10.0.0.2 ann ftp ftp.example.com 21 1 904\r\n",
]
LONG_LOG = b"".join(LONG_RECORDS)  # 195 bytes: the percent step is 1 byte
LONG_RUN = summed(
    LONG_LOG,
    HEADER
    + row(b"10.0.0.10", 12, b"2.00", 68)
    + row(b"10.0.0.2", 4, b"1.00", 34)
    + total(16, b"3.00"),
    stderr=LOADED + working(59, 126, 190) + SWEPT)

# The run of the cases that vary only how the log is found.
ONE_RECORD_RUN = summed(rec(b"a", 1, 10), HEADER + row(b"a", 1, b"0.01", 100) + total(1, b"0.01"))

CASES = [
    # --- The run as a whole -------------------------------------------------
    Case("three records, two addresses", **LONG_RUN),
    Case("command-line arguments change nothing", args=["-x", "/?", "extra"], **LONG_RUN),
    Case("worked example of the usage", **summed(
        rec(b"10.1.1.3", 7, 24) + rec(b"10.1.1.1", 12, 1000) + rec(b"10.1.1.2", 30, 2048),
        HEADER
        + row(b"10.1.1.1", 12, b"0.98", 33)
        + row(b"10.1.1.2", 30, b"2.00", 68)
        + row(b"10.1.1.3", 7, b"0.02", 0)
        + total(49, b"3.00"))),
    Case("order is by bytes, prefixes first", **summed(
        rec(b"10.0.0.2", 1, 1) + rec(b"10.0.0.10", 1, 1) + rec(b"10.0.0.1", 1, 1)
        + rec(b"10.0.0.01", 1, 1) + rec(b"\xc3\xa9", 1, 1) + rec(b"Z", 1, 1),
        HEADER
        + row(b"10.0.0.01", 1, b"0.00", 16)
        + row(b"10.0.0.1", 1, b"0.00", 16)
        + row(b"10.0.0.10", 1, b"0.00", 16)
        + row(b"10.0.0.2", 1, b"0.00", 16)
        + row(b"Z", 1, b"0.00", 16)
        + row(b"\xc3\xa9", 1, b"0.00", 16)
        + total(6, b"0.01"),
        stderr=LOADED + working(24, 52, 79, 107, 128, 148) + SWEPT)),
    Case("megabyte halves round to even", **summed(
        rec(b"a", 1, 128) + rec(b"b", 1, 384) + rec(b"c", 1, 640) + rec(b"d", 1, 896),
        HEADER
        + row(b"a", 1, b"0.12", 6)
        + row(b"b", 1, b"0.38", 19)
        + row(b"c", 1, b"0.62", 32)
        + row(b"d", 1, b"0.88", 44)
        + total(4, b"2.00"))),
    Case("total half rounds to even", **summed(
        rec(b"a", 1, 64) + rec(b"b", 1, 64),
        HEADER + row(b"a", 1, b"0.06", 64) + row(b"b", 1, b"0.06", 64) + total(2, b"0.12"))),
    Case("a single address of 150 kilobytes shows 150", **summed(
        rec(b"10.0.0.1", 5, 150), HEADER + row(b"10.0.0.1", 5, b"0.15", 150) + total(5, b"0.15"))),
    Case("signed and wrapping sums", **summed(
        rec(b"a", -3, -1024) + rec(b"b", 2147483647, 4294967295) + rec(b"b", 2, 2),
        HEADER
        + row(b"a", -3, b"4194303.00", 100)
        + row(b"b", -2147483647, b"0.00", 0)
        + total(2147483646, b"4194303.00"))),
    Case("fields that are no numbers count as zero", **summed(
        rec(b"a", b"x", b"+7") + rec(b"a", b"12abc", b"y"),
        HEADER + row(b"a", 12, b"0.01", 100) + total(12, b"0.01"))),
    Case("no record gives an empty table", **summed(b"short", EMPTY_TABLE)),
    Case("ten bytes or fewer hold no record", **summed(b"a b c d e ", EMPTY_TABLE)),
    Case("eleven bytes hold one record", **summed(
        b"a b c d e f g 1 2", HEADER + row(b"c", 1, b"0.00", 100) + total(1, b"0.00"))),
    # --- Malformed logs -----------------------------------------------------
    Case("doubled space shifts every following record", **summed(
        rec(b"a", 1, 10, rest=b"u p  h 80") + rec(b"b", 2, 20) + rec(b"b", 2, 20),
        HEADER + row(b"a", 80, b"0.00", 20) + row(b"t", 160, b"0.00", 80) + total(240, b"0.00"))),
    Case("space after the last field shifts the next record", **summed(
        b"d t a u p h 80 1 10 \r\n" + rec(b"b", 2, 20) + rec(b"c", 3, 30),
        HEADER + row(b"a", 1, b"0.01", 66) + row(b"t", 160, b"0.00", 33)
        + total(161, b"0.01"))),
    Case("line feeds alone", **summed(
        b"d t a u p h 80 1 10\nd t b u p h 80 2 20\nd t a u p h 80 3 30\n",
        HEADER + row(b"a", 4, b"0.04", 66) + row(b"b", 2, b"0.02", 33) + total(6, b"0.06"))),
    Case("NUL bytes end the address and the stamp", **summed(
        b"d t\0x a\0b u p h 80 1 10\r\n" + rec(b"a", 2, 20),
        HEADER + row(b"a", 3, b"0.03", 100) + total(3, b"0.03"))),
    Case("a long address is kept whole", **summed(
        rec(b"2001:db8:85a3::8a2e:370:7334", 1, 10) + rec(b"2001:db8:85a3::8a2e:370:7335", 2, 20),
        HEADER
        + b"2001:db8:85a3::8a2e:370:7334           1             0.01        33%\n"
        + b"2001:db8:85a3::8a2e:370:7335           2             0.02        66%\n"
        + total(3, b"0.03"))),
    Case("a cut final record is not added", **summed(
        rec(b"a", 1, 10) + b"d t b u p h 80 7",
        HEADER + row(b"a", 1, b"0.01", 100) + total(1, b"0.01"))),
    Case("the percentage passes 100 on a small log", **summed(
        b"d t a u p h 80 1 1\r\n" + b"x" * 1005 + b" t b u p h 1 2 34567890\r\n",
        HEADER + row(b"a", 1, b"0.00", 0) + row(b"b", 2, b"33757.71", 100)
        + total(3, b"33757.71"),
        stderr=LOADED + working(1, 104) + SWEPT)),
    Case("a 1 MB address", **summed(
        b"d t " + b"7" * (1 << 20) + b" u p h 80 1 10\r\n",
        HEADER + b"7" * (1 << 20) + b"           1             0.01       100%\n"
        + total(1, b"0.01"),
        stderr=LOADED + working(100) + SWEPT)),
    Case("no spaces at all", **summed(b"x" * 5000, EMPTY_TABLE)),
    Case("only spaces", **summed(
        b" " * 5000, HEADER + row(b"", 0, b"0.00", 0) + total(0, b"0.00"),
        stderr=LOADED + working(*range(1, 100)) + SWEPT)),
    Case("NUL bytes everywhere", **summed(b"\0" * 3000, EMPTY_TABLE)),
    Case("NUL bytes for every field", **summed(
        b"\0 \0 \0 \0 \0 \0 \0 5 7\r\n\0 \0 \0 \0 \0 \0 \0 1 2\r\n",
        HEADER + row(b"", 6, b"0.01", 100) + total(6, b"0.01"))),
    # --- Finding the configuration ------------------------------------------
    Case("windir when SYSTEMROOT is unset", env=[("windir", "@SYS@")], posix_only=True,
         **ONE_RECORD_RUN),
    Case("names match in any spelling", env=[("SystemRoot", "@SYS@")], posix_only=True,
         **ONE_RECORD_RUN),
    Case("the exact spelling wins", env=[("systemroot", "/nowhere"), ("SYSTEMROOT", "@SYS@")],
         posix_only=True, **ONE_RECORD_RUN),
    Case("else the first spelling in the environment",
         env=[("SysTemRoot", "@SYS@"), ("systemroot", "/nowhere")], posix_only=True,
         **ONE_RECORD_RUN),
    Case("SYSTEMROOT wins over windir", env=[("WINDIR", "/nowhere"), ("SYSTEMROOT", "@SYS@")],
         posix_only=True, **ONE_RECORD_RUN),
    Case("no environment variable", env=[], posix_only=True, log=rec(b"a", 1, 1), status=1,
         stdout=run_before_log(b"Error: %SYSTEMROOT% or %windir% environment not found.")),
    Case("an empty variable counts as set", env=[("SYSTEMROOT", ""), ("windir", "@SYS@")],
         posix_only=True, log=rec(b"a", 1, 1), status=1,
         stdout=run_before_log(b"File not found: ", b"/olva30.ini")),
    Case("no configuration file", ini_kind="missing", log=rec(b"a", 1, 1), status=1,
         stdout=run_before_log(b"File not found: ", b"@INI@")),
    Case("configuration file is a directory", ini_kind="directory", log=rec(b"a", 1, 1),
         status=1, stdout=run_before_log(b"File not found: ", b"@INI@")),
    Case("empty configuration file", ini=b"", log=rec(b"a", 1, 1), status=1,
         stdout=run_before_log(b"File zero size: ", b"@INI@")),
    Case("no section", ini=b"[Connect]\r\nFile Name=@LOG@\r\n", log=rec(b"a", 1, 1), status=1,
         stdout=run_before_log(b"Error: [Connect Log] not found in ini file")),
    Case("directive past the window",
         ini=b"[Connect Log]\r\na=1\r\nb=2\r\nc=3\r\nd=4\r\nFile Name=@LOG@\r\n",
         log=rec(b"a", 1, 1), status=1,
         stdout=run_before_log(b"Error: File Name directive not found in ini file")),
    Case("directive on the last line of the window",
         ini=b"[Connect Log]\r\na=1\r\nb=2\r\nc=3\r\nFile Name=@LOG@\r\nd=4\r\n", **ONE_RECORD_RUN),
    Case("directive of the next section within the window",
         ini=b"[Connect Log]\r\n[Other]\r\nFile Name=@LOG@\r\n", **ONE_RECORD_RUN),
    Case("directive inside a longer name", ini=b"[Connect Log]\r\nLog File Name=@LOG@\r\n",
         **ONE_RECORD_RUN),
    Case("empty value", ini=b"[Connect Log]\r\nFile Name=\r\n", log=rec(b"a", 1, 1), status=1,
         stdout=BANNER + using(b"") + fatal(b"File not found: "), stderr=READING),
    Case("line feeds alone run the value on", ini=b"[Connect Log]\nFile Name=@LOG@\nx=1\n",
         log=rec(b"a", 1, 1), status=1,
         stdout=BANNER + using(b"@LOG@\nx=1\n") + fatal(b"File not found: ", b"@LOG@\nx=1\n"),
         stderr=READING),
    Case("percent signs and backslashes in a path", log_path="@DIR@%d%s\\x%n.log",
         **ONE_RECORD_RUN),
    # --- Loading the log ----------------------------------------------------
    Case("no log file", status=1, stdout=run_at_log(b"File not found: "), stderr=READING),
    Case("log is a directory", log_kind="directory", status=1,
         stdout=run_at_log(b"File not found: "), stderr=READING),
    Case("empty log", log=b"", status=1, stdout=run_at_log(b"File zero size: "),
         stderr=READING),
    Case("log that cannot be sought", log_kind="pipe", log=rec(b"a", 1, 1),
         log_path="/dev/stdin", posix_only=True, status=1,
         stdout=BANNER + using(b"/dev/stdin") + fatal(b"Error seek: ", b"/dev/stdin"),
         stderr=READING),
    Case("log that delivers fewer bytes than its size", posix_only=True,
         log_path="/sys/kernel/mm/transparent_hugepage/enabled", status=1,
         stdout=BANNER + using(b"/sys/kernel/mm/transparent_hugepage/enabled")
         + fatal(b"File read error: ", b"/sys/kernel/mm/transparent_hugepage/enabled"),
         stderr=READING),
    Case("log larger than the memory there is", log_kind="sparse", log_size=2 << 30,
         memory_limit=1 << 30, posix_only=True, native_only=True, status=1,
         stdout=run_at_log(b"Out of memory: "), stderr=READING),
    Case("no memory for a tally entry", log=b"d t " + b"7" * (64 << 20) + b" u p h 80 1 1\r\n",
         memory_limit=112 << 20, posix_only=True, native_only=True, status=1,
         stdout=BANNER + using() + started(b"d t 777777777777777") + fatal(b"Out of memory: "),
         stderr=LOADED),
    Case("log of 1.5 GiB in the 32-bit process", log_kind="sparse", wine_only=True,
         log_size=3 << 29, log=b"d t 10.0.0.1 u p h 80 1 1\r\n",
         stdout=BANNER + using() + started(b"") + HEADER + row(b"10.0.0.1", 1, b"0.00", 100)
         + total(1, b"0.00"),
         stderr=LOADED + working(100) + SWEPT),
    Case("log too large for a 32-bit process", log_kind="sparse", log_size=3 << 30,
         wine_only=True, status=1, stdout=run_at_log(b"Out of memory: "), stderr=READING),
    Case("log over 4 GiB in a 32-bit process", log_kind="sparse", log_size=(5 << 30) + 7,
         wine_only=True, status=1, stdout=run_at_log(b"Out of memory: "), stderr=READING),
    # --- Writing the table --------------------------------------------------
    Case("standard output cannot be written", log=rec(b"a", 1, 10), stdout_to="/dev/full",
         posix_only=True, status=1,
         stderr=LOADED + SWEPT + b"\rError: standard output could not be written\n"),
]
