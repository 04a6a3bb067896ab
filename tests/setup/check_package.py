"""The package folder holds exactly what the setup expects beside itself, programs runnable."""

import os
import sys

folder, suffix, page = sys.argv[1], sys.argv[2], sys.argv[3]
expected = {"velmora-setup" + suffix, "velmora-checker" + suffix, "index.html"}
found = set(os.listdir(folder))
problems = []
if found != expected:
    problems.append(f"package holds {sorted(found)}, expected {sorted(expected)}")
for program in ("velmora-setup" + suffix, "velmora-checker" + suffix):
    path = os.path.join(folder, program)
    if os.path.exists(path) and not os.access(path, os.X_OK):
        problems.append(f"{program} is not executable")
with open(page, "rb") as source, open(os.path.join(folder, "index.html"), "rb") as shipped:
    if source.read() != shipped.read():
        problems.append("index.html differs from the checker's page")
for problem in problems:
    print(problem)
print("package: " + ("1 failed" if problems else "1 passed"))
sys.exit(1 if problems else 0)
