#!/usr/bin/env python3
"""The layering rule fails on every include against the layers and passes the
includes that run down them; the repository itself is clean."""
import os
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
CHECK = os.path.join(ROOT, "tools", "check_layers.py")

# (file, the header it includes, whether the rule must refuse it)
CASES = [
    ("base/a.cpp", "module/b.h", True),
    ("module/a.cpp", "localization/b.h", True),
    ("localization/a.cpp", "launcher/b.h", True),
    ("launcher/a_win.cpp", "lngtool/cli/b.h", True),
    ("lngtool/catalog/a.cpp", "lngtool/exchange/b.h", True),
    ("lngtool/io/a.h", "lngtool/cli/b.h", True),
    ("launcher/a.cpp", "tests/host/b.h", True),
    ("lngtool/render/a.cpp", "lngtool/tests/b.h", True),
    ("launcher/a.cpp", "base/b.h", False),
    ("localization/a.cpp", "module/b.h", False),
    ("lngtool/render/a.cpp", "launcher/b.h", False),
    ("lngtool/cli/a.cpp", "lngtool/io/b.h", False),
    ("base/a.cpp", "resources/b.h", False),
    ("tests/host/a_test.cpp", "lngtool/cli/b.h", False),
]


def run(root):
    return subprocess.run([sys.executable, CHECK, root], capture_output=True, text=True)


class LayersTest(unittest.TestCase):
    def test_each_include(self):
        for source, target, refused in CASES:
            with self.subTest(source=source, target=target), tempfile.TemporaryDirectory() as root:
                os.makedirs(os.path.join(root, os.path.dirname(source)))
                with open(os.path.join(root, source), "w") as f:
                    f.write('#include <vector>\n#include "%s"\n' % target)
                result = run(root)
                self.assertEqual(result.returncode, 1 if refused else 0, result.stdout)
                if refused:
                    self.assertIn(source, result.stdout)

    def test_the_repository_is_clean(self):
        result = run(ROOT)
        self.assertEqual(result.returncode, 0, result.stdout)


if __name__ == "__main__":
    unittest.main()
