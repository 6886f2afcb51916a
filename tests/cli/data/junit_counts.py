"""Reads a JUnit report as CI systems do and prints what it counts, as JSON."""
import json
import sys
import xml.etree.ElementTree as ElementTree

root = ElementTree.parse(sys.argv[1]).getroot()
suites = root.findall("testsuite") if root.tag == "testsuites" else [root]
cases = [case for suite in suites for case in suite.findall("testcase")]
print(json.dumps({
    "tests": sum(int(suite.get("tests")) for suite in suites),
    "failures": sum(int(suite.get("failures")) for suite in suites),
    "cases": len(cases),
    "failed": [case.get("name") for case in cases if case.find("failure") is not None],
    "passed": [case.get("name") for case in cases if case.find("failure") is None],
}))
