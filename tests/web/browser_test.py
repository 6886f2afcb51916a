#!/usr/bin/python3
"""The web server in a real browser: Chromium, driven by clicking and typing as a user does.

Serves the sample project and a hostile tree, walks the sample's journeys and compares each run
with `kestrova run` on the same answers; runs one journey alternating between two server
processes; sends tampered, oversized and malformed requests; checks that hostile text is shown
as text and never runs.

    browser_test.py --kestrova build/dev/cli/kestrova --examples examples [--keep DIR]
"""

import argparse
import csv
import html
import http.client
import http.server
import os
import re
import shutil
import socket
import sqlite3
import subprocess
import sys
import tempfile
import threading
import time
import urllib.parse
from xml.sax.saxutils import escape as xml_escape

from selenium import webdriver
from selenium.webdriver.chrome.service import Service as ChromeService
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.common.exceptions import WebDriverException
from selenium.webdriver.support.ui import Select, WebDriverWait

FAILURES = []


def check(condition, what):
    if not condition:
        FAILURES.append(what)
        print("FAIL:", what, flush=True)
    return condition


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Server:
    """One `kestrova serve` process; its stderr (one line per request) is kept."""

    def __init__(self, kestrova, trees, port, secret, results, extra=()):
        self.port = port
        self.log = []
        self.process = subprocess.Popen(
            [kestrova, "serve", *trees, "--listen", f"127.0.0.1:{port}", "--secret-file", secret,
             "--results", "sqlite:" + results, *extra],
            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
        threading.Thread(target=self._read, daemon=True).start()
        deadline = time.time() + 60
        while time.time() < deadline:
            if self.process.poll() is not None:
                raise RuntimeError("server ended: " + "\n".join(self.log))
            try:
                socket.create_connection(("127.0.0.1", port), timeout=0.5).close()
                return
            except OSError:
                time.sleep(0.1)
        raise RuntimeError("server did not listen: " + "\n".join(self.log))

    def _read(self):
        for line in self.process.stderr:
            self.log.append(line.rstrip("\n"))

    def url(self, path="/"):
        return f"http://127.0.0.1:{self.port}{path}"

    def stop(self):
        self.process.terminate()
        code = self.process.wait(timeout=20)
        time.sleep(0.2)
        check(code == 0, f"server on {self.port} stops cleanly on SIGTERM (exit {code})")
        check(any(line == "Stopped." for line in self.log), "server says it stopped")


# ---------------------------------------------------------------- answers and journeys

def read_journeys(path):
    journeys, current = [], None
    for raw in open(path, encoding="utf-8"):
        line = raw.strip()
        if not line or line.startswith("#"):
            continue
        if line.startswith("journey:"):
            current = {"name": line[8:].strip(), "start": "", "lines": []}
            journeys.append(current)
        elif line.startswith("start:"):
            current["start"] = line[6:].strip()
        elif line.startswith("expect"):
            continue
        elif current is not None:
            current["lines"].append(line)
    return journeys


def read_answers(path):
    return [l.strip() for l in open(path, encoding="utf-8") if l.strip() and not l.strip().startswith("#")]


def kestrova_run(kestrova, tree, lines, start, folder):
    """Pages, values and remaining items of `kestrova run` on these answers."""
    answers = os.path.join(folder, "answers.txt")
    with open(answers, "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")
    command = [kestrova, "run", tree, "--answers", answers] + (["--start", start] if start else [])
    out = subprocess.run(command, capture_output=True, text=True).stdout
    pages, values, items, end, selector = [], {}, {}, None, None
    for line in out.splitlines():
        m = re.match(r"Page \d+: (.*)$", line)
        if m:
            first = m.group(1).split(", ")[0]
            pages.append(re.sub(r" \([^()]*\)$", "", first))
            continue
        m = re.match(r"  ([^=/:\s][^=/:]*?) = (.*)$", line)
        if m and not line.startswith("  removed"):
            values[m.group(1)] = m.group(2)
            continue
        m = re.match(r"(Done: the run reached|Finished early on) (.*)\.$", line)
        if m:
            end = "finished" if m.group(1).startswith("Finished") else "done"
            continue
        m = re.match(r"(\S.*): \d+ of \d+ items remain$", line)
        if m:
            selector = m.group(1)
            items[selector] = []
            continue
        m = re.match(r"  \d+\. (.*)$", line)
        if m and selector:
            items[selector].append(m.group(1))
    return {"pages": pages, "values": values, "items": items, "end": end, "output": out}


class Answers:
    """NAME=VALUE, BACK and FINISH lines, taken as a user would answer each page."""

    def __init__(self, lines):
        self.entries = []
        self.finish = False
        for line in lines:
            if line.upper() == "FINISH":
                self.finish = True
            elif line.upper() == "BACK":
                self.entries.append([None, None, False])
            else:
                name, value = line.split("=", 1)
                self.entries.append([name.strip(), value.strip(), False])

    def take(self, name):
        for entry in self.entries:
            if not entry[2] and entry[0] is not None and entry[0].lower() == name.lower():
                entry[2] = True
                return entry[1]
        return None

    def back_now(self):
        for entry in self.entries:
            if entry[2]:
                continue
            if entry[0] is not None:
                return False
            entry[2] = True
            return True
        return False


# ---------------------------------------------------------------- the browser

ALERT_HOOK = """
window.__alerts = [];
for (const name of ['alert', 'confirm', 'prompt'])
    window[name] = function (m) { window.__alerts.push(String(m)); };
"""


def browser(profile):
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for flag in ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                 "--disable-background-networking", "--disable-component-update", "--disable-sync",
                 f"--user-data-dir={profile}", "--window-size=1200,1600"]:
        options.add_argument(flag)
    service = ChromeService(executable_path="/usr/bin/chromedriver")
    driver = webdriver.Chrome(service=service, options=options)
    driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": ALERT_HOOK})
    return driver


