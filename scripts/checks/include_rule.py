#!/usr/bin/env python3
"""The include rule, checked on every build.

include_rule.py ROOT        checks the tree below ROOT; exit 1 with one line
                            per breach.
include_rule.py --self-test runs the rule's own table of cases.

The rule:
- Our own headers are included in quotes, system headers in angle brackets.
- A quoted include is a path from an include root: never "..", never absolute.
- In the programs' code (update_main/, update_sub/) it names the folder, as
  "download/HttpClient.h".
- The shared layer (update_main/shared) never includes program code, and
  neither program includes the other's own code.
- No two folders include each other, directly or round a longer loop: among
  the feature folders of the programs, and among the in-house libraries.
"""
import os
import re
import sys
import tempfile

SOURCE_ENDINGS = ('.h', '.cpp', '.c', '.rc')
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)
SYSTEM_INCLUDE = re.compile(r'^\s*#\s*include\s+<([^>]+)>', re.M)

# Include roots of the programs, and what kind of code lives below each.
PROGRAM_ROOTS = {
    'update_main/shared': 'shared',
    'update_main/program': 'program',
    'update_sub': 'program',
}


def source_files(root, top):
    for folder, dirs, files in os.walk(os.path.join(root, top)):
        dirs[:] = sorted(d for d in dirs if not d.startswith('.'))
        for name in sorted(files):
            if name.endswith(SOURCE_ENDINGS):
                yield os.path.relpath(os.path.join(folder, name), root).replace(os.sep, '/')


def includes_of(root, path, pattern=INCLUDE):
    with open(os.path.join(root, path), encoding='utf-8', errors='replace') as f:
        return pattern.findall(f.read())


def own_include_roots(root):
    roots = list(library_include_roots(root).values()) + list(PROGRAM_ROOTS) + ['framework/include', 'tests']
    return [r for r in roots if os.path.isdir(os.path.join(root, r))]


def program_root_of(path):
    for prefix in PROGRAM_ROOTS:
        if path.startswith(prefix + '/'):
            return prefix
    return None


def resolve(root, name, roots):
    """The first root below which `name` exists, and the file it names."""
    for prefix in roots:
        if os.path.isfile(os.path.join(root, prefix, name)):
            return prefix, prefix + '/' + name
    return None, None


def library_of(path):
    parts = path.split('/')
    return parts[1] if len(parts) > 2 and parts[0] == 'libs' else None


def library_include_roots(root):
    libs = os.path.join(root, 'libs')
    if not os.path.isdir(libs):
        return {}
    return {name: 'libs/%s/include' % name for name in sorted(os.listdir(libs))
            if os.path.isdir(os.path.join(libs, name, 'include'))}


def loops(edges):
    """Every set of folders that reach each other (Tarjan's strongly connected components)."""
    index, low, stack, on_stack, found = {}, {}, [], set(), []

    def visit(node):
        index[node] = low[node] = len(index)
        stack.append(node)
        on_stack.add(node)
        for other in sorted(edges.get(node, ())):
            if other not in index:
                visit(other)
                low[node] = min(low[node], low[other])
            elif other in on_stack:
                low[node] = min(low[node], index[other])
        if low[node] == index[node]:
            group = []
            while True:
                member = stack.pop()
                on_stack.discard(member)
                group.append(member)
                if member == node:
                    break
            if len(group) > 1:
                found.append(sorted(group))

    for node in sorted(edges):
        if node not in index:
            visit(node)
    return found


def check(root):
    breaches = []
    folder_edges, library_edges = {}, {}
    library_roots = library_include_roots(root)
    tops = [t for t in ('framework', 'libs', 'update_main', 'update_sub', 'tests', 'bench')
            if os.path.isdir(os.path.join(root, t))]
    own_roots = own_include_roots(root)
    for top in tops:
        for path in source_files(root, top):
            for name in includes_of(root, path, SYSTEM_INCLUDE):
                if resolve(root, name, own_roots)[0] is not None:
                    breaches.append('%s: <%s> is our own header in angle brackets' % (path, name))
            own_root = program_root_of(path)
            for name in includes_of(root, path):
                where = '%s: "%s"' % (path, name)
                if '..' in name.split('/') or name.startswith('/') or re.match(r'^[A-Za-z]:', name):
                    breaches.append(where + ' climbs out of its include root')
                    continue
                if own_root is None:
                    library = library_of(path)
                    if library:
                        for other, include_root in library_roots.items():
                            if other != library and os.path.isfile(os.path.join(root, include_root, name)):
                                library_edges.setdefault(library, set()).add(other)
                    continue
                if '/' not in name:
                    breaches.append(where + ' does not name its folder')
                    continue
                program_roots = [own_root] + [r for r in PROGRAM_ROOTS
                                              if r != own_root and PROGRAM_ROOTS[r] == 'shared']
                found_root, target = resolve(root, name, program_roots)
                if found_root is None:
                    other_root, _ = resolve(root, name, [r for r in PROGRAM_ROOTS if r not in program_roots])
                    if other_root is not None:
                        breaches.append(where + (' is program code included by shared code'
                                                 if PROGRAM_ROOTS[own_root] == 'shared'
                                                 else " is the other program's code"))
                    continue  # else a library's or the framework's header
                source_folder = os.path.dirname(path)
                target_folder = os.path.dirname(target)
                if source_folder != target_folder:
                    folder_edges.setdefault(source_folder, set()).add(target_folder)
    for group in loops(folder_edges):
        breaches.append('folders include each other: ' + ' <-> '.join(group))
    for group in loops(library_edges):
        breaches.append('libraries include each other: ' + ' <-> '.join(group))
    return breaches


