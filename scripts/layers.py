#!/usr/bin/env python3
"""The layering of src/: checks it against the layer table and measures it.

  layers.py check [SRC]          every #include of SRC against SRC/layers.txt
  layers.py figures SRC BUILD    dependency figures (folders, files, state)

The layer table (src/layers.txt) lists, lowest layer first, the folders (or
single files) of each layer. A file may include its own folder and lower
layers; an include of a higher layer or of another folder of its own layer
is an error (so folders cannot include each other in a cycle).

figures prints the numbers the layering is judged by: include arrows and
cycles between the top-level folders of src/, cycles between object files
(an object using a symbol another defines), mutable file-scope variables
(outside src/console, src/splore and src/platform), global hook pointers
and the files that name the machine global `pstate`. Folders are the units
of the layer table when src/ has one (LAYERS_TOP=1: the top-level folders
of src/ in any case), else its top-level folders.
"""
import os
import re
import subprocess
import sys
from collections import defaultdict

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)
# Headers of the patched Lua build, which lives in the build tree.
LUA_HEADERS = {"lua.h", "lauxlib.h", "lualib.h", "luaconf.h", "lstate.h", "ldebug.h",
               "lobject.h", "lgc.h", "ltable.h", "lstring.h", "ldo.h", "lfunc.h", "lvm.h",
               "llimits.h", "ltm.h", "lzio.h", "lmem.h", "lopcodes.h", "lparser.h", "llex.h"}
TOP_SKIP = ("lang/lua/patches/",)
EXCLUDED_STATE = ("console/", "splore/", "platform/")


def sources(src):
    out = []
    for root, _, files in os.walk(src):
        for f in files:
            if f.endswith((".cpp", ".h")):
                rel = os.path.relpath(os.path.join(root, f), src)
                if not rel.startswith(TOP_SKIP):
                    out.append(rel)
    return sorted(out)


def includes(src, rel):
    """The src-relative files rel includes (Lua's headers as lang/lua/NAME)."""
    with open(os.path.join(src, rel), encoding="utf-8", errors="replace") as f:
        text = f.read()
    out = []
    for name in INCLUDE.findall(text):
        if name in LUA_HEADERS:
            out.append("lang/lua/" + name)
        elif os.path.exists(os.path.join(src, name)):
            out.append(name)
        elif os.path.exists(os.path.join(src, os.path.dirname(rel), name)):
            out.append(os.path.normpath(os.path.join(os.path.dirname(rel), name)))
        # Anything else (test helpers, generated files) is not ours to judge.
    return out


def read_table(path):
    """[(layer name, [units])], lowest first. A unit is a folder or a file,
    or several joined by "+" that count as one (a file beside the folder
    that uses it)."""
    layers = []
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.split("#", 1)[0].strip()
            if not line:
                continue
            name, _, units = line.partition(":")
            layers.append((name.strip(), units.split()))
    return layers


def unit_of(rel, units):
    """The unit of the table with the longest path that holds rel, or None."""
    best, best_len = None, -1
    for u in units:
        for path in u.split("+"):
            if (rel == path or rel.startswith(path.rstrip("/") + "/")) and len(path) > best_len:
                best, best_len = u, len(path)
    return best


def sccs(graph):
    """Strongly connected components with more than one node (Tarjan)."""
    index, low, stack, on, out = {}, {}, [], set(), []
    counter = [0]
    sys.setrecursionlimit(100000)

    def visit(v):
        index[v] = low[v] = counter[0]
        counter[0] += 1
        stack.append(v)
        on.add(v)
        for w in graph.get(v, ()):
            if w not in index:
                visit(w)
                low[v] = min(low[v], low[w])
            elif w in on:
                low[v] = min(low[v], index[w])
        if low[v] == index[v]:
            comp = []
            while True:
                w = stack.pop()
                on.discard(w)
                comp.append(w)
                if w == v:
                    break
            if len(comp) > 1:
                out.append(sorted(comp))

    for v in sorted(graph):
        if v not in index:
            visit(v)
    return out