def submit(driver, press):
    """Presses a button or a key that sends the form, and waits for the next page to replace this one."""
    driver.execute_script("window.__kvOldPage = true")

    def replaced(d):
        try:
            return d.execute_script("return window.__kvOldPage === undefined && document.readyState === 'complete'")
        except WebDriverException:  # asked while the pages change over
            return False

    press()
    WebDriverWait(driver, 20).until(replaced)


def no_script_ran(driver, where):
    scripts = driver.execute_script("return document.querySelectorAll('script').length")
    alerts = driver.execute_script("return window.__alerts || []")
    check(scripts == 0, f"{where}: no script element on the page ({scripts})")
    check(alerts == [], f"{where}: no script ran ({alerts})")


def page_name(driver):
    forms = driver.find_elements(By.CSS_SELECTOR, "form[data-page]")
    return forms[0].get_attribute("data-page") if forms else None


def answer_control(driver, control, value):
    """Gives one control its answer; True when the answer was a command button's push."""
    field = control.get_attribute("id").replace("-control", "")
    radios = control.find_elements(By.CSS_SELECTOR, "input[type=radio]")
    boxes = control.find_elements(By.CSS_SELECTOR, "input[type=checkbox]")
    selects = control.find_elements(By.TAG_NAME, "select")
    buttons = control.find_elements(By.CSS_SELECTOR, "button")
    texts = control.find_elements(By.CSS_SELECTOR, "input[type=text], input[type=number], textarea")
    ranges = control.find_elements(By.CSS_SELECTOR, "input[type=range]")
    if buttons:
        if value.lower() in ("pushed", "true"):
            submit(driver, buttons[0].click)
            return True
        return False
    if radios:
        for radio in radios:
            if radio.get_attribute("value").lower() == value.lower():
                radio.find_element(By.XPATH, "..").click()  # the label, as a user clicks it
                return False
        raise AssertionError(f"{field}: no choice {value}")
    if boxes and len(boxes) == 1 and boxes[0].get_attribute("value") == "True":
        wanted = value.lower() in ("checked", "true", "pushed")
        if boxes[0].is_selected() != wanted:
            control.find_element(By.CSS_SELECTOR, "label").click()
        return False
    if boxes:
        chosen = [v.lower() for v in value.split("|") if v]
        for box in boxes:
            if box.is_selected() != (box.get_attribute("value").lower() in chosen):
                box.find_element(By.XPATH, "..").click()
        return False
    if selects:
        select = Select(selects[0])
        for option in select.options:
            if option.text.lower() == value.lower():
                select.select_by_visible_text(option.text)
                return False
        raise AssertionError(f"{field}: no entry {value}")
    if ranges:
        field_input = ranges[0]
        field_input.send_keys(Keys.HOME)
        ticks = [li.text for li in control.find_elements(By.CSS_SELECTOR, "ol.ticks li")]
        steps = [t.lower() for t in ticks].index(value.lower()) if ticks else int(value) - int(field_input.get_attribute("min"))
        for _ in range(steps):
            field_input.send_keys(Keys.ARROW_RIGHT)
        return False
    if texts:
        texts[0].clear()
        texts[0].send_keys(value)
        return False
    raise AssertionError(f"{field}: no field to answer")


