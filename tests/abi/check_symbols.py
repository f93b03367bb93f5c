#!/usr/bin/env python3
"""Checks the dynamic symbols that libZELError exports.

check_symbols.py exports NM LIBRARY
    Fails when the library exports anything outside namespace zel, or one of
    the internal helpers of the dictionary reader and translation manager.
check_symbols.py baseline NM LIBRARY LIST
    Fails when a symbol named in LIST (this release's interface) is no longer
    exported; symbols that are new are listed but accepted.
check_symbols.py update NM LIBRARY LIST
    Rewrites LIST from the library, for a change of interface made on purpose.
    The build target zel_abi_update_symbols runs it.
"""
import re
import subprocess
import sys

# Internal helpers that must stay hidden: the dictionary reader's text
# functions and the translation manager's process-wide state.
INTERNAL = re.compile(r"\b(extractText|unescapeText|decodeEntities|"
                      r"s_current|s_observers|s_packages|s_disabled)\b")

# What a mangled name is about once the prefixes of virtual tables, VTTs, type
# information, thunks, guard variables and local statics are removed, together
# with the nesting mark and the qualifiers of member functions.
PREFIX = re.compile(r"^_Z(T[VTIS]|Thn?\d+_|Tvn?\d+_n?\d+_|GV)?Z?N?[rVKRO]*")

# Symbols that some linkers define in every shared library.
LINKER = {"_edata", "_end", "__bss_start", "_init", "_fini"}

HEADER = ("# Symbols that libZELError exports, mangled and sorted: the binary\n"
          "# interface of this release (see check_symbols.py).\n")


def symbols(nm, library):
    """(kind, mangled, demangled) of each defined dynamic symbol."""
    def listing(*options):
        out = subprocess.run([nm, "-D", "--defined-only", "--no-sort", *options,
                              library], check=True, capture_output=True,
                             text=True).stdout
        return [line.split(maxsplit=2)[1:] for line in out.splitlines()]
    return [(kind, name, readable) for (kind, name), (_, readable)
            in zip(listing(), listing("-C"))]


def namespace(mangled):
    rest = PREFIX.sub("", mangled, count=1) if mangled.startswith("_Z") else ""
    if rest.startswith("3zel"):
        return "zel"
    if rest.startswith(("St", "9__gnu_cxx")):
        return "std"
    return None


def check_exports(table):
    wrong = []
    for kind, name, readable in table:
        where = namespace(name)
        if INTERNAL.search(readable):
            wrong.append("internal helper: " + readable)
        elif where == "zel" or name in LINKER:
            continue
        # The standard library's templates have default visibility, so their
        # instantiations for our types (std::deque<zel::OutputMessage>,
        # std::map<int, std::string>, ...) are exported as weak (W, V) or
        # unique (u) symbols. Each application has its own copies and never
        # needs ours; a strong definition in std would be ours and is refused.
        elif where == "std" and kind in ("W", "V", "u"):
            continue
        else:
            wrong.append("outside namespace zel: %s %s" % (kind, readable))
    for line in wrong:
        print(line)
    print("%d exported symbols checked, %d wrong" % (len(table), len(wrong)))
    return not wrong


# Virtual tables and type information have vague linkage: every module that
# needs them emits its own copy, unless the class has a home in one library, a
# virtual function defined there. Our classes' home is their virtual
# destructor, whose deleting variant (D0) is exported. The interfaces without
# one (a protected destructor) and the ErrorReporter front (a non-virtual
# destructor) have no such home: whether the compiler keeps their tables here
# depends on optimisation, and applications use their own copies.
TABLES = re.compile(r"^_ZT[VIS](N3zel.*)E$")


def interface(table):
    """The symbols that make up the interface: those of namespace zel, less
    the tables of classes without a home here."""
    names = {name: readable for _, name, readable in table
             if namespace(name) == "zel"}

    def homeless(name):
        table_of = TABLES.match(name)
        return table_of and "_Z%sD0Ev" % table_of.group(1) not in names
    return {name: readable for name, readable in names.items()
            if not homeless(name)}


def check_baseline(table, path):
    with open(path) as listed:
        expected = {line.strip() for line in listed
                    if line.strip() and not line.startswith("#")}
    exported = interface(table)
    missing = sorted(expected - exported.keys())
    for name in sorted(exported.keys() - expected):
        print("new: %s  (%s)" % (name, exported[name]))
    for name in missing:
        print("MISSING: %s" % name)
    if missing:
        print("%d symbols of %s are no longer exported: applications built "
              "against this release would fail to load.\nIf the change is "
              "meant, regenerate the list with\n  cmake --build <build "
              "directory> --target zel_abi_update_symbols\nand commit it."
              % (len(missing), path))
    print("%d symbols expected, %d exported" % (len(expected), len(exported)))
    return not missing


def update(table, path):
    with open(path, "w") as listed:
        listed.write(HEADER)
        listed.writelines(name + "\n" for name in sorted(interface(table)))
    print("wrote %d symbols to %s" % (len(interface(table)), path))
    return True


def main(mode, nm, library, path=None):
    table = symbols(nm, library)
    if mode == "exports":
        return check_exports(table)
    return (check_baseline if mode == "baseline" else update)(table, path)


if __name__ == "__main__":
    if len(sys.argv) not in (4, 5) or sys.argv[1] not in (
            "exports", "baseline", "update"):
        sys.exit(__doc__)
    sys.exit(0 if main(*sys.argv[1:]) else 1)
