#!/usr/bin/env python3
"""Prints the closing line of 'make check': the individual test cases that ran, over every test tree.

A ctest test that is a GoogleTest program counts with its test cases (from its XML results); any other ctest
test counts as one. A test program that failed without failing a case (a crash, a timeout) counts one more
failure. Usage: summary.py TEST_TREE..."""
import os
import sys
import xml.etree.ElementTree as ET


def count_tree(tree):
    results = os.path.join(tree, "results")
    passed = failed = 0
    junit = os.path.join(results, "ctest.xml")
    if not os.path.exists(junit):
        print(f"summary: no ctest results in {tree}", file=sys.stderr)
        return 0, 1
    for case in ET.parse(junit).getroot().iter("testcase"):
        name = case.get("name")
        ctest_failed = case.find("failure") is not None or case.get("status") == "fail"
        if case.find("skipped") is not None or case.get("status") in ("notrun", "disabled"):
            failed += 1  # a test that did not run is not a pass
            continue
        gtest = os.path.join(results, name + ".xml")
        if os.path.exists(gtest):
            root = ET.parse(gtest).getroot()
            cases = int(root.get("tests", 0)) - int(root.get("disabled", 0))
            bad = int(root.get("failures", 0)) + int(root.get("errors", 0))
            passed += cases - bad
            failed += bad
            if ctest_failed and bad == 0:
                failed += 1
        elif ctest_failed:
            failed += 1
        else:
            passed += 1
    return passed, failed


def main():
    passed = failed = 0
    for tree in sys.argv[1:]:
        p, f = count_tree(tree)
        passed += p
        failed += f
    print(f"check: {passed} passed, {failed} failed")
    return 0 if failed == 0 and passed > 0 else 1


if __name__ == "__main__":
    sys.exit(main())