def walk(driver, start_url, lines, alternate=None):
    """Answers page by page until the run ends; the pages seen, the end page's values and items."""
    answers = Answers(lines)
    driver.get(start_url)
    pages = []
    for _ in range(200):
        no_script_ran(driver, driver.current_url)
        name = page_name(driver)
        if name is None:
            break
        pages.append(name)
        if alternate:
            alternate(driver)
        if answers.back_now():
            submit(driver, driver.find_element(By.CSS_SELECTOR, "button.back").click)
            continue
        controls = driver.find_elements(By.CSS_SELECTOR, "div.control")
        pushed = False
        first_unanswered = False
        for index, control in enumerate(controls):
            value = answers.take(control.get_attribute("data-control"))
            takes = control.find_elements(By.CSS_SELECTOR, "input, select, textarea, button")
            if value is None:
                if index == 0 and takes:
                    first_unanswered = True
                continue
            pushed = answer_control(driver, control, value) or pushed
        if pushed:
            continue
        finish = driver.find_elements(By.CSS_SELECTOR, "button.finish")
        nexts = driver.find_elements(By.CSS_SELECTOR, "button.next")
        if first_unanswered and not answers.finish:
            return {"pages": pages, "stopped": True}
        if first_unanswered and finish:
            submit(driver, finish[0].click)
        elif nexts:
            submit(driver, nexts[0].click)
        elif finish:
            submit(driver, finish[0].click)
        else:
            break
    values = {dd.get_attribute("data-control"): dd.get_attribute("textContent")
              for dd in driver.find_elements(By.CSS_SELECTOR, "dd[data-control]")}
    items = {ol.get_attribute("data-selector"): [li.get_attribute("textContent") for li in ol.find_elements(By.TAG_NAME, "li")]
             for ol in driver.find_elements(By.CSS_SELECTOR, "ol.items")}
    return {"pages": pages, "values": values, "items": items, "stopped": False}


def same_run(web, run, what):
    ok = check(web["pages"] == run["pages"], f"{what}: pages\n  web: {web['pages']}\n  run: {run['pages']}")
    # Where the answers run out without FINISH, both stop on the same page.
    if check(web["stopped"] == (run["end"] is None), f"{what}: both stop, or both end") and web["stopped"]:
        return ok
    for name, value in run["values"].items():
        ok = check(web["values"].get(name) == value, f"{what}: value of {name}: web {web['values'].get(name)!r}, run {value!r}") and ok
    ok = check(web["items"] == run["items"], f"{what}: items\n  web: {web['items']}\n  run: {run['items']}") and ok
    return ok


# ---------------------------------------------------------------- raw requests

def raw_request(port, data, timeout=10):
    with socket.create_connection(("127.0.0.1", port), timeout=timeout) as s:
        s.sendall(data)
        chunks = []
        try:
            while True:
                chunk = s.recv(65536)
                if not chunk:
                    break
                chunks.append(chunk)
        except socket.timeout:
            pass
    reply = b"".join(chunks)
    m = re.match(rb"HTTP/1\.[01] (\d+)", reply)
    return int(m.group(1)) if m else 0, reply


def post_form(port, path, fields):
    body = urllib.parse.urlencode(fields).encode()
    conn = http.client.HTTPConnection("127.0.0.1", port, timeout=10)
    conn.request("POST", path, body, {"Content-Type": "application/x-www-form-urlencoded"})
    response = conn.getresponse()
    text = response.read().decode("utf-8", "replace")
    conn.close()
    return response.status, text, dict(response.getheaders())


def get(port, path):
    conn = http.client.HTTPConnection("127.0.0.1", port, timeout=10)
    conn.request("GET", path)
    response = conn.getresponse()
    text = response.read().decode("utf-8", "replace")
    conn.close()
    return response.status, text, dict(response.getheaders())


