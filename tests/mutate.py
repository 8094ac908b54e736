#!/usr/bin/env python3
"""Plants faults in the editor's source, one at a time, and tells which ones the suite misses.

Usage: tests/mutate.py [options] FILE...      (FILE: source files under src/, e.g. src/file/*.cc)

Each fault (a mutant) is one small change to one line, of the kinds a developer slips into:
a comparison turned round, && for ||, a negation dropped, a constant off by one, a call or an
assignment left out, true for false, break for continue. The tree is copied into a scratch
directory (the working tree as it is, uncommitted changes included), built once, and then for
every mutant the changed file is rebuilt and the whole suite run with a time limit. A mutant is

  killed    when a test fails or the suite runs past the limit,
  survived  when the suite passes: a fault no test sees, to be caught by a new or stronger
            test, or shown to change nothing the editor does (an equivalent mutant),
  invalid   when it does not compile (not counted).

It prints each survivor as FILE:LINE, the line before and after, then the score per file and
in all: killed / (killed + survived). Exit status 0 when every file reaches --min-score.
"""

import argparse
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# (name, pattern, replacement): applied at each match of the pattern in a line, one at a time.
# Patterns see the line with string and character literals blanked out.
OPERATORS = [
    ("== to !=", r"==", "!="),
    ("!= to ==", r"!=", "=="),
    ("< to <=", r"(?<![<\-])<(?![<=])", "<="),
    ("<= to <", r"<=", "<"),
    ("> to >=", r"(?<![>\-])>(?![>=])", ">="),
    (">= to >", r">=", ">"),
    ("&& to ||", r"&&", "||"),
    ("|| to &&", r"\|\|", "&&"),
    ("drop !", r"!(?!=)", ""),
    ("+ to -", r"(?<=[\w)\]] )\+(?= [\w(])", "-"),
    ("- to +", r"(?<=[\w)\]] )-(?= [\w(])", "+"),
    ("+= to -=", r"\+=", "-="),
    ("-= to +=", r"-=", "+="),
    ("++ to --", r"\+\+", "--"),
    ("-- to ++", r"--", "++"),
    ("0 to 1", r"(?<![\w.])0(?![\w.x])", "1"),
    ("1 to 0", r"(?<![\w.])1(?![\w.])", "0"),
    ("1 to 2", r"(?<![\w.])1(?![\w.])", "2"),
    ("true to false", r"\btrue\b", "false"),
    ("false to true", r"\bfalse\b", "true"),
    ("break to continue", r"\bbreak;", "continue;"),
    ("continue to break", r"\bcontinue;", "break;"),
    ("& to |", r"(?<![&\w(,] )(?<=\w |\) )&(?= \w)", "|"),
    ("| to &", r"(?<=\w |\) )\|(?= [\w(])", "&"),
]

# A whole line that is a call or an assignment, ended by ';': left out by the "drop line" mutant.
STATEMENT = re.compile(r"^\s*(\(void\))?[\w:.\->\[\]*]+(\s*[-+*/|&]?=\s*.+|\(.*\));\s*$")
SKIP = re.compile(r"^\s*(#|//|\*|/\*|$)")
LITERAL = re.compile(r'"(\\.|[^"\\])*"|\'(\\.|[^\'\\])*\'')


def blank_literals(line):
    """Returns `line` with the inside of its string and character literals blanked out."""
    return LITERAL.sub(lambda m: m.group(0)[0] + " " * (len(m.group(0)) - 2) + m.group(0)[-1],
                       line)


def mutants_of(path):
    """Returns the mutants of a file: (line index, operator name, new line)."""
    with open(path, encoding="utf-8", errors="surrogateescape") as f:
        lines = f.read().split("\n")
    found = []
    in_comment = False
    for index, line in enumerate(lines):
        stripped = line.strip()
        if in_comment:
            in_comment = "*/" not in stripped
            continue
        if stripped.startswith("/*") and "*/" not in stripped:
            in_comment = True
            continue
        if SKIP.match(line) or "static_assert" in line:
            continue
        code = blank_literals(line)
        if "//" in code:
            code = code[:code.index("//")]
        for name, pattern, replacement in OPERATORS:
            for match in re.finditer(pattern, code):
                new = line[:match.start()] + replacement + line[match.end():]
                if new != line:
                    found.append((index, name, new))
        if STATEMENT.match(code) and not re.match(r"^\s*(return|const|static|int|bool|char|"
                                                  r"size_t|auto|std::|unsigned|long)\b", code):
            found.append((index, "drop line", ""))
    return lines, found


def run(command, cwd, timeout=None, log=None):
    """Runs `command`; returns its exit status, or None when it ran past `timeout` seconds."""
    try:
        done = subprocess.run(command, cwd=cwd, timeout=timeout, stdout=log or subprocess.DEVNULL,
                              stderr=subprocess.STDOUT, start_new_session=True)
        return done.returncode
    except subprocess.TimeoutExpired:
        return None


