#!/usr/bin/env python3
"""Lists every C++ function body longer than the limit; exits 1 if there is one.

A body is the text between a top-level opening brace and its closing brace, outside namespaces,
types and initialisers (a table of data is a constant, not a function). Strings, characters and
comments are skipped when counting braces.
"""
import re
import sys

LIMIT = 60
NOT_A_FUNCTION = re.compile(r"^\s*(namespace|struct|class|enum|union|extern)\b|=\s*$|=\s*\{$")


def code_only(text):
    """The text with comments, strings and character literals blanked, newlines kept."""
    out = []
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            j = text.find("\n", i)
            i = n if j < 0 else j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            out.append("\n" * text.count("\n", i, j))
            i = j
        elif text.startswith('R"', i):
            m = re.match(r'R"([^(]*)\(', text[i:])
            end = text.find(")" + m.group(1) + '"', i) if m else -1
            j = n if end < 0 else end + len(m.group(1)) + 2
            out.append('""' + "\n" * text.count("\n", i, j))
            i = j
        elif c in "\"'":
            j = i + 1
            while j < n and text[j] != c:
                j += 2 if text[j] == "\\" else 1
            out.append(c + c)
            i = j + 1
        else:
            out.append(c)
            i += 1
    return "".join(out)


def long_functions(path):
    lines = code_only(open(path, encoding="utf-8").read()).split("\n")
    found = []
    stack = []  # per open brace: (is_function, start line, statement head)
    head = ""
    for number, line in enumerate(lines, 1):
        if line.lstrip().startswith("#"):
            head = ""
            continue
        for c in line:
            if c == "{":
                inside_function = any(f for f, _, _ in stack)
                is_function = not inside_function and not NOT_A_FUNCTION.search(head.strip())
                stack.append((is_function, number, head.strip()))
                head = ""
            elif c == "}":
                if stack:
                    is_function, start, name = stack.pop()
                    if is_function and number - start - 1 > LIMIT:
                        found.append((number - start - 1, path, start, name))
                head = ""
            elif c == ";":
                head = ""
            else:
                head += c
        head += " "
    return found


def main(paths):
    found = sorted((f for p in paths for f in long_functions(p)), reverse=True)
    for length, path, line, name in found:
        short = re.sub(r"\s+", " ", name)
        print(f"{path}:{line}: {length} lines: {short[:90]}")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