def token_of(page):
    m = re.search(r'name="token" value="([^"]*)"', page)
    return html.unescape(m.group(1)) if m else ""


# ---------------------------------------------------------------- the hostile tree

HOSTILE = '<script>alert("x")</script> & \'q\' "d"'


def hostile_tree(path, landing):
    """A web tree whose texts hold markup, quotes and ampersands (control characters are the unit tests')."""
    bad = HOSTILE
    def text(value):  # the compiler's escaping, then the XML's
        return xml_escape(value, {'"': "&quot;"})
    decisions = [
        (1, "Intro", "Info", "Intro " + bad, "<B>Bold</B> " + bad + " <img src=x onerror=alert(2)>", [], ""),
        (2, "Pick", "Radio", "Pick " + bad, "Header <i>x</i> " + bad,
         [("<script>alert(5)</script>", "!GO [[3]];"), ('a & "b"', "!GO [[3]];")], ""),
        (3, "Say", "StringBox", "Say " + bad, "Type anything", [], "!GO [[4]];"),
        (4, "Items", "dList", "Items " + bad, "Items", [("Things", "!GO [[5]];")], ""),
        (5, "Away", "Radio", "Away", "Stay or leave",
         [("Stay", "!GO [[6]];"), ("Leave", f'!JUMP "{landing}"(stringReturnQuotes);')], ""),
        (6, "Bye", "Done", "Done", "Bye " + bad, [], ""),
    ]
    lines = ["<?xml version='1.0' encoding='UTF-8'?>", "<TreeFile>", "<EarlyFinish>Off</EarlyFinish>",
             f"<WizardTitle>{text('Title ' + bad)}</WizardTitle>", "<Decisions>"]
    for number, name, kind, caption, header, options, pre in decisions:
        lines += ["\t<Decision>", f"\t\t<Number>{number}</Number>", f"\t\t<Name>{name}</Name>", f"\t\t<Type>{kind}</Type>",
                  "\t\t<LeftImg></LeftImg>", "\t\t<Help>https://example.com/help?a=1&amp;b=2</Help>" if number == 3 else "\t\t<Help></Help>",
                  f"\t\t<ControlCaption>{text(caption)}</ControlCaption>", f"\t\t<PageHeader>{text(header)}</PageHeader>",
                  f"\t\t<DisplayedControls>{number}</DisplayedControls>"]
        if pre:
            lines.append(f"\t\t<Action>{text(pre)}</Action>")
        for option, action in options:
            lines += [f"\t\t<Option>{text(option)}", f"\t\t\t<Action>{text(action)}</Action>", "\t\t</Option>"]
        lines.append("\t</Decision>")
    lines += ["</Decisions>", "<CriteriaLists>", "\t<CriteriaList Name='Things'>"]
    for item in ["Plain", "<script>alert(7)</script>", 'Quote " & amp']:
        lines += [f"\t\t<CriteriaItem Name='{text(item)}'>", f"\t\t<Category Name='Name'>{text(item)}</Category>", "\t\t</CriteriaItem>"]
    lines += ["\t</CriteriaList>", "</CriteriaLists>", "</TreeFile>"]
    with open(path, "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")