def copy_tree(target):
    """Copies the working tree's files that git knows or would add into `target`."""
    listed = subprocess.run(["git", "ls-files", "-co", "--exclude-standard", "-z"], cwd=ROOT,
                            check=True, stdout=subprocess.PIPE).stdout.split(b"\0")
    for name in filter(None, (n.decode("utf-8", "surrogateescape") for n in listed)):
        source = os.path.join(ROOT, name)
        if not os.path.isfile(source):
            continue
        os.makedirs(os.path.dirname(os.path.join(target, name)), exist_ok=True)
        shutil.copy2(source, os.path.join(target, name), follow_symlinks=False)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("files", nargs="+", help="source files, relative to the project")
    parser.add_argument("--timeout", type=int, default=300, help="seconds for one suite run")
    parser.add_argument("--tests", default="", help="only the ctest tests matching this regex")
    parser.add_argument("--sample", type=int, default=0, help="at most this many mutants a file")
    parser.add_argument("--seed", type=int, default=1, help="seed of the sample")
    parser.add_argument("--min-score", type=float, default=0.0, help="score each file must reach")
    parser.add_argument("--list", action="store_true", help="list the mutants; run nothing")
    parser.add_argument("--keep", help="work in this directory and keep it (default: a new "
                        "scratch directory, removed at the end)")
    args = parser.parse_args()

    plans = {}
    for name in args.files:
        relative = os.path.relpath(os.path.abspath(name), ROOT)
        lines, found = mutants_of(os.path.join(ROOT, relative))
        if args.sample and len(found) > args.sample:
            found = sorted(random.Random(args.seed).sample(found, args.sample))
        plans[relative] = (lines, found)
    if args.list:
        for relative, (lines, found) in plans.items():
            for index, name, new in found:
                print(f"{relative}:{index + 1}: {name}: {new.strip() or '(line dropped)'}")
        print(f"{sum(len(f) for _, f in plans.values())} mutants")
        return 0

    work = args.keep or tempfile.mkdtemp(prefix="pellak-mutate-")
    os.makedirs(work, exist_ok=True)
    tree, build = os.path.join(work, "tree"), os.path.join(work, "build")
    if os.path.exists(tree):
        shutil.rmtree(tree)
    copy_tree(tree)
    jobs = str(os.cpu_count() or 1)
    with open(os.path.join(work, "baseline.log"), "w") as log:
        if run(["cmake", "-S", tree, "-B", build, "-DCMAKE_BUILD_TYPE=RelWithDebInfo",
                "-DPELLAK_TESTS=ON", "-DPELLAK_REQUIRE_UNIT_TESTS=ON"], tree, log=log) != 0 or \
           run(["cmake", "--build", build, "-j", jobs], tree, log=log) != 0:
            print(f"the unchanged tree does not build: see {work}/baseline.log")
            return 2
    ctest = ["ctest", "--test-dir", build, "-j", jobs, "--stop-on-failure"]
    if args.tests:
        ctest += ["-R", args.tests]
    with open(os.path.join(work, "baseline.log"), "a") as log:
        if run(ctest, tree, args.timeout, log) != 0:
            print(f"the suite fails on the unchanged tree: see {work}/baseline.log")
            return 2

    scores, failed = {}, False
    total = sum(len(f) for _, f in plans.values())
    count, started = 0, time.time()
    for relative, (lines, found) in plans.items():
        path = os.path.join(tree, relative)
        killed = survived = invalid = 0
        try:
            for index, name, new in found:
                count += 1
                changed = lines[:index] + ([new] if new else []) + lines[index + 1:]
                with open(path, "w", encoding="utf-8", errors="surrogateescape") as f:
                    f.write("\n".join(changed))
                if run(["cmake", "--build", build, "-j", jobs], tree) != 0:
                    invalid += 1
                    continue
                if run(ctest, tree, args.timeout) == 0:
                    survived += 1
                    print(f"SURVIVED {relative}:{index + 1}: {name}\n"
                          f"    - {lines[index].strip()}\n    + {new.strip() or '(line dropped)'}",
                          flush=True)
                else:
                    killed += 1
                if count % 20 == 0:
                    print(f"  ... {count}/{total} mutants, {time.time() - started:.0f} s",
                          flush=True)
        finally:
            with open(path, "w", encoding="utf-8", errors="surrogateescape") as f:
                f.write("\n".join(lines))
        counted = killed + survived
        score = killed / counted if counted else 1.0
        scores[relative] = (killed, survived, invalid, score)
        failed = failed or score < args.min_score

    print("\nfile: killed survived invalid score")
    for relative, (killed, survived, invalid, score) in scores.items():
        print(f"{relative}: {killed} {survived} {invalid} {score:.0%}")
    killed = sum(s[0] for s in scores.values())
    survived = sum(s[1] for s in scores.values())
    print(f"all: {killed} killed, {survived} survived, score "
          f"{killed / (killed + survived) if killed + survived else 1.0:.0%}")
    if not args.keep:
        shutil.rmtree(work, ignore_errors=True)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
