#!/usr/bin/python3
"""Times pandas.read_csv plus date parsing against Quillmark's import on the same raw file.

The file holds 1,000,000 lines: the S&P 500 rows of Data Files/sp500-2000.csv repeated, dated
with consecutive real calendar days from 1900-01-01 in ten blocks of 100,000 (pandas' datetime
type ends in 2262). Both tools parse every line; Quillmark keeps the first block's dates and
reports the other 900,000 lines as dates out of order.
Quillmark is timed twice: `quillmark-cli import` as a whole process (reading, both passes,
writing the project file), and the import alone in the benchmark program.
Usage: /usr/bin/python3 bench/compare_pandas.py   (after make build; needs python3-pandas from Debian)
"""
import datetime
import os
import subprocess
import sys
import time

import pandas as pd

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PATH = "/tmp/quillmark-compare-raw.csv"


def write_file():
    with open(os.path.join(ROOT, "Data Files", "sp500-2000.csv")) as f:
        rows = [line.rstrip("\n").split(",", 1)[1] for line in f.readlines()[1:]]
    start = datetime.date(1900, 1, 1)
    dates = [(start + datetime.timedelta(days=i)).isoformat() for i in range(100000)]
    with open(PATH, "w") as out:
        out.write("date,open,high,low,close,adjclose,volume\n")
        for block in range(10):
            for i, d in enumerate(dates):
                out.write(d + "," + rows[(block * 100000 + i) % len(rows)] + "\n")


def time_pandas():
    best = None
    for _ in range(3):
        t = time.perf_counter()
        df = pd.read_csv(PATH)
        pd.to_datetime(df["date"], format="%Y-%m-%d")
        df["close"].to_numpy()
        elapsed = time.perf_counter() - t
        best = elapsed if best is None else min(best, elapsed)
    return best


def time_cli():
    cli = os.path.join(ROOT, "build", "quillmark-cli")
    out = "/tmp/quillmark-compare-project.xml"
    best = None
    for _ in range(3):
        t = time.perf_counter()
        subprocess.run([cli, "import", PATH, "--values-col", "5", "-o", out], check=True,
                       stdout=subprocess.DEVNULL)
        elapsed = time.perf_counter() - t
        best = elapsed if best is None else min(best, elapsed)
    os.remove(out)
    return best


def main():
    write_file()
    print(f"pandas {pd.__version__} read_csv + to_datetime: {time_pandas() * 1000:.0f} ms")
    print(f"quillmark-cli import (whole process, project written): {time_cli() * 1000:.0f} ms")
    bench = os.path.join(ROOT, "build", "bench", "quillmark_bench")
    env = dict(os.environ, QUILLMARK_RAW_FILE=PATH)
    subprocess.run([bench, "--benchmark_filter=BM_ImportRawFile"], env=env, check=True)


if __name__ == "__main__":
    sys.exit(main())
