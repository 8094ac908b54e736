#!/usr/bin/env python3
# Plants faults in the editor's source, one at a time, and tells which ones the suite misses.
#
# Usage: tests/mutate.py [options] FILE...      (FILE: source files under src/, e.g. src/file/*.cc)
#
# Each fault (a mutant) is one small change to one line, of the kinds a developer slips into:
# a comparison turned round, && for ||, a negation dropped, a constant off by one, a call or an
# assignment left out, true for false, break for continue. The tree is copied into a scratch
# directory (the working tree as it is, uncommitted changes included), built once, and then for
# every mutant the changed file is rebuilt and the whole suite run with a time limit. A mutant is
#
#   killed    when a test fails or the suite runs past the limit,
#   survived  when the suite passes: a fault no test sees, to be caught by a new or stronger
#             test, or shown to change nothing the editor does (an equivalent mutant),
#   invalid   when it does not compile (not counted).
#
# It prints each survivor as FILE:LINE, the line before and after, then the score per file and
# in all: killed / (killed + survived).
#

import argparse
import contextlib
import os
import pathlib
import random
import re
import shutil
import signal
import subprocess
import sys
import tempfile

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


# Returns `line` with the inside of its string and character literals blanked out.
def blank_literals(line):
    return LITERAL.sub(lambda m: m.group(0)[0] + " " * (len(m.group(0)) - 2) + m.group(0)[-1],
                       line)


# Returns the lines of a file and its mutants: (line index, operator name, new line).
def mutants_of(path):
    lines = pathlib.Path(path).read_text(encoding="utf-8", errors="surrogateescape").split("\n")
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


# Runs `command` in a process group of its own; returns its exit status, or None when it ran
# past `timeout` seconds. Whatever is left of the group afterwards (an editor a mutant made
# spin, a helper a test started) is killed, so no fault outlives its run.
def run(command, timeout=None, log=subprocess.DEVNULL):
    child = subprocess.Popen(command, stdout=log, stderr=subprocess.STDOUT, start_new_session=True)
    try:
        return child.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        return None
    finally:
        with contextlib.suppress(ProcessLookupError):
            os.killpg(child.pid, signal.SIGKILL)
        child.wait()


def write_lines(path, lines):
    pathlib.Path(path).write_text("\n".join(lines), encoding="utf-8", errors="surrogateescape")


