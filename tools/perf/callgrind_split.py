#!/usr/bin/env python3
"""Splits a callgrind profile into the game's own instructions and the
graphics driver's.

  callgrind_split.py callgrind.out FUNCTION [CALLEE...]

The profile must have been taken with collection toggled on inside FUNCTION
only (--collect-atstart=no --toggle-collect=FUNCTION), so its total is
FUNCTION's inclusive cost on the calling thread. "Ours" is everything run by
the program's own code, the physics library and the C/C++ runtimes it calls;
every call from there into another library (OpenGL and its driver, the
window system, the sound library) counts as that library's, whatever it runs
inside. Prints instructions per call of FUNCTION for each part, then for
each CALLEE (a function called inside FUNCTION, named up to its argument
list) its inclusive instructions per call of FUNCTION.
"""
import re
import sys
from collections import defaultdict

# The program (its executables) and the physics library; the C and C++
# runtimes count as ours when our code calls them.
OWN_CODE = re.compile(r"/(bench_[A-Za-z]+|soak|vantorra)$|libBullet|libLinearMath")
RUNTIME = re.compile(r"libstdc\+\+|/libc\.so|/libm\.so|libgcc_s")
SOUND = re.compile(r"libopenal|libalut")


def kind(obj):
    if OWN_CODE.search(obj) or RUNTIME.search(obj):
        return "ours"
    if SOUND.search(obj):
        return "sound"
    return "driver"


def main():
    path, function, callees = sys.argv[1], sys.argv[2], sys.argv[3:]
    callee_cost = defaultdict(int)
    names = {"ob": {}, "fn": {}}
    total = 0
    calls_of_function = 0
    self_cost = defaultdict(int)  # (object, function) -> instructions run in it
    edges = []  # (caller object, caller function, kind of callee, inclusive cost)
    ob = cob = fn = cfn = None
    in_call = False  # the next cost line is that of a calls= line

    def name(space, text):
        m = re.match(r"\((\d+)\)(?: (.*))?", text)
        if not m:
            return text
        if m.group(2) is not None:
            names[space][m.group(1)] = m.group(2)
        return names[space].get(m.group(1), "?")

    with open(path) as f:
        for line in f:
            line = line.rstrip("\n")
            if line.startswith("ob="):
                ob = name("ob", line[3:])
            elif line.startswith("cob="):
                cob = name("ob", line[4:])
            elif line.startswith("fn="):
                fn = name("fn", line[3:])
            elif line.startswith("cfn="):
                cfn = name("fn", line[4:])
            elif line.startswith("calls="):
                in_call = True
                if cfn == function or (cfn or "").startswith(function + "("):
                    calls_of_function += int(line[6:].split()[0])
            elif line.startswith("summary:") or line.startswith("totals:"):
                total = max(total, int(line.split()[1]))
            elif line and (line[0].isdigit() or line[0] in "+-*"):
                fields = line.split()
                cost = int(fields[1]) if len(fields) > 1 else 0
                if in_call:
                    target = cob if cob is not None else ob
                    edges.append((ob, fn, kind(target), cost))
                    for callee in callees:
                        # Recursive calls (name'2) are inside the outer one.
                        if (cfn or "").startswith(callee + "(") and not (fn or "").startswith(callee + "("):
                            callee_cost[callee] += cost
                    in_call = False
                    cob = None
                else:
                    self_cost[(ob, fn)] += cost
    if calls_of_function == 0:
        sys.exit("no call of %s in %s" % (function, path))
    # Only calls made inside the collected region: the functions above it
    # (main, the benchmark loop) ran no instruction of their own there.
    # Calls that the runtimes make back into a library (callbacks) are inside
    # a call already counted.
    foreign = defaultdict(int)
    for caller_ob, caller_fn, callee_kind, cost in edges:
        if callee_kind != "ours" and OWN_CODE.search(caller_ob or "") and self_cost[(caller_ob, caller_fn)] > 0:
            foreign[callee_kind] += cost
    ours = total - sum(foreign.values())
    per = lambda n: n / calls_of_function
    print("%s: %d calls" % (function, calls_of_function))
    print("  ours   %12.0f Ir per call" % per(ours))
    for k in sorted(foreign):
        print("  %-6s %12.0f Ir per call (calls from ours into it, inclusive)" % (k, per(foreign[k])))
    print("  total  %12.0f Ir per call" % per(total))
    for callee in callees:
        print("  %s: %.0f Ir per call of %s (inclusive)"
              % (callee, per(callee_cost[callee]), function))


if __name__ == "__main__":
    main()