class Landing(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        self.send_response(200)
        self.send_header("Content-Type", "text/html")
        self.end_headers()
        self.wfile.write(b"<!DOCTYPE html><title>Landed</title><p id=landed>Landed</p>")

    def log_message(self, *args):
        pass


# ---------------------------------------------------------------- the parts

def journeys_match_run(driver, args, server, project, work):
    sample_lines = []
    for journey in read_journeys(os.path.join(args.examples, "laptop-selector.journeys.txt")):
        sample_lines.append((journey["name"], journey["lines"], journey["start"]))
    sample_lines.append(("answers file with Back", read_answers(os.path.join(args.examples, "laptop-selector-back.answers")), ""))
    main = read_answers(os.path.join(args.examples, "laptop-selector.answers"))
    # Finish where the answers run out: early finish is on from the sort order's page.
    upto = [l for l in main if not l.startswith(("CustomerName", "ShowMatches", "Results"))]
    sample_lines.append(("finish early", upto + ["FINISH"], ""))
    for name, lines, start in sample_lines:
        run = kestrova_run(args.kestrova, project, lines, start, work)
        # A web run starts at the tree's first page only; a journey that starts elsewhere
        # cannot be walked in the browser.
        if start and run["pages"][:1] != kestrova_run(args.kestrova, project, [], "", work)["pages"][:1]:
            print(f"skipped: journey '{name}' starts at {start}, where no web run starts", flush=True)
            continue
        web = walk(driver, server.url("/laptop-selector/"), lines)
        if same_run(web, run, f"journey '{name}'"):
            print(f"ok: journey '{name}' ({len(web['pages'])} pages) as kestrova run", flush=True)
        else:
            print(run["output"], flush=True)


def external_sample(args, work):
    """The sample with its selector as an external one: the laptops in an SQLite file named shop
    beside the project, so the selector is shop.laptops."""
    with open(os.path.join(args.examples, "laptop-selector.rules"), encoding="utf-8") as f:
        rules = f.read()
    rules = (rules.replace("!KILL laptops:", "!KILL shop.laptops:").replace("!SORT laptops:", "!SORT shop.laptops:")
             .replace("^laptops\t", "^shop.laptops\t"))
    rules_path = os.path.join(work, "external.rules")
    with open(rules_path, "w", encoding="utf-8") as f:
        f.write(rules)
    project = os.path.join(work, "external.kvp")
    shop = os.path.join(work, "shop")
    for path in (project, shop):
        if os.path.exists(path):
            os.remove(path)
    with open(os.path.join(args.examples, "laptops.csv"), encoding="utf-8", newline="") as f:
        rows = [row for row in csv.reader(f) if row]
    db = sqlite3.connect(shop)
    db.execute("CREATE TABLE laptops (%s)" % ", ".join('"%s" text' % name for name in rows[0]))
    db.executemany("INSERT INTO laptops VALUES (%s)" % ", ".join("?" * len(rows[0])), rows[1:])
    db.commit()
    db.close()
    subprocess.run([args.kestrova, "from-rules", rules_path, "-o", project], check=True)
    subprocess.run([args.kestrova, "selector", "external", project, "shop.laptops", "--driver", "sqlite",
                    "--fields", ",".join(rows[0])], check=True)
    return project


def external_journeys_match_run(driver, args, server, project, work):
    """Two journeys on the external-selector version end as kestrova run on the sample's own table."""
    for journey in read_journeys(os.path.join(args.examples, "laptop-selector.journeys.txt"))[:2]:
        # A web run starts at the tree's first page, where the sample's journeys start too.
        run = kestrova_run(args.kestrova, project, journey["lines"], journey["start"], work)
        web = walk(driver, server.url("/external/"), journey["lines"])
        web["items"] = {("laptops" if name == "shop.laptops" else name): items for name, items in web.get("items", {}).items()}
        if same_run(web, run, f"external selector, journey '{journey['name']}'"):
            print(f"ok: journey '{journey['name']}' on the external selector as kestrova run on the sample", flush=True)


def refused_answer(driver, server, work):
    driver.get(server.url("/laptop-selector/"))
    submit(driver, driver.find_element(By.CSS_SELECTOR, "button.next").click)
    check(page_name(driver) == "Budget", "the second page is the budget")
    focused = driver.switch_to.active_element.get_attribute("id")
    check(focused == "c2", f"the first field has the focus ({focused})")
    field = driver.find_element(By.ID, "c2")
    field.clear()
    field.send_keys("99999")
    # Enter in the field is Next, as the keyboard alone would do it.
    submit(driver, lambda: field.send_keys(Keys.ENTER))
    check(page_name(driver) == "Budget", "an answer outside the span keeps the page")
    errors = driver.find_elements(By.CSS_SELECTOR, "#c2-error")
    check(errors and "99999" in errors[0].text, "the reason stands beside the field")
    check(driver.find_element(By.ID, "c2").get_attribute("value") == "99999", "the typed answer is kept")
    driver.save_screenshot(os.path.join(work, "refused.png"))
    field = driver.find_element(By.ID, "c2")
    field.clear()
    field.send_keys("1400")
    submit(driver, lambda: field.send_keys(Keys.ENTER))
    check(page_name(driver) == "MainUse", "the corrected answer goes on")
    driver.save_screenshot(os.path.join(work, "main-use.png"))
    submit(driver, driver.find_element(By.CSS_SELECTOR, "button.back").click)
    check(driver.find_element(By.ID, "c2").get_attribute("value") == "1400", "Back shows the answer given")
    print("ok: refused answer, focus, Enter, Back", flush=True)


def two_servers(driver, args, first, second, project, work):
    lines = read_answers(os.path.join(args.examples, "laptop-selector-back.answers"))
    run = kestrova_run(args.kestrova, project, lines, "", work)
    turn = [0]
    servers = [first, second]

    def alternate(d):
        # The next request of this run goes to the other process.
        turn[0] += 1
        target = servers[turn[0] % 2].url("/laptop-selector/")
        d.execute_script("document.querySelector('form[data-page]').action = arguments[0]", target)

    web = walk(driver, first.url("/laptop-selector/"), lines, alternate)
    if same_run(web, run, "two servers alternating"):
        print(f"ok: one run over two processes ({turn[0]} pages) as kestrova run", flush=True)
    posts = [len([l for l in s.log if l.startswith("POST /laptop-selector/ 200")]) for s in servers]
    check(min(posts) >= 3, f"both processes served the run ({posts})")


def hostile_pages(driver, server, landing, work):
    driver.get(server.url("/hostile/"))
    no_script_ran(driver, "hostile intro")
    header = driver.find_element(By.CSS_SELECTOR, "div.header")
    check(header.get_attribute("textContent") == "Bold " + HOSTILE + " <img src=x onerror=alert(2)>",
          "the header's text equals the tree's: " + header.get_attribute("textContent"))
    check(len(header.find_elements(By.TAG_NAME, "b")) == 1, "the header keeps its bold tag")
    check(driver.title == "Title " + HOSTILE, "the title is the tree's text")
    submit(driver, driver.find_element(By.CSS_SELECTOR, "button.next").click)
    no_script_ran(driver, "hostile pick")
    legend = driver.find_element(By.TAG_NAME, "legend").get_attribute("textContent")
    check(legend == "Pick " + HOSTILE, f"the caption is text: {legend!r}")
    labels = [l.get_attribute("textContent").strip() for l in driver.find_elements(By.CSS_SELECTOR, "fieldset label")]
    check(labels == ["<script>alert(5)</script>", 'a & "b"'], f"the options are text: {labels}")
    driver.find_elements(By.CSS_SELECTOR, "fieldset label")[1].click()
    submit(driver, driver.find_element(By.CSS_SELECTOR, "button.next").click)
    no_script_ran(driver, "hostile say")
    help_link = driver.find_element(By.CSS_SELECTOR, "p.help a")
    check(help_link.get_attribute("href") == "https://example.com/help?a=1&b=2", "the help address is a link")
    typed = HOSTILE + " </textarea><b>"
    driver.find_element(By.ID, "c3").send_keys(typed)
    submit(driver, driver.find_element(By.CSS_SELECTOR, "button.next").click)
    no_script_ran(driver, "hostile items")
    options = [o.get_attribute("textContent") for o in driver.find_elements(By.CSS_SELECTOR, "select option")]
    check(options == ["Plain", "<script>alert(7)</script>", 'Quote " & amp'], f"selector cells are text: {options!r}")
    submit(driver, driver.find_element(By.CSS_SELECTOR, "button.back").click)
    value = driver.find_element(By.ID, "c3").get_attribute("value")
    check(value == typed, f"the typed answer comes back as typed: {value!r}")
    submit(driver, driver.find_element(By.CSS_SELECTOR, "button.next").click)
    Select(driver.find_element(By.TAG_NAME, "select")).select_by_index(1)
    submit(driver, driver.find_element(By.CSS_SELECTOR, "button.next").click)
    no_script_ran(driver, "hostile away")
    driver.find_elements(By.CSS_SELECTOR, "fieldset label")[1].click()
    submit(driver, driver.find_element(By.CSS_SELECTOR, "button.next").click)
    if not check(driver.current_url == landing, f"!JUMP takes the browser to {landing} ({driver.current_url})"):
        driver.save_screenshot(os.path.join(work, "jump.png"))
    check(driver.find_elements(By.ID, "landed") != [], "the jump's page is shown")
    # Once more to the end, where the typed answer is shown among the values.
    walk(driver, server.url("/hostile/"), ["Pick=<script>alert(5)</script>", "Say=" + typed, "Items=Plain", "Away=Stay"])
    said = driver.find_element(By.CSS_SELECTOR, "dd[data-control=Say]").get_attribute("textContent")
    check(said == typed, f"the end page shows the answer as typed: {said!r}")
    no_script_ran(driver, "hostile end")
    print("ok: hostile texts shown as text, no script ran, !JUMP followed", flush=True)


def tampering(args, server, other_key, project_copy):
    status, page, headers = get(server.port, "/laptop-selector/")
    check(status == 200, "a run starts")
    for name in ["Content-Security-Policy", "X-Content-Type-Options", "Referrer-Policy"]:
        check(name in headers, f"security header {name}")
    check("script-src" not in headers.get("Content-Security-Policy", "x") and "unsafe-inline" not in headers.get("Content-Security-Policy", ""),
          "no inline scripts allowed")
    token = token_of(page)
    changed = token[:10] + ("A" if token[10] != "A" else "B") + token[11:]
    check(post_form(server.port, "/laptop-selector/", {"token": changed, "go": "next"})[0] == 400, "a changed token: 400")
    check(get(server.port, "/laptop-selector/?start=Budget")[0] == 400, "a run started past the first page: 400")
    status, page, _ = post_form(other_key.port, "/laptop-selector/", {"token": token, "go": "next"})
    check(status == 400 and "start again" in page, "a token of another key: 400 and start again")
    check(post_form(server.port, "/hostile/", {"token": token, "go": "next"})[0] == 400, "a token of another tree: 400")
    status, versioned, _ = get(server.port, "/versioned/")
    old = token_of(versioned)
    with open(project_copy, "ab") as f:  # another version of the file
        f.write(b"\0")
    time.sleep(2.5)
    status, page, _ = post_form(server.port, "/versioned/", {"token": old, "go": "next"})
    check(status == 400 and "changed" in page, f"a token of an older version: 400 ({status})")
    status, page, _ = get(server.port, "/versioned/")
    check(status == 200 and post_form(server.port, "/versioned/", {"token": token_of(page), "go": "next"})[0] == 200,
          "new runs start on the new version")
    # Oversized and malformed requests.
    big = b"token=" + b"x" * (70 * 1024)
    status, _ = raw_request(server.port, b"POST /laptop-selector/ HTTP/1.1\r\nHost: x\r\nContent-Type: application/x-www-form-urlencoded\r\n"
                            + b"Content-Length: " + str(len(big)).encode() + b"\r\nConnection: close\r\n\r\n" + big)
    check(status == 413, f"a body over 64 KB: 413 ({status})")
    headers = b"".join(b"X-Filler-%d: %s\r\n" % (i, b"y" * 1000) for i in range(20))
    status, _ = raw_request(server.port, b"GET / HTTP/1.1\r\nHost: x\r\n" + headers + b"Connection: close\r\n\r\n")
    check(status == 431, f"a header block over 16 KB: 431 ({status})")
    boundary = b"kestrovaboundary"
    parts = b"".join(b"--" + boundary + b"\r\nContent-Disposition: form-data; name=\"f%d\"\r\n\r\nv\r\n" % i for i in range(600))
    body = parts + b"--" + boundary + b"--\r\n"
    status, _ = raw_request(server.port, b"POST /laptop-selector/ HTTP/1.1\r\nHost: x\r\nContent-Type: multipart/form-data; boundary="
                            + boundary + b"\r\nContent-Length: " + str(len(body)).encode() + b"\r\nConnection: close\r\n\r\n" + body)
    check(status == 413, f"more than 500 fields: 413 ({status})")
    status, _ = raw_request(server.port, b"PUT /laptop-selector/ HTTP/1.1\r\nHost: x\r\nContent-Length: 0\r\nConnection: close\r\n\r\n")
    check(status == 405, f"PUT: 405 ({status})")
    status, _ = raw_request(server.port, b"GARBAGE\r\n\r\n")
    check(status == 400, f"a malformed request line: 400 ({status})")
    status, _ = raw_request(server.port, b"GET /laptop-selector/images/../../results.sqlite HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n")
    check(status in (400, 404), f"a picture outside the image folder: refused ({status})")
    started = time.time()
    status, reply = raw_request(server.port, b"GET / HTTP/1.1\r\nHost: x\r\n", timeout=30)  # never ends its headers
    check(time.time() - started < 15, f"a slow client is cut off ({time.time() - started:.1f} s)")
    status, page, _ = post_form(server.port, "/laptop-selector/", {"token": token, "go": "next"})
    check(status == 200 and "data-page=\"Budget\"" in page, "after all that the server serves the run on")
    print("ok: tampered, oversized and malformed requests refused; the server serves on", flush=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--kestrova", required=True)
    parser.add_argument("--examples", required=True)
    parser.add_argument("--keep", help="a folder for the screenshots and files, kept")
    args = parser.parse_args()
    work = args.keep or tempfile.mkdtemp(prefix="kestrova-browser-")
    os.makedirs(work, exist_ok=True)
    project = os.path.join(work, "laptop-selector.kvp")
    for f in [project, os.path.join(work, "results.sqlite")]:
        if os.path.exists(f):
            os.remove(f)
    subprocess.run([args.kestrova, "from-rules", os.path.join(args.examples, "laptop-selector.rules"), "-o", project], check=True)
    subprocess.run([args.kestrova, "selector", "import", project, os.path.join(args.examples, "laptops.csv")], check=True)
    versioned = os.path.join(work, "versioned.kvp")
    shutil.copy(project, versioned)
    secret = os.path.join(work, "secret")
    with open(secret, "w") as f:
        f.write("a shared secret for both copies of the server\n")
    other_secret = os.path.join(work, "other-secret")
    with open(other_secret, "w") as f:
        f.write("another secret, another key entirely\n")

    landing_server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Landing)
    threading.Thread(target=landing_server.serve_forever, daemon=True).start()
    landing = f"http://127.0.0.1:{landing_server.server_address[1]}/landing"
    hostile = os.path.join(work, "hostile.kvw")
    hostile_tree(hostile, landing)

    external = external_sample(args, work)
    results = os.path.join(work, "results.sqlite")
    servers = []
    driver = None
    try:
        first = Server(args.kestrova, [project, hostile, versioned, external], free_port(), secret, results)
        servers.append(first)
        second = Server(args.kestrova, [project], free_port(), secret, results)
        servers.append(second)
        other = Server(args.kestrova, [project], free_port(), other_secret, os.path.join(work, "other.sqlite"))
        servers.append(other)
        taken = subprocess.run([args.kestrova, "serve", project, "--listen", f"127.0.0.1:{first.port}", "--secret-file", secret,
                                "--results", "sqlite:" + os.path.join(work, "taken.sqlite")],
                               capture_output=True, text=True, timeout=60)
        check(taken.returncode == 1 and "Cannot listen" in taken.stderr, f"a port taken: exit 1 and why ({taken.returncode}: {taken.stderr})")
        unreadable = subprocess.run([args.kestrova, "serve", os.path.join(work, "missing.kvw")], capture_output=True, text=True, timeout=60)
        check(unreadable.returncode == 1 and "missing.kvw" in unreadable.stderr, "a tree that does not read: exit 1 and why")

        driver = browser(os.path.join(work, "profile"))
        journeys_match_run(driver, args, first, project, work)
        external_journeys_match_run(driver, args, first, project, work)
        refused_answer(driver, first, work)
        two_servers(driver, args, first, second, project, work)
        hostile_pages(driver, first, landing, work)
        tampering(args, first, other, versioned)
        check(all(re.match(r"(GET|POST|PUT) \S+ \d{3} [0-9.]+ ms$", l) for l in first.log if l.startswith(("GET ", "POST ", "PUT "))),
              "one log line per request: method, path, status, milliseconds")
    finally:
        if driver:
            driver.quit()
        for server in servers:
            server.stop()
        landing_server.shutdown()
    report = subprocess.run([args.kestrova, "report", results, "--tree", "laptop-selector"], capture_output=True, text=True)
    check(report.returncode == 0 and re.search(r"^page,laptop-selector,,Welcome,\d+,0$", report.stdout, re.M),
          "kestrova report counts the runs per page:\n" + report.stdout + report.stderr)
    check(re.search(r"^item,laptop-selector,laptops,Lumen Air 13,\d+,$", report.stdout, re.M | re.I), "and the items left at the end")
    if not args.keep:
        shutil.rmtree(work, ignore_errors=True)
    if FAILURES:
        print(f"{len(FAILURES)} check(s) failed", flush=True)
        return 1
    print("all browser checks passed", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