def check(src):
    layers = read_table(os.path.join(src, "layers.txt"))
    rank, units = {}, []
    for i, (_, us) in enumerate(layers):
        for u in us:
            rank[u] = i
            units.append(u)
    errors = []
    graph = defaultdict(set)
    for rel in sources(src):
        a = unit_of(rel, units)
        if a is None:
            errors.append(f"{rel}: its folder is in no layer of layers.txt")
            continue
        for inc in includes(src, rel):
            b = unit_of(inc, units)
            if b is None:
                errors.append(f"{rel}: includes {inc}, which is in no layer")
            elif rank[b] > rank[a]:
                errors.append(f"{rel}: includes {inc} of a higher layer "
                              f"({layers[rank[b]][0]} above {layers[rank[a]][0]})")
            elif a != b and rank[b] == rank[a]:
                errors.append(f"{rel}: includes {inc} of another folder of its layer "
                              f"({layers[rank[a]][0]})")
            elif a != b:
                graph[a].add(b)
    for comp in sccs(graph):
        errors.append("folders include each other: " + " ".join(comp))
    for e in errors:
        print(e)
    if not errors:
        print(f"layers ok: {len(sources(src))} files in {len(units)} folders, {len(layers)} layers")
    return 1 if errors else 0


def top(rel):
    return rel.split("/", 1)[0] if "/" in rel else rel


def object_files(src, build):
    """{source path under src/: object file} for the system's own objects
    (the targets the build defines now, the sources that exist)."""
    targets = set()
    listing = os.path.join(build, "CMakeFiles", "TargetDirectories.txt")
    if os.path.exists(listing):
        targets = {line.strip() for line in open(listing) if line.strip()}
    objs = {}
    for root, _, files in os.walk(build):
        if "fuzz-clang" in root:
            continue
        for f in files:
            path = os.path.join(root, f)
            m = re.search(r"^(.*/CMakeFiles/[^/]+\.dir)/(.+)\.o$", path)
            if not m or (targets and os.path.abspath(m.group(1)) not in targets):
                continue
            base = os.path.dirname(os.path.dirname(m.group(1)))
            source = os.path.normpath(os.path.join(os.path.relpath(base, build), m.group(2)))
            if source.startswith("src/") and "lua5.2-" not in source and \
                    os.path.exists(os.path.join(src, source[4:])):
                objs.setdefault(source[4:], path)
    return objs


def symbols(obj):
    """Defined and undefined global symbols, and the writable data symbols."""
    out = subprocess.run(["nm", obj], capture_output=True, text=True, check=True).stdout
    defined, undefined = set(), set()
    for line in out.splitlines():
        parts = line.split()
        if len(parts) == 2 and parts[0] == "U":
            undefined.add(parts[1])
        elif len(parts) == 3 and parts[1] in "TDBR":
            defined.add(parts[2])
    # Writable data: .data and .bss, not the read-only data with relocations.
    table = subprocess.run(["objdump", "-t", obj], capture_output=True, text=True, check=True).stdout
    state = []
    for line in table.splitlines():
        m = re.match(r"^[0-9a-f]+ (.{7}) (\S+)\s+[0-9a-f]+\s+(\S+)$", line)
        if not m or "O" not in m.group(1):
            continue
        section, name = m.group(2), m.group(3)
        if section.startswith((".data", ".bss")) and not section.startswith(".data.rel.ro") \
                and not name.startswith(("_ZGV", ".", "__")):
            state.append(name)
    return defined, undefined, state


def demangle(names):
    if not names:
        return []
    out = subprocess.run(["c++filt"], input="\n".join(names), capture_output=True,
                         text=True, check=True).stdout
    return out.splitlines()


HOOK_DEF = re.compile(r"^(?:static\s+|extern\s+)?[\w:<>\s\*&]*?\(\s*\*\s*(\w+)\s*\)\s*\([^;{]*\)\s*(?:=[^;]*)?;",
                      re.M)
FN_TYPE = re.compile(r"using\s+(\w+)\s*=\s*[\w:<>\s\*&]*\(\s*\*\s*\)\s*\(")