# Each case: the files of a small tree, and the words each expected breach
# holds (none: the tree keeps the rule).
CASES = [
    ('shared includes shared by folder',
     {'update_main/shared/download/A.h': '#include "messages/M.h"\n',
      'update_main/shared/messages/M.h': ''}, []),
    ('program includes shared and its own folders',
     {'update_main/program/flow/F.cpp': '#include "startup/App.h"\n#include "download/A.h"\n',
      'update_main/program/startup/App.h': '#include "download/A.h"\n',
      'update_main/shared/download/A.h': ''}, []),
    ('shared includes program code',
     {'update_main/shared/download/A.cpp': '#include "startup/App.h"\n',
      'update_main/program/startup/App.h': ''}, ['program code included by shared code']),
    ('bare name in program code',
     {'update_main/program/flow/F.cpp': '#include "F.h"\n',
      'update_main/program/flow/F.h': ''}, ['does not name its folder']),
    ('climbing out',
     {'update_main/shared/download/A.cpp': '#include "../../program/startup/App.h"\n',
      'update_main/program/startup/App.h': ''}, ['climbs out']),
    ('climbing out in a library',
     {'libs/a/src/x.cpp': '#include "../include/a/x.h"\n',
      'libs/a/include/a/x.h': ''}, ['climbs out']),
    ('two folders include each other',
     {'update_main/shared/a/A.h': '#include "b/B.h"\n',
      'update_main/shared/b/B.h': '#include "a/A.h"\n'}, ['folders include each other']),
    ('a loop round three folders',
     {'update_main/program/a/A.h': '#include "b/B.h"\n',
      'update_main/program/b/B.h': '#include "c/C.h"\n',
      'update_main/program/c/C.h': '#include "a/A.h"\n'}, ['folders include each other']),
    ('libraries include each other',
     {'libs/a/include/a/x.h': '#include "b/y.h"\n',
      'libs/b/include/b/y.h': '#include "a/x.h"\n'}, ['libraries include each other']),
    ('a library private header by bare name',
     {'libs/a/src/x.cpp': '#include "private.h"\n#include "a/x.h"\n',
      'libs/a/src/private.h': '', 'libs/a/include/a/x.h': ''}, []),
    ('our header in angle brackets',
     {'libs/a/src/x.cpp': '#include <a/x.h>\n', 'libs/a/include/a/x.h': ''}, ['angle brackets']),
    ('the secondary program includes shared code and its own folders',
     {'update_sub/install/I.cpp': '#include "fileops/F.h"\n#include "download/A.h"\n',
      'update_sub/fileops/F.h': '#include "messages/M.h"\n',
      'update_main/shared/download/A.h': '', 'update_main/shared/messages/M.h': ''}, []),
    ('the secondary program includes the main program',
     {'update_sub/install/I.cpp': '#include "flow/F.h"\n',
      'update_main/program/flow/F.h': ''}, ["the other program's code"]),
    ('the main program includes the secondary program',
     {'update_main/program/flow/F.cpp': '#include "install/I.h"\n',
      'update_sub/install/I.h': ''}, ["the other program's code"]),
    ('shared includes the secondary program',
     {'update_main/shared/download/A.cpp': '#include "install/I.h"\n',
      'update_sub/install/I.h': ''}, ['program code included by shared code']),
    ('bare name in the secondary program',
     {'update_sub/install/I.cpp': '#include "I.h"\n', 'update_sub/install/I.h': ''}, ['does not name its folder']),
    ('secondary program folders include each other',
     {'update_sub/install/I.h': '#include "fileops/F.h"\n',
      'update_sub/fileops/F.h': '#include "install/I.h"\n'}, ['folders include each other']),
    ('system and framework headers pass',
     {'update_main/shared/a/A.cpp': '#include <windows.h>\n#include "framework/CString.h"\n'}, []),
]


def self_test():
    failures = 0
    for title, files, expected in CASES:
        with tempfile.TemporaryDirectory() as root:
            for path, text in files.items():
                full = os.path.join(root, path)
                os.makedirs(os.path.dirname(full), exist_ok=True)
                with open(full, 'w', encoding='utf-8') as f:
                    f.write(text)
            breaches = check(root)
        ok = len(breaches) == len(expected) and all(
            any(words in breach for breach in breaches) for words in expected)
        if not ok:
            failures += 1
            print('FAIL %s: expected %s, got %s' % (title, expected, breaches))
    print('%d passed, %d failed' % (len(CASES) - failures, failures))
    return 1 if failures else 0


def main():
    if sys.argv[1:] == ['--self-test']:
        return self_test()
    if len(sys.argv) != 2:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    breaches = check(sys.argv[1])
    for breach in breaches:
        print('include rule: ' + breach, file=sys.stderr)
    return 1 if breaches else 0


if __name__ == '__main__':
    sys.exit(main())
