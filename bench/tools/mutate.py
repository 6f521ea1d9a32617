#!/usr/bin/env python3
"""Mutation check of the unit tests, run by hand (not by CI).

Copies the tracked files of this tree into a work folder, builds the unit tests
there once (a plain Release build with ccache: no sanitizers, to save time),
then applies each mutant of a list alone: one small plausible mistake in one
file, rebuild, run the unit tests, put the file back. A mutant that builds and
passes every test has survived: the tests miss that mistake.

    bench/tools/mutate.py [--list bench/tools/mutants.txt] [--work /tmp/ludexa-mutants] [--only N,M] [--prepare]

The list holds blocks separated by blank lines; '#' lines are comments:

    = what the mistake is
    @ path/of/the/file.cpp
    - text as it stands in the file (must occur exactly once)
    + the text that replaces it
    ? Suite*:Other.*       (optional: a gtest filter, to run only those tests)

The unit tests run under an Xvfb server of the script's own, so the tests
that need a display take part too.
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time


def parse_mutants(path):
    mutants, block = [], {}
    with open(path, encoding="utf-8") as f:
        lines = f.read().split("\n")
    for line in lines + [""]:
        if line.startswith("#"):
            continue
        if not line.strip():
            if block:
                mutants.append(block)
                block = {}
            continue
        tag, text = line[:1], line[2:]
        key = {"=": "what", "@": "file", "-": "old", "+": "new", "?": "filter"}.get(tag)
        if key is None:
            sys.exit(f"{path}: cannot read line: {line!r}")
        block[key] = block[key] + "\n" + text if key in ("old", "new") and key in block else text
    for m in mutants:
        missing = {"what", "file", "old", "new"} - m.keys()
        if missing:
            sys.exit(f"{path}: mutant {m.get('what', '?')!r} lacks {', '.join(sorted(missing))}")
    return mutants


def run(cmd, cwd, env, log, timeout):
    with open(log, "w") as out:
        try:
            return subprocess.run(cmd, cwd=cwd, env=env, stdout=out, stderr=subprocess.STDOUT, timeout=timeout).returncode
        except subprocess.TimeoutExpired:
            return 124


def copy_tree(source, dest):
    files = subprocess.run(["git", "ls-files", "-z"], cwd=source, capture_output=True, check=True).stdout
    for rel in filter(None, files.decode().split("\0")):
        src, dst = os.path.join(source, rel), os.path.join(dest, rel)
        if not os.path.isfile(src):
            continue
        os.makedirs(os.path.dirname(dst), exist_ok=True)
        # Unchanged files keep their time stamps and changed ones get a new one, so
        # make rebuilds exactly what changed.
        if not os.path.exists(dst) or open(src, "rb").read() != open(dst, "rb").read():
            shutil.copyfile(src, dst)


def start_xvfb():
    number = 150 + os.getpid() % 50
    while os.path.exists(f"/tmp/.X11-unix/X{number}"):
        number += 1
    proc = subprocess.Popen(["Xvfb", f":{number}", "-screen", "0", "1280x800x24", "-noreset", "-nolisten", "tcp"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    for _ in range(50):
        if os.path.exists(f"/tmp/.X11-unix/X{number}"):
            break
        time.sleep(0.1)
    return proc, f":{number}"


def main():
    root = subprocess.run(["git", "rev-parse", "--show-toplevel"], capture_output=True, text=True,
                          check=True).stdout.strip()
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--list", default=os.path.join(root, "bench/tools/mutants.txt"))
    parser.add_argument("--work", default=os.path.join(tempfile.gettempdir(), "ludexa-mutants"))
    parser.add_argument("--only", help="comma-separated numbers of the mutants to try (1-based)")
    parser.add_argument("--jobs", default="2")
    parser.add_argument("--prepare", action="store_true", help="only copy the tree and build it")
    args = parser.parse_args()

    mutants = parse_mutants(args.list)
    chosen = [int(n) for n in args.only.split(",")] if args.only else range(1, len(mutants) + 1)
    src, build = os.path.join(args.work, "src"), os.path.join(args.work, "build")
    os.makedirs(src, exist_ok=True)
    copy_tree(root, src)

    env = dict(os.environ, CCACHE_BASEDIR=src, GSETTINGS_BACKEND="memory", NO_AT_BRIDGE="1")
    env.setdefault("CCACHE_DIR", "/work/.ccache")
    configure = ["cmake", "-S", src, "-B", build, "-DCMAKE_BUILD_TYPE=Release", "-DLUDEXA_TESTS=ON",
                 "-DCMAKE_CXX_COMPILER_LAUNCHER=ccache", "-DCMAKE_C_COMPILER_LAUNCHER=ccache"]
    compile_tests = ["cmake", "--build", build, "-j", args.jobs, "--target", "ludexa_tests"]
    if run(configure, src, env, os.path.join(args.work, "configure.log"), 600) != 0 or \
            run(compile_tests, src, env, os.path.join(args.work, "build.log"), 7200) != 0:
        sys.exit(f"the unmutated tree does not build: see {args.work}/build.log")
    if args.prepare:
        return

    xvfb, display = start_xvfb()
    env["DISPLAY"] = display
    tests = [os.path.join(build, "tests", "ludexa_tests"), "--gtest_brief=1"]
    try:
        if run(tests, build, env, os.path.join(args.work, "baseline.log"), 1800) != 0:
            sys.exit(f"the unmutated tests fail: see {args.work}/baseline.log")
        survivors = []
        for number in chosen:
            m = mutants[number - 1]
            path = os.path.join(src, m["file"])
            original = open(path, encoding="utf-8").read()
            if original.count(m["old"]) != 1:
                print(f"{number:3} SKIPPED  {m['what']} (text found {original.count(m['old'])} times)", flush=True)
                continue
            log = os.path.join(args.work, f"mutant{number}.log")
            try:
                with open(path, "w", encoding="utf-8") as f:
                    f.write(original.replace(m["old"], m["new"]))
                if run(compile_tests, src, env, log, 3600) != 0:
                    verdict = "no build"
                elif run(tests + [f"--gtest_filter={m['filter']}"] if "filter" in m else tests, build, env, log,
                         1800) != 0:
                    verdict = "killed"
                else:
                    verdict = "SURVIVED"
                    survivors.append(number)
            finally:
                # Restored with a fresh time stamp, so the next build recompiles it.
                with open(path, "w", encoding="utf-8") as f:
                    f.write(original)
            print(f"{number:3} {verdict:8} {m['what']}", flush=True)
        tried = len(list(chosen))
        print(f"{len(survivors)} of {tried} mutants survived" + (f": {survivors}" if survivors else ""))
    finally:
        xvfb.terminate()
        xvfb.wait()


if __name__ == "__main__":
    main()