def hook_pointers(src):
    """Mutable function-pointer variables at file scope (definitions)."""
    texts = {}
    for rel in sources(src):
        with open(os.path.join(src, rel), encoding="utf-8", errors="replace") as f:
            texts[rel] = f.read()
    types = set()
    for t in texts.values():
        types.update(FN_TYPE.findall(t))
    typed = re.compile(r"^(?:static\s+)?(?:%s)\s+(\w+)\s*(?:=[^;]*)?;" % "|".join(types or ["$^"]))
    found = []
    for rel, t in texts.items():
        if not rel.endswith(".cpp"):
            continue
        braces = []  # True for each open brace that opened a namespace
        for line in t.splitlines():
            code = re.sub(r"//.*", "", line).strip()
            if all(braces) and not code.startswith(("extern", "using", "typedef")):
                m = HOOK_DEF.match(code) or (not code.startswith("const ") and typed.match(code))
                if m:
                    found.append(f"{rel}: {m.group(1)}")
            for i, ch in enumerate(code):
                if ch == "{":
                    braces.append(bool(re.search(r"\bnamespace\b[^{}]*$", code[:i])))
                elif ch == "}" and braces:
                    braces.pop()
    return found


def figures(src, build):
    files = sources(src)
    # Folders: the units of the layer table when there is one, else the
    # top-level folders of src/.
    table = os.path.join(src, "layers.txt")
    units = [u for _, us in read_table(table) for u in us] if os.path.exists(table) else []
    if os.environ.get("LAYERS_TOP"):
        units = []
    folder = (lambda rel: unit_of(rel, units) or top(rel)) if units else top
    arrows = set()
    fgraph = defaultdict(set)
    for rel in files:
        for inc in includes(src, rel):
            a, b = folder(rel), folder(inc)
            if a != b:
                arrows.add((a, b))
                fgraph[a].add(b)
    folders = sorted({folder(r) for r in files})
    comps = sccs(fgraph)
    kind = "folders of src/layers.txt" if units else "folders under src/"
    print(f"{kind} (with main.cpp): {len(folders)}")
    print(f"include arrows between them: {len(arrows)}")
    print(f"folder cycles: {len(comps)}" + "".join(f"\n  {len(c)}: {' '.join(c)}" for c in comps))

    objs = object_files(src, build)
    defs, undefs, state = {}, {}, {}
    for srcpath, obj in objs.items():
        d, u, s = symbols(obj)
        defs[srcpath], undefs[srcpath], state[srcpath] = d, u, s
    owner = {}
    for srcpath, d in defs.items():
        for name in d:
            owner.setdefault(name, srcpath)
    ograph = defaultdict(set)
    for srcpath, u in undefs.items():
        for name in u:
            o = owner.get(name)
            if o and o != srcpath:
                ograph[srcpath].add(o)
    ocomps = sccs(ograph)
    print(f"object files: {len(objs)}; file-level cycles: {len(ocomps)}")
    for c in sorted(ocomps, key=len, reverse=True):
        tops = sorted({top(x) for x in c})
        shown = " ".join(c) if len(c) <= 6 else f"({', '.join(tops)})"
        print(f"  {len(c)} files: {shown}")

    counted = []
    for srcpath in sorted(state):
        if srcpath.startswith(EXCLUDED_STATE) or srcpath == "main.cpp":
            continue
        for name in demangle(state[srcpath]):
            counted.append(f"{srcpath}: {name}")
    everything = sum(len(s) for s in state.values())
    print(f"mutable file-scope variables: {everything} in all, "
          f"{len(counted)} outside console/, splore/, platform/")
    if os.environ.get("LAYERS_VERBOSE"):
        for c in counted:
            print("  " + c)

    hooks = hook_pointers(src)
    print(f"global hook pointers: {len(hooks)}" + "".join(f"\n  {h}" for h in hooks))

    readers = [r for r in files if re.search(r"\bpstate\b", open(os.path.join(src, r)).read())
               and not r.startswith("machine/pstate.")]
    print(f"files naming pstate: {len(readers)}")
    return 0


def main(argv):
    if len(argv) >= 2 and argv[1] == "check":
        src = argv[2] if len(argv) > 2 else os.path.join(os.path.dirname(__file__), "..", "src")
        return check(os.path.normpath(src))
    if len(argv) == 4 and argv[1] == "figures":
        return figures(os.path.normpath(argv[2]), os.path.normpath(argv[3]))
    print(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