def main():
    parser = argparse.ArgumentParser(description="Plants faults in the source one at a time and tells which ones the suite misses.")
    parser.add_argument("files", nargs="+", help="source files, relative to the project")
    parser.add_argument("--timeout", type=int, default=300, help="seconds for one suite run")
    parser.add_argument("--tests", default="", help="only the ctest tests matching this regex")
    parser.add_argument("--sample", type=int, default=0, help="at most this many mutants a file")
    parser.add_argument("--seed", type=int, default=1, help="seed of the sample")
    parser.add_argument("--list", action="store_true", help="list the mutants; run nothing")
    parser.add_argument("--again", metavar="REPORT", help="only the survivors of an earlier run")
    args = parser.parse_args()
    # "SURVIVED FILE:LINE: OPERATOR", "- OLD", "+ NEW" in the report; the line may have moved.
    again = re.findall(r"^SURVIVED ([^:]+):(\d+): (.+)\n +- (.*)\n +\+ (.*)$", pathlib.Path(
        args.again).read_text(errors="surrogateescape"), re.M) if args.again else []

    plans = {}
    for name in args.files:
        relative = os.path.relpath(os.path.abspath(name), ROOT)
        lines, found = mutants_of(os.path.join(ROOT, relative))
        if args.again:  # of the mutants with a survivor's text, the one nearest its line
            found = sorted({min((m for m in found if (m[1], lines[m[0]].strip(), m[2].strip() or
                                 "(line dropped)") == (op, old, new)), default=None,
                                key=lambda m: abs(m[0] + 1 - int(line)))
                            for path, line, op, old, new in again if path == relative} - {None})
        if args.sample and len(found) > args.sample:
            found = sorted(random.Random(args.seed).sample(found, args.sample))
        plans[relative] = (lines, found)
        for index, operator, new in found if args.list else []:
            print(f"{relative}:{index + 1}: {operator}: {new.strip() or '(line dropped)'}")
    if args.list: return 0

    # The working tree as it is, uncommitted changes included, in a scratch directory.
    work = tempfile.mkdtemp(prefix="pellak-mutate-")
    tree, build, log_path = (os.path.join(work, part) for part in ("tree", "build", "base.log"))
    listed = subprocess.run(["git", "ls-files", "-co", "--exclude-standard", "-z"], cwd=ROOT,
                            check=True, stdout=subprocess.PIPE).stdout.split(b"\0")
    os.mkdir(tree)
    subprocess.run(["cp", "-a", "--parents", "--"] + [n for n in listed if os.path.isfile(
        os.path.join(ROOT.encode(), n))] + [tree.encode()], cwd=ROOT, check=True)
    # Kept files of a faulty editor go to a home and a temporary directory of the run's own.
    os.environ.update(HOME=os.path.join(work, "home"), TMPDIR=os.path.join(work, "tmp"))
    for path, mode in ((work, 0o755), (os.environ["HOME"], 0o700), (os.environ["TMPDIR"], 0o1777)):
        os.makedirs(path, exist_ok=True)
        os.chmod(path, mode)
    make = ["cmake", "--build", build, "-j", str(os.cpu_count() or 1)]
    ctest = ["ctest", "--test-dir", build, "-j", str(os.cpu_count() or 1), "--stop-on-failure",
             "--timeout", "120"]
    ctest += ["-R", args.tests] if args.tests else []
    with open(log_path, "w") as log:
        if run(["cmake", "-S", tree, "-B", build, "-DPELLAK_TESTS=ON"], log=log) or \
           run(make, log=log) or run(ctest, args.timeout, log):
            print(f"the unchanged tree does not build or pass: see {log_path}")
            return 2

    scores = {}
    for relative, (lines, found) in plans.items():
        path, counts = os.path.join(tree, relative), [0, 0, 0]  # killed, survived, invalid
        try:
            for index, operator, new in found:
                write_lines(path, lines[:index] + ([new] if new else []) + lines[index + 1:])
                # Without the times of earlier runs ctest starts the quick session cases first.
                shutil.rmtree(os.path.join(build, "Testing"), ignore_errors=True)
                with open(log_path, "w") as log:
                    verdict = 2 if run(make) != 0 else 1 if run(ctest, args.timeout, log) == 0 else 0
                with open(log_path, errors="replace") as log:
                    by = " ".join(re.findall(r"^\s*\d+ - (\S+) \(", log.read(), re.M)[:3])
                counts[verdict] += 1
                if verdict != 1:  # one line each, so that a run cut short still tells its score
                    print(f"{('KILLED', '', 'INVALID')[verdict]} {relative}:{index + 1}: "
                          f"{operator}{' by ' + by if verdict == 0 else ''}", flush=True)
                else:
                    print(f"SURVIVED {relative}:{index + 1}: {operator}\n    - "
                          f"{lines[index].strip()}\n    + {new.strip() or '(line dropped)'}",
                          flush=True)
        finally:
            write_lines(path, lines)
        scores[relative] = counts

    print("\nfile: killed survived invalid score")
    for relative, (killed, survived, invalid) in list(scores.items()) + [
            ("all", [sum(c[k] for c in scores.values()) for k in range(3)])]:
        score = killed / (killed + survived) if killed + survived else 1.0
        print(f"{relative}: {killed} {survived} {invalid} {score:.0%}")
    subprocess.run(["pkill", "-KILL", "-f", work])  # editors a test started in a session of its own
    shutil.rmtree(work, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
